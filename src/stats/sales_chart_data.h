#pragma once
// The figures of the sales charts: one column of sell summed per month of a year or per day
// of a month in whole fen (ledger/chart_read); the value axis that shows them; and the years
// and months the user may ask for.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

enum class ChartColumn { SalesAmount, NetProfit };  // 销售金额, 净利润

struct ChartBars {
    QStringList labels;  // "1月" … "12月", or "1" … the month's last day
    QList<double> values;
    // What the axis rule starts from: the year's total (monthly chart) or the month's largest
    // single sale or profit (daily chart); 0 without sales.
    double ruleFigure = 0;
    QString error;  // the database's reason when the sales could not be read; then no bars
};

// The rule of the charts' value axis: N × 100 + 100, where N is the whole-number part of the
// figure divided by 100 and rounded to the nearest whole number, halves away from zero.
double AxisMaximum(double figure);

struct AxisRange {
    double bottom = 0;
    double top = 100;
};
// The range of the value axis: the rule's maximum is the least top, raised to the next
// hundred above the tallest bar; the bottom is 0, or the next hundred below the lowest bar,
// so that every bar is covered, losses included.
AxisRange ValueAxisRange(const ChartBars& bars);

// A year or month as typed into the boxes (spaces around it ignored): a whole number from 1
// to 9999, or from 1 to 12; nullopt for anything else.
std::optional<int> ParseChartYear(const QString& text);
std::optional<int> ParseChartMonth(const QString& text);

ChartBars MonthlyBars(int year, ChartColumn column);
ChartBars DailyBars(int year, int month, ChartColumn column);

// The years the year boxes offer, oldest first: from the first year with sales to the
// current year, or to the last year with sales when that is later.
QStringList ChartYears(int currentYear);
