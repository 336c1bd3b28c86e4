#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QPushButton>
#include <cmath>

#include "common/session.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "stats/bar_chart.h"
#include "stats/chart_page.h"
#include "stats/sales_chart_data.h"
#include "store/shared_db.h"
#include "support/program_fixture.h"

namespace {

class Charts : public ProgramFixture {
  protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        Provision();
        CurrentSession().userRole = kSuperAdmin;
    }
    void Sell(const QString& date, double amount, double profit) {
        ASSERT_TRUE(SharedConnection().Execute(
            "insert into sell (名称, 销售金额, 净利润, 销售日期) values ('笔', ?, ?, ?)",
            {amount, profit, date}));
    }
    // The sum as the ledger's own date functions see it, independent of the charts' reading.
    double Stored(const QString& column, int year, int month, int day = 0) {
        QString sql = QString(
                          "select sum(%1) from sell where Year(销售日期)=? and "
                          "Month(销售日期)=?")
                          .arg(column);
        QVariantList values{year, month};
        if (day) {
            sql += " and Day(销售日期)=?";
            values << day;
        }
        DbRecordSet records;
        EXPECT_TRUE(records.Open(sql, SharedConnection(), true, values));
        records.MoveFirst();
        return records.GetFieldByIndex(0).toDouble();
    }
};

// The reads of the sums, on both stores.
using ChartSums = OnBothStores<Charts>;
LK_ON_BOTH_STORES(ChartSums);

class ChartWindow : public Charts {
  protected:
    void SetUp() override {
        Charts::SetUp();
        window_.resize(1008, 608);
        BuildChartPage(&window_);
        Skin::Instance().Attach(&window_);  // ShowMessage needs the skinned window
        window_.show();
    }
    void TearDown() override {
        Skin::Instance().Detach();
        ForgetChartPage();
        Charts::TearDown();
    }
    ChartPage& page() { return TheChartPage(); }
    QWidget window_;
};

TEST_F(Charts, TheAxisFollowsTheRuleAndCoversEveryBarLossesIncluded) {
    EXPECT_EQ(AxisMaximum(5678.9), 5800);
    EXPECT_EQ(AxisMaximum(0), 100);
    EXPECT_EQ(AxisMaximum(-250), -200);
    EXPECT_EQ(AxisMaximum(249.99), 300);  // whole part 249: 2.49 rounds to 2

    // The rule follows the largest single sale; a day of three such sales stands above it.
    ChartBars day;
    day.values = {0, 900, 300};
    day.ruleFigure = 300;
    EXPECT_EQ(ValueAxisRange(day).top, 900);
    EXPECT_EQ(ValueAxisRange(day).bottom, 0);

    ChartBars loss;
    loss.values = {120, -370, 0};
    loss.ruleFigure = -250;
    EXPECT_EQ(ValueAxisRange(loss).top, 200);
    EXPECT_EQ(ValueAxisRange(loss).bottom, -400);
    loss.values = {-100, -150};
    EXPECT_EQ(ValueAxisRange(loss).top, 0);  // bars hang from 0
    EXPECT_EQ(ValueAxisRange(loss).bottom, -200);
}

TEST_F(Charts, YearsAndMonthsAreWholeNumbersInTheirRange) {
    EXPECT_EQ(ParseChartYear(" 2013　"), 2013);
    EXPECT_EQ(ParseChartMonth("02"), 2);
    for (const char* bad : {"二零一三", "abc", "2013年", "20.13", "-2013", "0", "10000", "1e3"})
        EXPECT_FALSE(ParseChartYear(QString::fromUtf8(bad))) << bad;
    for (const char* bad : {"0", "13", "6月", "x"})
        EXPECT_FALSE(ParseChartMonth(QString::fromUtf8(bad))) << bad;
}

TEST_F(Charts, AnEmptyLedgerGivesZeroBarsForEveryDayOfTheMonth) {
    const ChartBars february2013 = DailyBars(2013, 2, ChartColumn::SalesAmount);
    EXPECT_EQ(february2013.values.size(), 28);
    EXPECT_EQ(DailyBars(2012, 2, ChartColumn::SalesAmount).values.size(), 29);
    const ChartBars june = DailyBars(2012, 6, ChartColumn::NetProfit);
    ASSERT_EQ(june.labels.size(), 30);
    EXPECT_EQ(june.labels.first(), "1");
    EXPECT_EQ(june.labels.last(), "30");
    const ChartBars year = MonthlyBars(2012, ChartColumn::SalesAmount);
    ASSERT_EQ(year.labels.size(), 12);
    EXPECT_EQ(year.labels.first(), "1月");
    EXPECT_EQ(year.labels.last(), "12月");
    for (const ChartBars* bars : {&february2013, &june, &year}) {
        EXPECT_TRUE(bars->error.isEmpty());
        EXPECT_EQ(bars->ruleFigure, 0);
        for (double value : bars->values) EXPECT_EQ(value, 0);
    }
}

