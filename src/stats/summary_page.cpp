#include "stats/summary_page.h"

#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QPointer>

#include "common/number_text.h"
#include "common/session.h"
#include "common/settings.h"
#include "platform/list_refresh.h"
#include "platform/list_style.h"
#include "platform/record_grid.h"
#include "stats/excel_export.h"
#include "store/list_query.h"

namespace {

struct SummaryPage {
    QPointer<QFrame> host;
    QPointer<RecordGrid> grid;
    QPointer<QMenu> menu;
};

SummaryPage& Page() {
    static SummaryPage page;
    return page;
}

const QStringList kFields = {
    QStringLiteral("ID"),       QStringLiteral("名称"),     QStringLiteral("型号"),
    QStringLiteral("编码"),     QStringLiteral("类型"),     QStringLiteral("进货数量"),
    QStringLiteral("进货金额"), QStringLiteral("销售数量"), QStringLiteral("销售金额"),
    QStringLiteral("存货数量"), QStringLiteral("存货金额")};

// Columns 1 to 11, as fractions of the host width.
const QList<double> kWidths = {0, 0.15, 0.1, 0.1, 0.1, 0.065, 0.09, 0.065, 0.09, 0.065, 0.09};

// The purchase and stock amounts: filled, shown and exported only while cost figures may be
// shown.
const QList<int> kCostColumns = {7, 11};

void BuildMenu(RecordGrid* grid) {
    auto* menu = new QMenu(grid);
    menu->setObjectName(QStringLiteral("汇总快捷菜单"));
    QObject::connect(menu->addAction(QStringLiteral("刷新显示")), &QAction::triggered, menu,
                     [] { FillSummaryGrid(QStringLiteral("select * from buy")); });
    menu->addSeparator();
    QObject::connect(menu->addAction(QStringLiteral("输出汇总Excel.")), &QAction::triggered, menu,
                     [] { ExportGridToExcel(SummaryGrid(), kCostColumns); });
    Page().menu = menu;
}

}  // namespace

RecordGrid* SummaryGrid() {
    return Page().grid.data();
}
QMenu* SummaryMenu() {
    return Page().menu.data();
}

void ForgetSummaryPage() {
    UnregisterListFill(ListId::Summary);
    Page() = SummaryPage{};
}

void CreateSummaryGrid(QFrame* host, int width, int height) {
    if (Page().grid) return;
    Page().host = host;
    auto* grid = new RecordGrid(host);
    grid->setObjectName(QStringLiteral("SummaryGrid"));
    grid->setGeometry(0, 0, width, height);
    grid->show();
    Page().grid = grid;
    SetUpSummaryGrid();
}

void LayOutSummaryColumns(int firstColumnWidth) {
    RecordGrid* g = SummaryGrid();
    if (!g) return;
    const int host = Page().host ? Page().host->width() : g->width();
    g->Column(0).SetWidth(firstColumnWidth);
    const bool costs = CostFiguresVisible();
    for (int c = 1; c <= 11; ++c)
        g->Column(c).SetWidth(costs || !kCostColumns.contains(c) ? ColumnWidth(kWidths[c - 1], host)
                                                                 : 0);
}

void SetUpSummaryGrid() {
    RecordGrid* g = SummaryGrid();
    SetUpTwoRowHeader(
        g, 100, 12,
        {{2, 5, "商品信息"}, {6, 7, "进货信息"}, {8, 9, "销售信息"}, {10, 11, "存货信息"}}, 2,
        {"名称", "型号", "编码", "类型", "数量", "金额", "数量", "金额", "数量", "金额"});
    g->Range(0, 0, 1, 0).Merge();
    for (int c = 6; c <= 10; ++c) g->Column(c).SetAlignment(RecordGrid::cellRightCenter);
    g->Column(11).SetAlignment(RecordGrid::cellCenterCenter);
    for (int c : {6, 8, 10}) g->Cell(0, c).SetAlignment(RecordGrid::cellCenterCenter);
    for (int c = 6; c <= 11; ++c) {
        g->Cell(1, c).SetAlignment(RecordGrid::cellCenterCenter);
        g->Column(c).SetMask(RecordGrid::cellValue);
        g->Column(c).SetDecimalLength(1);
    }
    LayOutSummaryColumns(30);
    QObject::connect(g, &RecordGrid::MouseUp, g,
                     [](int button, int, int x, int y) { OnSummaryGridMouseUp(button, x, y); });
    g->SetReadOnly(true);
    g->SetAutoRedraw(true);
    g->Refresh();
    BuildMenu(g);
    RegisterListFill(ListId::Summary, [](const QString& sql) { FillSummaryGrid(sql); });
    FillSummaryGrid(QStringLiteral("select * from buy"));
}

void FillSummaryGrid(const QString& sql) {
    RecordGrid* g = SummaryGrid();
    if (!g) return;
    BeginListFill(g, 2);
    // The opposite of the stock list: with zero on, goods without stock are left out here.
    const bool hideZero = SetupFlag(SetupKey::kZero);
    const qint64 beepColor = SetupColor(SetupKey::kBeepColor);
    const qint64 zeroColor = SetupColor(SetupKey::kZeroColor);
    const double level = CurrentSession().stockAlarmLevel;
    double totals[6] = {};

    ListQuery rows(sql);
    const QList<int> fields = rows.Columns(kFields);
    // A user who may not see cost figures gets none in the list, not even in a hidden cell.
    const bool costs = CostFiguresVisible();
    bool withheld[11] = {};
    for (int f = 0; f < kFields.size(); ++f) withheld[f] = !costs && kCostColumns.contains(f + 1);
    QString line;
    while (rows.Next()) {
        line.truncate(0);  // keeps the buffer for the next row
        for (int f = 0; f < kFields.size(); ++f) {
            if (f > 0) line += u'\t';
            if (!withheld[f]) rows.AppendText(fields[f], &line);
        }
        for (int t = 0; t < 6; ++t) totals[t] += rows.Number(fields[5 + t]);
        const double stock = rows.Number(fields[9]);
        if (hideZero && stock <= kTolerance) continue;
        g->AddItem(line);
        const int row = g->Rows() - 1;
        if (stock - level < -kTolerance) g->Range(row, 1, row, 11).SetForeColor(beepColor);
        if (IsZero(stock)) g->Range(row, 1, row, 11).SetForeColor(zeroColor);
    }
    ApplyListColours(g);
    g->AddItem(QString());
    const int last = g->Rows() - 1;
    ApplyGridLines(g, 2, 2, last, 11);
    StyleTotalsRow(g, 2, 11);
    g->SetCellText(last, 2, QStringLiteral("合计："));
    for (int t = 0; t < 6; ++t)
        if (!withheld[5 + t]) g->SetCellText(last, 6 + t, NumberText(totals[t]));
    g->SetAutoRedraw(true);
    g->Refresh();
}

void OnSummaryGridMouseUp(int button, int x, int y) {
    if (button != RecordGrid::kRightButton) return;
    RecordGrid* g = SummaryGrid();
    const auto [row, col] = SelectClickedCell(g, x, y);
    if (row >= 1 && col >= 1) Page().menu->popup(g->mapToGlobal(QPoint(x, y)));
}
