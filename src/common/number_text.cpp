#include "common/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

// Writes the number text of value into buffer (at least 40 bytes); returns its length.
int FormatNumber(double value, char* buffer) {
    char* end = buffer + 40;
    if (value == 0.0) {  // also turns -0 into "0"
        buffer[0] = '0';
        return 1;
    }
    const double magnitude = std::fabs(value);
    // Whole numbers, the common case in a shop's lists, need no floating-point formatting.
    if (magnitude < 1e13 && value == std::trunc(value))
        return static_cast<int>(std::to_chars(buffer, end, static_cast<long long>(value)).ptr -
                                buffer);
    // Within the plain range the shortest exact digits, when there are at most 13 of them,
    // are what rounding to 13 significant digits gives, and far cheaper to find.
    if (magnitude >= 1e-4 && magnitude < 1e13) {
        const auto shortest = std::to_chars(buffer, end, value, std::chars_format::fixed);
        int significant = 0;
        bool leading = true;
        for (const char* p = buffer; p < shortest.ptr; ++p) {
            if (*p < '0' || *p > '9') continue;
            if (leading && *p == '0') continue;
            leading = false;
            ++significant;
        }
        if (significant <= 13) return static_cast<int>(shortest.ptr - buffer);
    }
    // The general form with 13 significant digits, exactly as printf's "%.13g".
    return static_cast<int>(std::to_chars(buffer, end, value, std::chars_format::general, 13).ptr -
                            buffer);
}

}  // namespace

QString NumberText(double value) {
    char buffer[40];
    return QString::fromLatin1(buffer, FormatNumber(value, buffer));
}

void AppendNumberText(double value, QString* text) {
    char buffer[40];
    const int length = FormatNumber(value, buffer);
    QChar wide[40];
    for (int i = 0; i < length; ++i) wide[i] = QChar(static_cast<char16_t>(buffer[i]));
    text->append(wide, length);
}

qint64 Fen(double amount) {
    return std::llround(amount * 100);
}

QString UnitsText(qint64 units, int scale) {
    // The magnitude as unsigned: the lowest qint64 has no positive counterpart.
    const quint64 magnitude = units < 0 ? 0 - static_cast<quint64>(units) : units;
    const quint64 divisor = scale > 1 ? static_cast<quint64>(scale) : 1;
    QString text = units < 0 ? QStringLiteral("-") : QString();
    text += QString::number(magnitude / divisor);
    quint64 fraction = magnitude % divisor;
    if (fraction == 0) return text;
    int digits = 0;
    for (quint64 d = divisor; d > 1; d /= 10) ++digits;
    while (fraction % 10 == 0) fraction /= 10, --digits;
    return text + QLatin1Char('.') +
           QStringLiteral("%1").arg(fraction, digits, 10, QLatin1Char('0'));
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
    // from_chars reads the point whatever the desktop locale says; strtod would follow a
    // comma-decimal locale once the application object has set it.
    const std::string number = text.mid(pos, len).toStdString();
    const char* first = number.c_str();
    if (*first == '+') ++first;  // from_chars takes a minus sign only
    double value = 0.0;
    // Out of range (too small or too large to hold) is 0, as is any non-finite value.
    const auto result = std::from_chars(first, number.c_str() + number.size(), value);
    return result.ec == std::errc() && std::isfinite(value) ? value : 0.0;
}

bool IsNumberText(const QString& text) {
    const QString trimmed = text.trimmed();
    return !trimmed.isEmpty() && NumberLength(trimmed, 0) == trimmed.size();
}

bool IsZero(double value) {
    return std::fabs(value) <= kTolerance;
}
bool IsGreater(double a, double b) {
    return a - b > kTolerance;
}
bool IsLess(double a, double b) {
    return b - a > kTolerance;
}

double ListTotal(double sum) {
    return IsZero(sum) ? 0.0 : sum;
}
