#include "common/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

QString NumberText(double value) {
    if (value == 0.0) return QStringLiteral("0");  // also turns -0 into "0"
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.13g", value);
    return QString::fromLatin1(buffer);
}

namespace {

// Length of the leading decimal number of text at pos, 0 when there is none.
qsizetype NumberLength(const QString& text, qsizetype pos) {
    const qsizetype start = pos;
    const qsizetype n = text.size();
    auto digit = [&](qsizetype i) { return i < n && text[i] >= u'0' && text[i] <= u'9'; };
    if (pos < n && (text[pos] == u'+' || text[pos] == u'-')) ++pos;
    qsizetype digits = 0;
    while (digit(pos)) ++pos, ++digits;
    if (pos < n && text[pos] == u'.') {
        ++pos;
        while (digit(pos)) ++pos, ++digits;
    }
    if (digits == 0) return 0;
    if (pos < n && (text[pos] == u'e' || text[pos] == u'E')) {
        qsizetype e = pos + 1;
        if (e < n && (text[e] == u'+' || text[e] == u'-')) ++e;
        if (digit(e)) {
            while (digit(e)) ++e;
            pos = e;
        }
    }
    return pos - start;
}

qsizetype SkipSpaces(const QString& text) {
    qsizetype pos = 0;
    while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t')) ++pos;
    return pos;
}

}  // namespace

double TextToNumber(const QString& text) {
    const qsizetype pos = SkipSpaces(text);
    const qsizetype len = NumberLength(text, pos);
    if (len == 0) return 0.0;
    const std::string number = text.mid(pos, len).toStdString();
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

bool IsNumberText(const QString& text) {
    const QString trimmed = text.trimmed();
    return !trimmed.isEmpty() && NumberLength(trimmed, 0) == trimmed.size();
}

bool IsZero(double value) { return std::fabs(value) <= kTolerance; }
bool IsGreater(double a, double b) { return a - b > kTolerance; }
bool IsLess(double a, double b) { return b - a > kTolerance; }
