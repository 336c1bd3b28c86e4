#include "stats/chart_page.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "common/date_text.h"
#include "common/session.h"
#include "common/text.h"
#include "platform/placement.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "stats/bar_chart.h"

namespace {

constexpr qint64 kMonthlyColor = 255;  // red
constexpr qint64 kDailyColor = 55512;  // red 216, green 216, blue 0

QString MonthlyTitle(ChartColumn column) {
    return column == ChartColumn::SalesAmount ? QStringLiteral("月销售金额统计报表")
                                              : QStringLiteral("月销售利润统计报表");
}

QString DailyTitle(ChartColumn column) {
    return column == ChartColumn::SalesAmount ? QStringLiteral("日销售金额统计报表")
                                              : QStringLiteral("日销净利润统计报表");
}

QPushButton* Button(QWidget* panel, const QString& name, const QString& text, int y,
                    void (*handler)(ChartColumn), ChartColumn column) {
    auto* button = Place<QPushButton>(panel, name, 16, y, 130, 30);
    button->setText(text);
    QObject::connect(button, &QPushButton::clicked, panel, [handler, column] { handler(column); });
    return button;
}

// Shows the bars, or, when the sales could not be read, an empty chart and the reason.
bool ShowOn(BarChart* chart, const QString& title, qint64 color, const ChartBars& bars) {
    chart->Show(title, WinColor(color), bars);
    if (bars.error.isEmpty()) return true;
    ShowMessage(QStringLiteral("无法读取销售记录，请稍后再试"), 2);
    return false;
}

bool ShowMonthly(int year, ChartColumn column) {
    ChartPage& page = TheChartPage();
    page.monthlyProfit = column == ChartColumn::NetProfit;
    return ShowOn(page.月销售统计柱状图控件, MonthlyTitle(column), kMonthlyColor,
                  MonthlyBars(year, column));
}

bool ShowDaily(int year, int month, ChartColumn column) {
    ChartPage& page = TheChartPage();
    page.dailyProfit = column == ChartColumn::NetProfit;
    return ShowOn(page.日销售统计柱状图控件, DailyTitle(column), kDailyColor,
                  DailyBars(year, month, column));
}

// A box left empty takes the focus and nothing is computed; a text that is no year or month
// is told, and the chart is left without bars rather than showing another period's.
std::optional<int> NumberIn(QComboBox* box, std::optional<int> (*parse)(const QString&),
                            const QString& complaint, BarChart* chart, const QString& title,
                            qint64 color) {
    if (TrimSpaces(box->currentText()).isEmpty()) {
        box->setFocus();
        return std::nullopt;
    }
    const std::optional<int> value = parse(box->currentText());
    if (!value) {
        chart->Show(title, WinColor(color), ChartBars{});
        ShowMessage(complaint, 1);
        box->setFocus();
    }
    return value;
}

const QString kNoYear = QStringLiteral("请输入正确的年份，例如 2026");
const QString kNoMonth = QStringLiteral("请输入正确的月份（1 到 12）");

void ShowProfitButtons() {
    ChartPage& page = TheChartPage();
    page.按钮11->setVisible(CostFiguresVisible());
    page.按钮8->setVisible(CostFiguresVisible());
}

void SetYears(QComboBox* box, const QStringList& years, int year) {
    box->clear();
    box->addItems(years);
    box->setCurrentIndex(box->findText(QString::number(year)));
}

}  // namespace

ChartPage& TheChartPage() {
    static ChartPage page;
    return page;
}

void ForgetChartPage() {
    TheChartPage() = ChartPage{};
}