TEST_P(ChartSums, BarsAreTheSumsOfTheirPeriodAtItsEdgesAndTimesOfDay) {
    Sell("2011-12-31 23:59:59", 1000, 1000);
    Sell("2012-01-01", 10.5, 2.25);
    Sell("2012-01-01 00:00:01", 4.25, -1.5);
    Sell("2012-01-31 23:59:59", 7, 1);
    Sell("2012-02-29 12:00:00", 20, 5);
    Sell("2012-06-01", 100.75, 30.5);
    Sell("2012-06-15 09:30:00", 40, 10);
    Sell("2012-06-15 18:45:10", 60.5, -20.25);
    Sell("2012-06-30 23:59:59", 8, 2);
    Sell("2012-07-01", 500, 500);
    Sell("2012-12-31 23:59:59", 3.5, 0.5);
    Sell("2013-01-01", 2000, 2000);

    for (ChartColumn column : {ChartColumn::SalesAmount, ChartColumn::NetProfit}) {
        const QString name = column == ChartColumn::SalesAmount ? "销售金额" : "净利润";
        const ChartBars year = MonthlyBars(2012, column);
        ASSERT_EQ(year.values.size(), 12);
        double total = 0;
        for (int m = 1; m <= 12; ++m) {
            EXPECT_DOUBLE_EQ(year.values[m - 1], Stored(name, 2012, m)) << qPrintable(name) << m;
            total += year.values[m - 1];
        }
        EXPECT_DOUBLE_EQ(year.ruleFigure, total);

        const ChartBars june = DailyBars(2012, 6, column);
        ASSERT_EQ(june.values.size(), 30);
        for (int d = 1; d <= 30; ++d)
            EXPECT_DOUBLE_EQ(june.values[d - 1], Stored(name, 2012, 6, d)) << qPrintable(name) << d;
    }
    EXPECT_DOUBLE_EQ(MonthlyBars(2012, ChartColumn::SalesAmount).values[0], 21.75);
    EXPECT_DOUBLE_EQ(DailyBars(2012, 6, ChartColumn::SalesAmount).values[14], 100.5);
    // The daily rule starts from the month's largest single sale, not the largest day.
    EXPECT_DOUBLE_EQ(DailyBars(2012, 6, ChartColumn::SalesAmount).ruleFigure, 100.75);
    EXPECT_DOUBLE_EQ(DailyBars(2012, 6, ChartColumn::NetProfit).ruleFigure, 30.5);
}

TEST_P(ChartSums, TenThousandDimesAddUpWithoutFloatLeftovers) {
    // 0.1 added 10,000 times in plain floating point gives 1000.0000000001588.
    ASSERT_TRUE(SharedConnection().Execute(
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 10000) "
        "insert into sell (销售金额, 销售日期) select 0.1, '2012-03-05 10:00:00' from n"));
    EXPECT_EQ(MonthlyBars(2012, ChartColumn::SalesAmount).values[2], 1000.0);
}

TEST_F(ChartWindow, ShowingThePageChartsTheSalesOfTheCurrentYearAndMonth) {
    Sell("2010-03-01", 5, 1);
    Sell("2012-06-15 09:00:00", 5678.9, 1000);
    Sell("2012-06-15 10:00:00", 300, 100);
    ShowChartPage();  // the clock stands at 2012-06-15

    BarChart* monthly = page().月销售统计柱状图控件;
    EXPECT_EQ(monthly->Title(), "月销售金额统计报表");
    EXPECT_EQ(monthly->BarColor(), QColor(255, 0, 0));
    ASSERT_EQ(monthly->Values().size(), 12);
    EXPECT_DOUBLE_EQ(monthly->Values()[5], 5978.9);
    // The year's total 5978 gives 60 hundreds, 6100 at least; the chart raises that by hundreds
    // until the value fits above its bar.
    EXPECT_GE(monthly->Axis().top, 6100);
    EXPECT_EQ(std::fmod(monthly->Axis().top, 100), 0);

    BarChart* daily = page().日销售统计柱状图控件;
    EXPECT_EQ(daily->Title(), "日销售金额统计报表");
    EXPECT_EQ(daily->BarColor(), QColor(216, 216, 0));
    EXPECT_EQ(daily->Labels().size(), 30);
    // The rule from the largest sale gives 5800; the day's two sales stand higher.
    EXPECT_GE(daily->Axis().top, 6000);

    EXPECT_EQ(page().组合框1->currentText(), "2012");
    EXPECT_EQ(page().组合框3->currentText(), "6");
    QStringList years;
    for (int i = 0; i < page().组合框2->count(); ++i) years << page().组合框2->itemText(i);
    EXPECT_EQ(years, (QStringList{"2010", "2011", "2012"}));
    EXPECT_TRUE(dialogs_.Texts().isEmpty());

    page().组合框1->setEditText("2010");
    page().按钮11->click();
    EXPECT_EQ(monthly->Title(), "月销售利润统计报表");
    EXPECT_EQ(monthly->Values()[2], 1);
    page().组合框2->setEditText("2012");
    page().组合框3->setEditText("2");
    page().按钮8->click();
    EXPECT_EQ(daily->Title(), "日销净利润统计报表");
    EXPECT_EQ(daily->Values().size(), 29);
}

