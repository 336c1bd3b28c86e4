#include "store/jet_functions.h"

#include <sqlite3.h>

#include <QDateTime>
#include <QString>
#include <cmath>
#include <ctime>

#include "common/date_text.h"
#include "common/name_initials.h"

namespace {

// A date argument as its day and time of day; false when it is no date. The stored form is
// read directly: these functions run once per row of a month or year query.
bool DateArg(sqlite3_value* value, QDate* date, QTime* time) {
    if (sqlite3_value_type(value) != SQLITE_TEXT) return false;
    const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(value));
    const int n = sqlite3_value_bytes(value);
    auto digits = [t](int from, int count, int* out) {
        int v = 0;
        for (int i = from; i < from + count; ++i) {
            if (t[i] < '0' || t[i] > '9') return false;
            v = v * 10 + (t[i] - '0');
        }
        *out = v;
        return true;
    };
    int y, mo, d, h = 0, mi = 0, se = 0;
    if ((n == 10 || n == 19) && t[4] == '-' && t[7] == '-' && digits(0, 4, &y) &&
        digits(5, 2, &mo) && digits(8, 2, &d) &&
        (n == 10 || (t[10] == ' ' && t[13] == ':' && t[16] == ':' && digits(11, 2, &h) &&
                     digits(14, 2, &mi) && digits(17, 2, &se)))) {
        *date = QDate(y, mo, d);
        *time = QTime(h, mi, se);
        return date->isValid() && time->isValid();
    }
    const QDateTime parsed = ParseDateText(QString::fromUtf8(t, n));
    if (!parsed.isValid()) return false;
    *date = parsed.date();
    *time = parsed.time();
    return true;
}

void ResultText(sqlite3_context* ctx, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    sqlite3_result_text(ctx, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

template <int Part>
void DatePart(sqlite3_context* ctx, int, sqlite3_value** argv) {
    QDate date;
    QTime time;
    if (!DateArg(argv[0], &date, &time)) return sqlite3_result_null(ctx);
    sqlite3_result_int(ctx, Part == 0 ? date.year() : Part == 1 ? date.month() : date.day());
}

void DateSerial(sqlite3_context* ctx, int, sqlite3_value** argv) {
    for (int i = 0; i < 3; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    // Months and days outside their range roll over into the neighbouring ones.
    const int year = sqlite3_value_int(argv[0]);
    const int month = sqlite3_value_int(argv[1]);
    const int day = sqlite3_value_int(argv[2]);
    const QDate date = QDate(year, 1, 1).addMonths(month - 1).addDays(day - 1);
    if (!date.isValid()) return sqlite3_result_null(ctx);
    ResultText(ctx, StoredDateText(date));
}

void DateDiff(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const QString interval =
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[0]))).toLower();
    QDate da, db;
    QTime ta, tb;
    if (!DateArg(argv[1], &da, &ta) || !DateArg(argv[2], &db, &tb)) return sqlite3_result_null(ctx);
    qint64 result = 0;
    if (interval == QLatin1String("yyyy")) {
        result = db.year() - da.year();
    } else if (interval == QLatin1String("q")) {
        result = (db.year() - da.year()) * 4 + ((db.month() - 1) / 3 - (da.month() - 1) / 3);
    } else if (interval == QLatin1String("m")) {
        result = (db.year() - da.year()) * 12 + (db.month() - da.month());
    } else if (interval == QLatin1String("d") || interval == QLatin1String("y")) {
        result = da.daysTo(db);
    } else if (interval == QLatin1String("w")) {
        result = da.daysTo(db) / 7;
    } else if (interval == QLatin1String("ww")) {
        // Calendar weeks: Sundays passed between the two dates.
        const QDate sa = da.addDays(-(da.dayOfWeek() % 7));
        const QDate sb = db.addDays(-(db.dayOfWeek() % 7));
        result = sa.daysTo(sb) / 7;
    } else if (interval == QLatin1String("h") || interval == QLatin1String("n") ||
               interval == QLatin1String("s")) {
        // Jet counts boundaries crossed, so the seconds within a unit do not count.
        const qint64 unit = interval == QLatin1String("h")   ? 3600
                            : interval == QLatin1String("n") ? 60
                                                             : 1;
        auto floorDiv = [](qint64 x, qint64 y) { return x >= 0 ? x / y : -((-x + y - 1) / y); };
        // Seconds counted on the calendar, so that no time-zone rules are looked up per row.
        const qint64 sa = QDate(1970, 1, 1).daysTo(da) * 86400 + ta.msecsSinceStartOfDay() / 1000;
        const qint64 sb = QDate(1970, 1, 1).daysTo(db) * 86400 + tb.msecsSinceStartOfDay() / 1000;
        result = floorDiv(sb, unit) - floorDiv(sa, unit);
    } else {
        sqlite3_result_error(ctx, "DateDiff: 无效的间隔", -1);
        return;
    }
    sqlite3_result_int64(ctx, result);
}

// Now() is asked once per row; the local time is read again only when the second changes.
QString NowText() {
    if (IsClockFixed()) return CurrentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    static std::time_t cachedSecond = 0;
    static QString cachedText;
    const std::time_t second = std::time(nullptr);
    if (second != cachedSecond || cachedText.isEmpty()) {
        cachedSecond = second;
        cachedText = CurrentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    return cachedText;
}

void Now(sqlite3_context* ctx, int, sqlite3_value**) {
    ResultText(ctx, NowText());
}

void Today(sqlite3_context* ctx, int, sqlite3_value**) {
    ResultText(ctx, NowText().left(10));
}

// InitialsMatch(name, typed): 1 when typed occurs in the pinyin initials of name by any common
// reading of its hanzi, so that the name searches find polyphonic names however they are read.
void InitialsMatchFunction(sqlite3_context* ctx, int, sqlite3_value** args) {
    auto text = [](sqlite3_value* value) {
        const auto* utf16 = static_cast<const QChar*>(sqlite3_value_text16(value));
        return utf16 ? QString::fromRawData(utf16, sqlite3_value_bytes16(value) / 2) : QString();
    };
    if (sqlite3_value_type(args[0]) == SQLITE_NULL) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    sqlite3_result_int(ctx, InitialsMatch(text(args[0]), text(args[1])) ? 1 : 0);
}

}  // namespace

void RegisterJetFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8;
    const int pure = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "year", 1, pure, nullptr, DatePart<0>, nullptr, nullptr);
    sqlite3_create_function(db, "month", 1, pure, nullptr, DatePart<1>, nullptr, nullptr);
    sqlite3_create_function(db, "day", 1, pure, nullptr, DatePart<2>, nullptr, nullptr);
    sqlite3_create_function(db, "dateserial", 3, pure, nullptr, DateSerial, nullptr, nullptr);
    sqlite3_create_function(db, "datediff", 3, pure, nullptr, DateDiff, nullptr, nullptr);
    sqlite3_create_function(db, "now", 0, flags, nullptr, Now, nullptr, nullptr);
    sqlite3_create_function(db, "date", 0, flags, nullptr, Today, nullptr, nullptr);
    sqlite3_create_function(db, "initialsmatch", 2, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr,
                            InitialsMatchFunction, nullptr, nullptr);
}
