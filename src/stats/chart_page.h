#pragma once
// The 销售统计 page: the monthly chart of a year and the daily chart of a month, each with
// its panel of year and month boxes and its profit and sales buttons.

#include "stats/sales_chart_data.h"

class BarChart;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QWidget;

struct ChartPage {
    BarChart* 月销售统计柱状图控件 = nullptr;
    BarChart* 日销售统计柱状图控件 = nullptr;

    QFrame* 图片框4 = nullptr;  // the monthly chart's panel
    QLabel* 标签42 = nullptr;
    QComboBox* 组合框1 = nullptr;
    QPushButton* 按钮11 = nullptr;  // "查 询 利 润"
    QPushButton* 按钮10 = nullptr;  // "查询销售额"

    QFrame* 图片框3 = nullptr;  // the daily chart's panel
    QLabel* 标签41 = nullptr;
    QComboBox* 组合框2 = nullptr;
    QLabel* 标签40 = nullptr;
    QComboBox* 组合框3 = nullptr;
    QPushButton* 按钮8 = nullptr;  // "查 询 利 润"
    QPushButton* 按钮9 = nullptr;  // "查询销售额"

    // Whether a chart shows net profit, which only the super administrator may see.
    bool monthlyProfit = false;
    bool dailyProfit = false;
};

ChartPage& TheChartPage();

// Builds the charts and panels on page; nothing is read until the page is shown.
void BuildChartPage(QWidget* page);
// Forgets the page (its widgets belong to their window).
void ForgetChartPage();

// Each time the page is selected: both charts show the sales of the current year and of its
// current month, the boxes name that year and month and offer the years with sales, and the
// profit buttons are there for the super administrator alone.
void ShowChartPage();
// After a login: the profit buttons follow the new user, and a profit chart the new user may
// not see gives way to the sales charts of ShowChartPage.
void ChartPageAfterLogin();

// 按钮10 and 按钮11: the monthly chart of the year in 组合框1.
void OnMonthlyChartButton(ChartColumn column);
// 按钮9 and 按钮8: the daily chart of the year in 组合框2 and the month in 组合框3.
void OnDailyChartButton(ChartColumn column);