void BuildChartPage(QWidget* host) {
    ChartPage& page = TheChartPage();
    page.月销售统计柱状图控件 = new BarChart(host, QStringLiteral("月销售统计表"),
                                             QStringLiteral("月份"), QStringLiteral("元"));
    page.月销售统计柱状图控件->setObjectName(QStringLiteral("月销售统计柱状图控件"));
    page.月销售统计柱状图控件->setGeometry(10, 46, 780, 238);
    page.日销售统计柱状图控件 = new BarChart(host, QStringLiteral("日销售统计表"),
                                             QStringLiteral("日"), QStringLiteral("元"));
    page.日销售统计柱状图控件->setObjectName(QStringLiteral("日销售统计柱状图控件"));
    page.日销售统计柱状图控件->setGeometry(10, 290, 780, 238);

    page.图片框4 = Place<QFrame>(host, QStringLiteral("图片框4"), 833, 81, 162, 180);
    page.图片框3 = Place<QFrame>(host, QStringLiteral("图片框3"), 833, 325, 162, 180);
    for (QFrame* panel : {page.图片框4, page.图片框3}) panel->setFrameShape(QFrame::StyledPanel);

    page.标签42 = PlaceLabel(page.图片框4, QStringLiteral("选择要统计的年份"), 16, 14, 130, 22);
    page.标签42->setObjectName(QStringLiteral("标签42"));
    page.组合框1 = PlaceSearchCombo(page.图片框4, QStringLiteral("组合框1"), 16, 42, 130, 24);
    page.按钮11 = Button(page.图片框4, QStringLiteral("按钮11"), QStringLiteral("查 询 利 润"), 90,
                         OnMonthlyChartButton, ChartColumn::NetProfit);
    page.按钮10 = Button(page.图片框4, QStringLiteral("按钮10"), QStringLiteral("查询销售额"), 132,
                         OnMonthlyChartButton, ChartColumn::SalesAmount);

    page.标签41 = PlaceLabel(page.图片框3, QStringLiteral("年份"), 16, 14, 36, 24);
    page.标签41->setObjectName(QStringLiteral("标签41"));
    page.组合框2 = PlaceSearchCombo(page.图片框3, QStringLiteral("组合框2"), 52, 14, 94, 24);
    page.标签40 = PlaceLabel(page.图片框3, QStringLiteral("月份"), 16, 50, 36, 24);
    page.标签40->setObjectName(QStringLiteral("标签40"));
    page.组合框3 = PlaceSearchCombo(page.图片框3, QStringLiteral("组合框3"), 52, 50, 94, 24);
    for (int month = 1; month <= 12; ++month) page.组合框3->addItem(QString::number(month));
    page.按钮8 = Button(page.图片框3, QStringLiteral("按钮8"), QStringLiteral("查 询 利 润"), 90,
                        OnDailyChartButton, ChartColumn::NetProfit);
    page.按钮9 = Button(page.图片框3, QStringLiteral("按钮9"), QStringLiteral("查询销售额"), 132,
                        OnDailyChartButton, ChartColumn::SalesAmount);
}

void ShowChartPage() {
    ChartPage& page = TheChartPage();
    if (!page.月销售统计柱状图控件) return;
    ShowProfitButtons();
    const QDate today = CurrentDateTime().date();
    // One message is enough when the sales cannot be read.
    if (ShowMonthly(today.year(), ChartColumn::SalesAmount))
        ShowDaily(today.year(), today.month(), ChartColumn::SalesAmount);
    else
        page.日销售统计柱状图控件->Show(DailyTitle(ChartColumn::SalesAmount), WinColor(kDailyColor),
                                        ChartBars{});
    const QStringList years = ChartYears(today.year());
    SetYears(page.组合框1, years, today.year());
    SetYears(page.组合框2, years, today.year());
    page.组合框3->setCurrentIndex(today.month() - 1);
}

void ChartPageAfterLogin() {
    ChartPage& page = TheChartPage();
    if (!page.月销售统计柱状图控件) return;
    ShowProfitButtons();
    if (!CostFiguresVisible() && (page.monthlyProfit || page.dailyProfit)) ShowChartPage();
}

void OnMonthlyChartButton(ChartColumn column) {
    if (column == ChartColumn::NetProfit && !CostFiguresVisible()) return;
    ChartPage& page = TheChartPage();
    const std::optional<int> year =
        NumberIn(page.组合框1, ParseChartYear, kNoYear, page.月销售统计柱状图控件,
                 MonthlyTitle(column), kMonthlyColor);
    if (year) ShowMonthly(*year, column);
}

void OnDailyChartButton(ChartColumn column) {
    if (column == ChartColumn::NetProfit && !CostFiguresVisible()) return;
    ChartPage& page = TheChartPage();
    BarChart* chart = page.日销售统计柱状图控件;
    const std::optional<int> year =
        NumberIn(page.组合框2, ParseChartYear, kNoYear, chart, DailyTitle(column), kDailyColor);
    if (!year) return;
    const std::optional<int> month =
        NumberIn(page.组合框3, ParseChartMonth, kNoMonth, chart, DailyTitle(column), kDailyColor);
    if (month) ShowDaily(*year, *month, column);
}
