#include "ledger/chart_read.h"

#include "common/date_text.h"
#include "store/db_connection.h"
#include "store/statement.h"

namespace ledger {

namespace {

// A sale's figure in whole fen, so that the sums carry no binary fraction.
QString Fen(ChartFigure figure) {
    return figure == ChartFigure::SalesAmount
               ? QStringLiteral("CAST(round(销售金额*100) AS bigint)")
               : QStringLiteral("CAST(round(净利润*100) AS bigint)");
}

// The sales of each period from its first day to the end of its last: every time of a day
// sorts below the day's text followed by "~" (on a server too: the dates are texts ordered
// byte by byte). Each period is one range of the date index, which carries the summed
// figures, so no sales row is read; withLargest adds a column of the largest single sale of
// them all, one more pass over their range.
bool ReadSums(DbConnection& db, const QList<std::pair<QDate, QDate>>& periods, ChartFigure figure,
              bool withLargest, ChartSums* sums, QString* error) {
    const QString range = QStringLiteral(" FROM sell WHERE 销售日期 >= ? AND 销售日期 < ?)");
    QStringList columns;
    QVariantList values;
    for (const auto& [first, last] : periods) {
        columns << QStringLiteral("(SELECT sum(%1)").arg(Fen(figure)) + range;
        values << StoredDateText(first) << StoredDateText(last) + QLatin1Char('~');
    }
    if (withLargest) {
        columns << QStringLiteral("(SELECT max(%1)").arg(Fen(figure)) + range;
        values << StoredDateText(periods.first().first)
               << StoredDateText(periods.last().second) + QLatin1Char('~');
    }
    Statement st(db, QStringLiteral("SELECT ") + columns.join(QLatin1Char(',')));
    *sums = ChartSums{};
    if (!st.Bind(values) || !st.Next()) {
        *error = st.Error().isEmpty() ? db.GetErrorDescription() : st.Error();
        return false;
    }
    for (int p = 0; p < periods.size(); ++p) {
        sums->fen << (st.IsNull(p) ? 0 : st.Int64(p));
        sums->totalFen += sums->fen.back();
    }
    const int largest = static_cast<int>(periods.size());
    if (withLargest && !st.IsNull(largest)) sums->largestFen = st.Int64(largest);
    return true;
}

}  // namespace

bool ReadMonthSums(DbConnection& db, int year, ChartFigure figure, ChartSums* sums,
                   QString* error) {
    QList<std::pair<QDate, QDate>> months;
    for (int month = 1; month <= 12; ++month) {
        const QDate first(year, month, 1);
        months.append({first, first.addDays(first.daysInMonth() - 1)});
    }
    return ReadSums(db, months, figure, false, sums, error);
}

bool ReadDaySums(DbConnection& db, int year, int month, ChartFigure figure, ChartSums* sums,
                 QString* error) {
    QList<std::pair<QDate, QDate>> days;
    const QDate first(year, month, 1);
    for (int day = 0; day < first.daysInMonth(); ++day)
        days.append({first.addDays(day), first.addDays(day)});
    return ReadSums(db, days, figure, true, sums, error);
}

bool ReadSalesYears(DbConnection& db, int* first, int* last, QString* error) {
    *first = *last = 0;
    // Both ends come from the date index.
    Statement st(db, QStringLiteral("SELECT (SELECT min(销售日期) FROM sell), "
                                    "(SELECT max(销售日期) FROM sell)"));
    if (!st.Next()) {
        *error = st.Error().isEmpty() ? db.GetErrorDescription() : st.Error();
        return false;
    }
    *first = st.Text(0).left(4).toInt();
    *last = st.Text(1).left(4).toInt();
    return true;
}

}  // namespace ledger
