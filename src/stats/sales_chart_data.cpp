#include "stats/sales_chart_data.h"

#include <QDate>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "common/text.h"
#include "store/shared_db.h"
#include "store/statement.h"

namespace {

// A running sum with Neumaier's compensation: a month of many thousand sales adds up to the
// figure a calculator gives, without float leftovers among the 13 digits a bar shows.
class Sum {
  public:
    void Add(double value) {
        const double total = sum_ + value;
        carry_ +=
            std::fabs(sum_) >= std::fabs(value) ? (sum_ - total) + value : (value - total) + sum_;
        sum_ = total;
    }
    double Value() const { return sum_ + carry_; }

  private:
    double sum_ = 0;
    double carry_ = 0;
};

QString DateText(int year, int month, int day) {
    return QStringLiteral("%1-%2-%3")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(day, 2, 10, QLatin1Char('0'));
}

struct PeriodSums {
    QList<Sum> buckets;
    Sum total;
    std::optional<double> largest;
    QString error;
};

// The sales from the first day to the end of the last day, read in date order from the date
// index (which carries the summed columns, so no sales row is read), each added to the bucket
// its stored date names: the month (characters 5 and 6) or the day (characters 8 and 9).
PeriodSums ReadPeriod(const QString& firstDay, const QString& lastDay, int bucketAt, int buckets,
                      ChartColumn column) {
    PeriodSums sums;
    sums.buckets.resize(buckets);
    if (!EnsureDatabaseOpen()) {
        sums.error = QStringLiteral("数据库没有打开");
        return sums;
    }
    const QString name =
        column == ChartColumn::SalesAmount ? QStringLiteral("销售金额") : QStringLiteral("净利润");
    Statement st(
        SharedConnection(),
        QStringLiteral("SELECT 销售日期, %1 FROM sell WHERE 销售日期 >= ? AND 销售日期 < ?")
            .arg(name));
    // Every time of a day sorts below the day's text followed by "~".
    if (!st.Bind({firstDay, lastDay + QLatin1Char('~')})) {
        sums.error = st.Error();
        return sums;
    }
    while (st.Next()) {
        const QByteArrayView date = st.TextBytes(0);
        if (date.size() < bucketAt + 2 || st.IsNull(1)) continue;
        const int bucket = (date[bucketAt] - '0') * 10 + (date[bucketAt + 1] - '0');
        if (bucket < 1 || bucket > buckets) continue;
        const double value = st.Double(1);
        sums.buckets[bucket - 1].Add(value);
        sums.total.Add(value);
        sums.largest = sums.largest ? std::max(*sums.largest, value) : value;
    }
    if (st.Failed()) sums.error = st.Error();
    return sums;
}

ChartBars Bars(const PeriodSums& sums, const QString& labelSuffix, double ruleFigure) {
    ChartBars bars;
    bars.error = sums.error;
    if (!bars.error.isEmpty()) return bars;
    for (int i = 0; i < sums.buckets.size(); ++i) {
        bars.labels << QString::number(i + 1) + labelSuffix;
        bars.values << sums.buckets[i].Value();
    }
    bars.ruleFigure = ruleFigure;
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
    const PeriodSums sums = ReadPeriod(DateText(year, 1, 1), DateText(year, 12, 31), 5, 12, column);
    return Bars(sums, QStringLiteral("月"), sums.total.Value());
}

ChartBars DailyBars(int year, int month, ChartColumn column) {
    const int days = QDate(year, month, 1).daysInMonth();
    const PeriodSums sums =
        ReadPeriod(DateText(year, month, 1), DateText(year, month, days), 8, days, column);
    return Bars(sums, QString(), sums.largest.value_or(0));
}

QStringList ChartYears(int currentYear) {
    int first = currentYear, last = currentYear;
    // Both ends come from the date index. When they cannot be read the current year is still
    // offered: the charts' own reading reports the failure.
    if (SharedConnection().IsOpen()) {
        Statement st(SharedConnection(), QStringLiteral("SELECT (SELECT min(销售日期) FROM sell), "
                                                        "(SELECT max(销售日期) FROM sell)"));
        if (st.Next()) {
            auto yearOf = [&st](int column) { return st.Text(column).left(4).toInt(); };
            if (const int year = yearOf(0); year > 0) first = std::min(first, year);
            last = std::max(last, yearOf(1));
        }
    }
    QStringList years;
    for (int year = first; year <= last; ++year) years << QString::number(year);
    return years;
}
