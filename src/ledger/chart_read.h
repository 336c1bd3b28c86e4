#pragma once
// The reads of the sales charts: one figure of sell summed per month of a year or per day of a
// month in whole fen, and the first and last year with sales. The statement texts are written
// here once for both stores.

#include <QDate>
#include <QList>
#include <QString>

class DbConnection;

namespace ledger {

enum class ChartFigure { SalesAmount, NetProfit };  // 销售金额, 净利润

struct ChartSums {
    QList<qint64> fen;  // per period, in order
    qint64 totalFen = 0;
    // The figure of the largest single sale of the month (a daily chart's read); 0 without
    // sales.
    qint64 largestFen = 0;
};

// The sales of each month of year (12 periods), or of each day of a month (one period per
// day), each period whole whatever the time of day its sales carry.
bool ReadMonthSums(DbConnection& db, int year, ChartFigure figure, ChartSums* sums, QString* error);
bool ReadDaySums(DbConnection& db, int year, int month, ChartFigure figure, ChartSums* sums,
                 QString* error);

// The years of the first and the last sale, 0 for both without sales; false when the read
// failed (error says why).
bool ReadSalesYears(DbConnection& db, int* first, int* last, QString* error);

}  // namespace ledger
