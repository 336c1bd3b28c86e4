#include "common/date_text.h"

#include <QRegularExpression>

QString DateListText(const QDateTime& value) {
    if (!value.isValid()) return QString();
    const QDate d = value.date();
    const QTime t = value.time();
    QString text = QStringLiteral("%1年%2月%3日").arg(d.year()).arg(d.month()).arg(d.day());
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0) return text;
    text += QStringLiteral(" ");
    if (t.second() != 0)
        text += QStringLiteral("%1时%2分%3秒").arg(t.hour()).arg(t.minute()).arg(t.second());
    else if (t.minute() != 0)
        text += QStringLiteral("%1时%2分").arg(t.hour()).arg(t.minute());
    else
        text += QStringLiteral("%1时").arg(t.hour());
    return text;
}

qint64 PackedDate(int year, int month, int day, int hour, int minute, int second) {
    return ((((qint64(year) * 100 + month) * 100 + day) * 100 + hour) * 100 + minute) * 100 +
           second;
}

qint64 PackedDate(const QDateTime& value) {
    const QDate d = value.date();
    const QTime t = value.time();
    return PackedDate(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
}

QDateTime UnpackedDate(qint64 packed) {
    const int second = packed % 100, minute = packed / 100 % 100, hour = packed / 10000 % 100;
    const qint64 day = packed / 1000000;
    return QDateTime(QDate(int(day / 10000), int(day / 100 % 100), int(day % 100)),
                     QTime(hour, minute, second));
}

namespace {
void AppendWhole(QString* text, int value) {
    char digits[12];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (n > 0) text->append(QChar(digits[--n]));
}
}  // namespace

void AppendPackedDateText(qint64 packed, QString* text) {
    const int second = packed % 100, minute = packed / 100 % 100, hour = packed / 10000 % 100;
    const qint64 day = packed / 1000000;
    AppendWhole(text, int(day / 10000));
    text->append(u'年');
    AppendWhole(text, int(day / 100 % 100));
    text->append(u'月');
    AppendWhole(text, int(day % 100));
    text->append(u'日');
    if (hour == 0 && minute == 0 && second == 0) return;
    text->append(u' ');
    AppendWhole(text, hour);
    text->append(u'时');
    if (second != 0) {
        AppendWhole(text, minute);
        text->append(u'分');
        AppendWhole(text, second);
        text->append(u'秒');
    } else if (minute != 0) {
        AppendWhole(text, minute);
        text->append(u'分');
    }
}

QString StoredDateText(const QDate& value) {
    return value.isValid() ? value.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QString StoredDateText(const QDateTime& value) {
    if (!value.isValid()) return QString();
    const QTime t = value.time();
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0) return StoredDateText(value.date());
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

namespace {

// The stored form, read without a regular expression: lists read one date per row.
bool ParseStoredForm(const QString& text, QDateTime* result) {
    const qsizetype n = text.size();
    if (n != 10 && n != 19) return false;
    auto digits = [&text](qsizetype from, qsizetype count, int* value) {
        int v = 0;
        for (qsizetype i = from; i < from + count; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9') return false;
            v = v * 10 + (c - u'0');
        }
        *value = v;
        return true;
    };
    int y, mo, d, h = 0, mi = 0, s = 0;
    if (text[4] != u'-' || text[7] != u'-' || !digits(0, 4, &y) || !digits(5, 2, &mo) ||
        !digits(8, 2, &d))
        return false;
    if (n == 19 && (text[10] != u' ' || text[13] != u':' || text[16] != u':' ||
                    !digits(11, 2, &h) || !digits(14, 2, &mi) || !digits(17, 2, &s)))
        return false;
    const QDate date(y, mo, d);
    const QTime time(h, mi, s);
    if (!date.isValid() || !time.isValid()) return false;
    *result = QDateTime(date, time);
    return true;
}

}  // namespace

QDateTime ParseDateText(const QString& text) {
    QDateTime stored;
    if (ParseStoredForm(text, &stored)) return stored;
    static const QRegularExpression form(QStringLiteral(
        R"(^\s*(\d{4})[-/](\d{1,2})[-/](\d{1,2})(?:[ T]+(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?)?\s*$)"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) return QDateTime();
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    if (!date.isValid() || !time.isValid()) return QDateTime();
    return QDateTime(date, time);
}

namespace {
QDateTime& FixedNow() {
    static QDateTime fixed;
    return fixed;
}
}  // namespace

QDateTime CurrentDateTime() {
    const QDateTime& fixed = FixedNow();
    if (fixed.isValid()) return fixed;
    QDateTime now = QDateTime::currentDateTime();
    now.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
    return now;
}

void SetNowForTest(const QDateTime& fixed) {
    FixedNow() = fixed;
}

bool IsClockFixed() {
    return FixedNow().isValid();
}

namespace {

int Digits(const char* text, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i) value = value * 10 + (text[i] - '0');
    return value;
}

bool AllDigits(const char* text, int count) {
    for (int i = 0; i < count; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

}  // namespace

bool PackStoredDate(const char* t, int length, qint64* packed) {
    if (length != 10 && length != 19) return false;
    if (t[4] != '-' || t[7] != '-' || !AllDigits(t, 4) || !AllDigits(t + 5, 2) ||
        !AllDigits(t + 8, 2))
        return false;
    int hour = 0, minute = 0, second = 0;
    if (length == 19) {
        if (t[10] != ' ' || t[13] != ':' || t[16] != ':' || !AllDigits(t + 11, 2) ||
            !AllDigits(t + 14, 2) || !AllDigits(t + 17, 2))
            return false;
        hour = Digits(t + 11, 2);
        minute = Digits(t + 14, 2);
        second = Digits(t + 17, 2);
    }
    *packed = PackedDate(Digits(t, 4), Digits(t + 5, 2), Digits(t + 8, 2), hour, minute, second);
    return true;
}
