#include "common/ini.h"

#include <QList>
#include <QSet>

#include "common/gbk.h"
#include "common/whole_file.h"

namespace {

constexpr qsizetype kValueBufferBytes = 10240;
const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// A GBK lead byte starts a double-byte character whose second byte may look like ASCII
// ("]" in 揮, "R" and "r" in 馬 and 駌).
bool IsLeadByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x81 && b <= 0xFE;
}

struct Line {
    QByteArray text;  // without its line end
    QByteArray end;   // "\r\n", "\n", "\r" or "" for a last line without a break
};

QList<Line> SplitLines(const QByteArray& bytes) {
    QList<Line> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    while (start < n) {
        qsizetype pos = start;
        while (pos < n && bytes[pos] != '\r' && bytes[pos] != '\n') ++pos;
        Line line{bytes.mid(start, pos - start), QByteArray()};
        if (pos < n) {
            const qsizetype endLen =
                (bytes[pos] == '\r' && pos + 1 < n && bytes[pos + 1] == '\n') ? 2 : 1;
            line.end = bytes.mid(pos, endLen);
            pos += endLen;
        }
        lines.append(line);
        start = pos;
    }
    return lines;
}

QByteArray TrimBytes(const QByteArray& bytes) {
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    auto space = [](char c) { return c == ' ' || c == '\t'; };
    while (begin < end && space(bytes[begin])) ++begin;
    while (end > begin && space(bytes[end - 1])) --end;
    return bytes.mid(begin, end - begin);
}

// Names match without regard to the case of single-byte letters; double-byte characters
// match exactly.
bool SameName(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (IsLeadByte(x) && i + 1 < a.size()) {
            if (x != y || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// The position of the first "]" that is a character of its own, -1 when there is none.
qsizetype CloseBracket(const QByteArray& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (IsLeadByte(text[i])) {
            ++i;
            continue;
        }
        if (text[i] == ']') return i;
    }
    return -1;
}

// The section name of a "[name]" line, or a null array when the line is no section header.
QByteArray SectionName(const QByteArray& text) {
    const QByteArray trimmed = TrimBytes(text);
    if (!trimmed.startsWith('[')) return QByteArray();
    const qsizetype close = CloseBracket(trimmed);
    const QByteArray name = TrimBytes(trimmed.mid(1, close < 0 ? -1 : close - 1));
    return name.isNull() ? QByteArray("") : name;
}

bool KeyOf(const QByteArray& text, QByteArray* key, QByteArray* value) {
    const qsizetype eq = text.indexOf('=');
    if (eq < 0) return false;
    *key = TrimBytes(text.left(eq));
    if (value) *value = TrimBytes(text.mid(eq + 1));
    return true;
}

// Index range [first, last] of the lines after the header of section, -1 when not found.
struct SectionRange {
    qsizetype header = -1;
    qsizetype end = -1;  // index of the next section header or lines.size()
};

SectionRange FindSection(const QList<Line>& lines, const QByteArray& section) {
    SectionRange range;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray name = SectionName(lines[i].text);
        if (name.isNull()) continue;
        if (range.header >= 0) {
            range.end = i;
            return range;
        }
        if (SameName(name, section)) range.header = i;
    }
    if (range.header >= 0) range.end = lines.size();
    return range;
}

// The file's bytes without a leading UTF-8 byte-order mark, which *bom receives.
FileRead ReadIni(const QString& file, QByteArray* bytes, QByteArray* bom) {
    const FileRead result = ReadWholeFile(file, bytes);
    bom->clear();
    if (bytes->startsWith(kUtf8Bom)) {
        *bom = kUtf8Bom;
        bytes->remove(0, kUtf8Bom.size());
    }
    return result;
}

std::function<void(const QString&, const QString&)>& FailureHandler() {
    static std::function<void(const QString&, const QString&)> handler;
    return handler;
}

// Files whose last write failed and was reported.
QSet<QString>& Failing() {
    static QSet<QString> files;
    return files;
}

bool Reported(const QString& file, bool ok, const QString& reason) {
    if (ok) {
        Failing().remove(file);
        return true;
    }
    if (!Failing().contains(file)) {
        Failing().insert(file);
        if (FailureHandler()) FailureHandler()(file, reason);
    }
    return false;
}

}  // namespace

QString IniRead(const QString& file, const QString& section, const QString& key) {
    if (file.isEmpty() || section.isEmpty() || key.isEmpty()) return QString();
    QByteArray bytes, bom;
    ReadIni(file, &bytes, &bom);
    const QList<Line> lines = SplitLines(bytes);
    const SectionRange range = FindSection(lines, ToGbk(section));
    if (range.header < 0) return QString();
    const QByteArray wanted = ToGbk(key);
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        QByteArray name, value;
        if (!KeyOf(lines[i].text, &name, &value) || !SameName(name, wanted)) continue;
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        return FromGbk(GbkCutBytes(value, kValueBufferBytes - 1));
    }
    return QString();
}

bool IniWrite(const QString& file, const QString& section, const QString& key,
              const QString& value) {
    if (file.isEmpty() || section.isEmpty() || key.isEmpty()) return false;
    QByteArray bytes, bom;
    // A file that cannot be read is never replaced: its keys would be lost.
    if (ReadIni(file, &bytes, &bom) == FileRead::Unreadable)
        return Reported(file, false, QStringLiteral("文件无法读取"));
    QList<Line> lines = SplitLines(bytes);
    const QByteArray sectionBytes = ToGbk(section);
    const QByteArray keyBytes = ToGbk(key);
    const Line entry{keyBytes + '=' + ToGbk(value), "\r\n"};

    auto breakLastLine = [&lines]() {
        if (!lines.isEmpty() && lines.back().end.isEmpty()) lines.back().end = "\r\n";
    };

    const SectionRange range = FindSection(lines, sectionBytes);
    if (range.header < 0) {
        breakLastLine();
        lines.append(Line{'[' + sectionBytes + ']', "\r\n"});
        lines.append(entry);
    } else {
        qsizetype found = -1;
        qsizetype lastFilled = range.header;
        for (qsizetype i = range.header + 1; i < range.end; ++i) {
            QByteArray name;
            if (found < 0 && KeyOf(lines[i].text, &name, nullptr) && SameName(name, keyBytes))
                found = i;
            if (!TrimBytes(lines[i].text).isEmpty()) lastFilled = i;
        }
        if (found >= 0) {
            lines[found].text = entry.text;
            if (lines[found].end.isEmpty()) lines[found].end = "\r\n";
        } else {
            if (lines[lastFilled].end.isEmpty()) lines[lastFilled].end = "\r\n";
            lines.insert(lastFilled + 1, entry);
        }
    }

    QByteArray out = bom;
    for (const Line& line : lines) out += line.text + line.end;
    return WriteSettingsFile(file, out);
}

bool WriteSettingsFile(const QString& file, const QByteArray& bytes) {
    QString reason;
    const bool ok = WriteWholeFile(file, bytes, &reason);
    return Reported(file, ok, reason);
}

void SetSettingsFailureHandler(std::function<void(const QString&, const QString&)> handler) {
    FailureHandler() = std::move(handler);
    Failing().clear();
}