TEST_F(ChartWindow, EmptyBoxesTakeTheFocusAndBadTextIsToldWithoutBars) {
    Sell("2012-06-15", 50, 10);
    ShowChartPage();
    BarChart* monthly = page().月销售统计柱状图控件;
    BarChart* daily = page().日销售统计柱状图控件;

    page().组合框1->setEditText("  ");
    page().按钮10->click();
    EXPECT_EQ(window_.focusWidget(), page().组合框1);
    EXPECT_EQ(monthly->Values().size(), 12);  // nothing computed, nothing said
    EXPECT_TRUE(dialogs_.Texts().isEmpty());

    page().组合框3->setEditText("");
    page().按钮9->click();
    EXPECT_EQ(window_.focusWidget(), page().组合框3);
    EXPECT_TRUE(dialogs_.Texts().isEmpty());

    page().组合框1->setEditText("abcd");
    page().按钮10->click();
    EXPECT_EQ(dialogs_.Texts(), QStringList{"请输入正确的年份，例如 2026"});
    EXPECT_TRUE(monthly->Values().isEmpty());

    dialogs_.Clear();
    page().组合框3->setEditText("13");
    page().按钮9->click();
    EXPECT_EQ(dialogs_.Texts(), QStringList{"请输入正确的月份（1 到 12）"});
    EXPECT_TRUE(daily->Values().isEmpty());
}

TEST_F(ChartWindow, OnlyTheSuperAdministratorSeesProfitCharts) {
    Sell("2012-06-15", 50, 10);
    ShowChartPage();
    page().按钮11->click();
    page().按钮8->click();
    ASSERT_EQ(page().月销售统计柱状图控件->Title(), "月销售利润统计报表");

    // Another user logs in while the profit charts are on screen.
    CurrentSession().userRole = kOrdinaryUser;
    ChartPageAfterLogin();
    EXPECT_FALSE(page().按钮11->isVisible());
    EXPECT_FALSE(page().按钮8->isVisible());
    EXPECT_EQ(page().月销售统计柱状图控件->Title(), "月销售金额统计报表");
    EXPECT_EQ(page().日销售统计柱状图控件->Title(), "日销售金额统计报表");
    EXPECT_DOUBLE_EQ(page().日销售统计柱状图控件->Values()[14], 50);

    OnMonthlyChartButton(ChartColumn::NetProfit);
    OnDailyChartButton(ChartColumn::NetProfit);
    EXPECT_EQ(page().月销售统计柱状图控件->Title(), "月销售金额统计报表");
    EXPECT_EQ(page().日销售统计柱状图控件->Title(), "日销售金额统计报表");
}

// The text of a visible text item of the chart, "" for any other item.
QString VisibleText(const QGraphicsItem* item) {
    if (!item->isVisible()) return QString();
    if (auto* text = qgraphicsitem_cast<const QGraphicsTextItem*>(item)) return text->toPlainText();
    if (auto* text = qgraphicsitem_cast<const QGraphicsSimpleTextItem*>(item)) return text->text();
    return QString();
}

TEST_F(ChartWindow, EveryValueIsWrittenWholeInThePlotBeyondTheEndOfItsBar) {
    struct Case {
        BarChart* chart;
        int bars;
        QList<std::pair<int, double>> values;  // bar index, value; every other bar is 0
        double ruleFigure;
    };
    const QList<Case> cases = {
        // The day's tallest sale sets the rule; its label is written upright.
        {page().日销售统计柱状图控件, 30, {{14, 322.48}, {2, 98.5}, {3, 1234.56}}, 1234.56},
        {page().日销售统计柱状图控件, 31, {{0, 322.48}, {30, 99.99}}, 322.48},
        {page().月销售统计柱状图控件, 12, {{5, 5978.9}, {6, -370.25}}, 5608.65},
    };
    for (const Case& c : cases) {
        ChartBars bars;
        for (int i = 1; i <= c.bars; ++i) {
            bars.labels << QString::number(i);
            bars.values << 0;
        }
        for (const auto& [index, value] : c.values) bars.values[index] = value;
        bars.ruleFigure = c.ruleFigure;
        c.chart->Show(QStringLiteral("日销售金额统计报表"), Qt::yellow, bars);
        QCoreApplication::processEvents();  // the chart lays itself out

        QChart* chart = c.chart->chart();
        const QRectF plot = chart->mapRectToScene(chart->plotArea());
        for (const auto& [index, value] : c.values) {
            SCOPED_TRACE(QString::number(value).toStdString());
            const QString text = QString::number(value);
            const QList<QGraphicsItem*> items = c.chart->scene()->items();
            const auto label = std::find_if(items.begin(), items.end(),
                                            [&](auto* item) { return VisibleText(item) == text; });
            ASSERT_NE(label, items.end());
            const QRectF rect = (*label)->sceneBoundingRect();
            EXPECT_TRUE(plot.contains(rect)) << rect.top() << " above " << plot.top();
            const double barEnd =
                chart->mapToScene(chart->mapToPosition(QPointF(index, value))).y();
            if (value > 0)
                EXPECT_LE(rect.bottom(), barEnd);
            else
                EXPECT_GE(rect.top(), barEnd);
        }
    }
}

}  // namespace
