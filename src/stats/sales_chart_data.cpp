#include "stats/sales_chart_data.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "common/text.h"
#include "ledger/chart_read.h"
#include "store/shared_db.h"

namespace {

ledger::ChartFigure Figure(ChartColumn column) {
    return column == ChartColumn::SalesAmount ? ledger::ChartFigure::SalesAmount
                                              : ledger::ChartFigure::NetProfit;
}

// A whole number of fen divided once: the figure nearest the exact sum, which the bars write
// as the digits of the fen.
double Yuan(qint64 fen) {
    return static_cast<double>(fen) / 100;
}

// The bars of the sums read, each period labelled by its number; no bars when the read failed.
ChartBars Bars(bool read, const ledger::ChartSums& sums, const QString& error,
               const QString& labelSuffix, qint64 ruleFen) {
    ChartBars bars;
    if (!read) {
        bars.error = error.isEmpty() ? QStringLiteral("数据库没有打开") : error;
        return bars;
    }
    for (int i = 0; i < sums.fen.size(); ++i) {
        bars.labels << QString::number(i + 1) + labelSuffix;
        bars.values << Yuan(sums.fen[i]);
    }
    bars.ruleFigure = Yuan(ruleFen);
    return bars;
}

std::optional<int> WholeNumberIn(const QString& text, int low, int high) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    const QString trimmed = TrimSpaces(text);
    if (!digits.match(trimmed).hasMatch()) return std::nullopt;
    const int value = trimmed.toInt();
    if (value < low || value > high) return std::nullopt;
    return value;
}

}  // namespace

double AxisMaximum(double figure) {
    return std::round(std::trunc(figure) / 100) * 100 + 100;
}

AxisRange ValueAxisRange(const ChartBars& bars) {
    AxisRange range;
    range.top = AxisMaximum(bars.ruleFigure);
    for (double value : bars.values) {
        range.top = std::max(range.top, std::ceil(value / 100) * 100);
        range.bottom = std::min(range.bottom, std::floor(value / 100) * 100);
    }
    // Bars stand on 0, so the axis keeps it when the rule's maximum is a loss.
    if (range.bottom < 0) range.top = std::max(range.top, 0.0);
    return range;
}

std::optional<int> ParseChartYear(const QString& text) {
    return WholeNumberIn(text, 1, 9999);
}

std::optional<int> ParseChartMonth(const QString& text) {
    return WholeNumberIn(text, 1, 12);
}

ChartBars MonthlyBars(int year, ChartColumn column) {
    ledger::ChartSums sums;
    QString error;
    const bool read = EnsureDatabaseOpen() && ledger::ReadMonthSums(SharedConnection(), year,
                                                                    Figure(column), &sums, &error);
    return Bars(read, sums, error, QStringLiteral("月"), sums.totalFen);
}

ChartBars DailyBars(int year, int month, ChartColumn column) {
    ledger::ChartSums sums;
    QString error;
    const bool read = EnsureDatabaseOpen() && ledger::ReadDaySums(SharedConnection(), year, month,
                                                                  Figure(column), &sums, &error);
    return Bars(read, sums, error, QString(), sums.largestFen);
}

QStringList ChartYears(int currentYear) {
    int first = currentYear, last = currentYear;
    // When the years cannot be read the current year is still offered: the charts' own
    // reading reports the failure.
    int firstSale = 0, lastSale = 0;
    QString error;
    if (SharedConnection().IsOpen() &&
        ledger::ReadSalesYears(SharedConnection(), &firstSale, &lastSale, &error) &&
        firstSale > 0) {
        first = std::min(first, firstSale);
        last = std::max(last, lastSale);
    }
    QStringList years;
    for (int year = first; year <= last; ++year) years << QString::number(year);
    return years;
}
