#include "common/text.h"

namespace {
bool IsTrimmedSpace(QChar c) { return c == u' ' || c == QChar(0x3000); }
}  // namespace

QString TrimSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsTrimmedSpace(text[begin])) ++begin;
    while (end > begin && IsTrimmedSpace(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}
