#pragma once
// Dates in lists ("2012年6月3日 9时3分") and in the database ("2012-06-03 09:03:00").

#include <QDate>
#include <QDateTime>
#include <QString>

// "%d年%d月%d日", then the time of day when it is not midnight: "%d时%d分%d秒" when the
// seconds are not 0, else "%d时%d分" when the minutes are not 0, else "%d时".
QString DateListText(const QDateTime& value);

// A date and time of day as one number, YYYYMMDDhhmmss, which orders as the dates do: the
// form in which list cells keep their dates.
qint64 PackedDate(int year, int month, int day, int hour, int minute, int second);
qint64 PackedDate(const QDateTime& value);
QDateTime UnpackedDate(qint64 packed);
// Appends the packed date as DateListText writes it, without a temporary string.
void AppendPackedDateText(qint64 packed, QString* text);

// The one stored form: "YYYY-MM-DD" at midnight, "YYYY-MM-DD HH:MM:SS" otherwise.
QString StoredDateText(const QDateTime& value);
QString StoredDateText(const QDate& value);

// A stored date text, "2012-06-03" or "2012-06-03 09:03:07", of length bytes as a
// PackedDate; false for any other text.
bool PackStoredDate(const char* text, int length, qint64* packed);

// Reads a stored date, and the forms a user or caller writes: "2012-6-3", "2012/6/3",
// with an optional " H:M" or " H:M:S". Invalid text gives an invalid QDateTime.
QDateTime ParseDateText(const QString& text);

// The current local time; tests fix it with SetNowForTest.
QDateTime CurrentDateTime();
void SetNowForTest(const QDateTime& fixed);  // an invalid value restores the real clock
bool IsClockFixed();
