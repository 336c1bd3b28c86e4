#include "stock/stocktake_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>

#include "common/date_text.h"
#include "common/number_text.h"
#include "common/session.h"
#include "common/text.h"
#include "ledger/goods_list.h"
#include "platform/list_refresh.h"
#include "platform/placement.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "stats/excel_export.h"
#include "store/shared_db.h"

namespace {

// Grid column c shows the list's column c - 1.
constexpr int kFirstShown = ledger::kTakeName + 1;
constexpr int kLastShown = ledger::kTakeState + 1;
const QList<int> kTakeCostColumns = {ledger::kTakeCost + 1, ledger::kTakeValue + 1};
const QList<int> kBookedCostColumns = {ledger::kBookedGainAmount + 1,
                                       ledger::kBookedLossAmount + 1};

// Fractions of the grid's width for the shown columns, 名称 to 状态.
const double kTakeWidths[] = {0.13, 0.07, 0.09, 0.06, 0.08, 0.06, 0.06,
                              0.06, 0.07, 0.07, 0.11, 0.06, 0.05};

void SetUpTakeGrid(RecordGrid* g) {
    SetUpTwoRowHeader(g, 2, kLastShown + 1,
                      {{kFirstShown, kFirstShown + 4, "商品信息"},
                       {ledger::kTakeBook + 1, ledger::kTakeDifference + 1, "盘点数量"},
                       {ledger::kTakeCost + 1, ledger::kTakeValue + 1, "盈亏金额"},
                       {ledger::kTakeTime + 1, kLastShown, "盘点记录"}},
                      kFirstShown,
                      {"名称", "型号", "编码", "类型", "供货商", "账面", "实盘", "盈亏", "进货单价",
                       "金额", "盘点时间", "盘点人", "状态"});
    g->Range(0, 1, 1, 2).Merge();
    for (int c : {kFirstShown, ledger::kTakeBook + 1, ledger::kTakeCost + 1, ledger::kTakeTime + 1})
        g->Cell(0, c).SetAlignment(RecordGrid::cellCenterCenter);
    for (int c = ledger::kTakeBook + 1; c <= ledger::kTakeValue + 1; ++c) {
        g->Column(c).SetAlignment(RecordGrid::cellRightCenter);
        g->Column(c).SetMask(RecordGrid::cellValue);
        g->Cell(1, c).SetAlignment(RecordGrid::cellCenterCenter);
    }
    g->SetReadOnly(true);
    g->SetAutoRedraw(true);
    g->AddItem(QString());
}

// Shows list in g below its header rows, above the bold totals row.
bool ShowList(RecordGrid* g, ListModel* list, ledger::ListCondition condition, int lastCol) {
    g->SetRowSource(list);
    ApplyListColours(g);
    ApplySourceGridLines(g, 2, lastCol);
    StyleTotalsRow(g, 2, lastCol);
    if (!list->Show(std::move(condition))) {
        ReportListReadFailure(list->Busy(), list->Error());
        return false;
    }
    g->Refresh();
    return true;
}

QPointer<StocktakeWindow>& OpenWindow() {
    static QPointer<StocktakeWindow> window;
    return window;
}

QPointer<StocktakeRecordsWindow>& OpenRecords() {
    static QPointer<StocktakeRecordsWindow> window;
    return window;
}

}  // namespace

StocktakeWindow::StocktakeWindow(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("StocktakeWindow"));
    setWindowTitle(QStringLiteral("盘点"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(1000, 620);

    PlaceLabel(this, QStringLiteral("盘点范围："), 10, 10, 70, 26);
    范围框 = Place<QComboBox>(this, QStringLiteral("范围框"), 80, 10, 130, 26);
    范围框->addItems({QStringLiteral("全部商品"), QStringLiteral("一个类型"),
                      QStringLiteral("一个供货商"), QStringLiteral("只盘扫描的商品")});
    范围值框 = Place<QComboBox>(this, QStringLiteral("范围值框"), 216, 10, 160, 26);
    范围值框->setEnabled(false);
    开始按钮 = Place<QPushButton>(this, QStringLiteral("开始按钮"), 382, 10, 90, 26);
    开始按钮->setText(QStringLiteral("开始盘点"));
    盘点信息 = PlaceLabel(this, QString(), 484, 10, 506, 26);

    PlaceLabel(this, QStringLiteral("商品编码："), 10, 44, 70, 26);
    扫描框 = Place<QLineEdit>(this, QStringLiteral("扫描框"), 80, 44, 200, 26);
    扫描框->setPlaceholderText(QStringLiteral("扫描或输入编码后回车"));
    选中商品 = PlaceLabel(this, QStringLiteral("双击一行可输入盘点数量"), 296, 44, 260, 26);
    PlaceLabel(this, QStringLiteral("盘点数量："), 560, 44, 70, 26);
    数量框 = Place<QLineEdit>(this, QStringLiteral("数量框"), 630, 44, 80, 26);
    数量按钮 = Place<QPushButton>(this, QStringLiteral("数量按钮"), 716, 44, 80, 26);
    数量按钮->setText(QStringLiteral("修改数量"));

    盘点表 = Place<RecordGrid>(this, QStringLiteral("盘点表"), 10, 78, 780, 490);
    盘点表->SetListName(QStringLiteral("盘点"));
    SetUpTakeGrid(盘点表);
    LayOutColumns(盘点表, kTakeWidths, kFirstShown, kLastShown, kTakeCostColumns);
    PlaceLabel(this, QStringLiteral("未知编码（数量）："), 800, 78, 190, 22);
    未知编码框 = Place<QListWidget>(this, QStringLiteral("未知编码框"), 800, 102, 190, 466);

    盘点合计 = PlaceLabel(this, QString(), 10, 578, 560, 30);
    确认按钮 = Place<QPushButton>(this, QStringLiteral("确认按钮"), 620, 578, 110, 30);
    确认按钮->setText(QStringLiteral("确认盘点"));
    记录按钮 = Place<QPushButton>(this, QStringLiteral("记录按钮"), 740, 578, 110, 30);
    记录按钮->setText(QStringLiteral("盘点记录"));
    关闭按钮 = Place<QPushButton>(this, QStringLiteral("关闭按钮"), 880, 578, 110, 30);
    关闭按钮->setText(QStringLiteral("关闭"));

    盘点菜单 = new QMenu(this);
    盘点菜单->setObjectName(QStringLiteral("盘点菜单"));
    connect(盘点菜单->addAction(QStringLiteral("导出Excel")), &QAction::triggered, this,
            &StocktakeWindow::OnExport);

    connect(范围框, &QComboBox::currentIndexChanged, this, [this] { FillScopeValues(); });
    connect(开始按钮, &QPushButton::clicked, this, &StocktakeWindow::OnStart);
    connect(扫描框, &QLineEdit::returnPressed, this, &StocktakeWindow::OnScan);
    connect(数量框, &QLineEdit::returnPressed, this, &StocktakeWindow::OnTypeCount);
    connect(数量按钮, &QPushButton::clicked, this, &StocktakeWindow::OnTypeCount);
    connect(确认按钮, &QPushButton::clicked, this, &StocktakeWindow::OnBook);
    connect(记录按钮, &QPushButton::clicked, this, [this] { OpenStocktakeRecordsWindow(this); });
    connect(关闭按钮, &QPushButton::clicked, this, &QWidget::close);
    connect(盘点表, &RecordGrid::DblClick, this, [this] { ChooseRow(盘点表->MouseRow()); });
    connect(盘点表, &RecordGrid::MouseUp, this, [this](int button, int, int x, int y) {
        if (button != RecordGrid::kRightButton) return;
        const auto [row, col] = SelectClickedCell(盘点表, x, y);
        if (row >= 2 && col >= 1) {
            CurrentSession().selectedRow = row;
            盘点菜单->popup(盘点表->mapToGlobal(QPoint(x, y)));
        }
    });

    ledger::Stocktake open;
    bool found = false;
    QString error;
    if (!EnsureDatabaseOpen()) return;  // the opener has told the user
    if (!ledger::ReadOpenStocktake(SharedConnection(), &open, &found, &error))
        ReportListReadFailure(false, error);
    ShowStocktake(found ? open.id : 0);
}

bool StocktakeWindow::GoodsRows() const {
    // The goods of the scope while counting, the lines alone for the goods scanned and after
    // booking.
    return take_.id != 0 && !take_.Booked() && take_.scope != ledger::StocktakeScope::Scanned;
}

ListModel* StocktakeWindow::List() {
    return GoodsRows() ? goods_.For(盘点表, ledger::StocktakeGoodsSpec)
                       : lines_.For(盘点表, ledger::StocktakeLinesSpec);
}

void StocktakeWindow::FillScopeValues() {
    范围值框->clear();
    const int scope = 范围框->currentIndex();
    const bool valued = scope == 1 || scope == 2;
    范围值框->setEnabled(valued && take_.id == 0);
    if (!valued) return;
    // Read when asked for: two scans of the goods the window need not make to open.
    QStringList values;
    QString error;
    if (!ledger::ReadGoodsValues(SharedConnection(),
                                 scope == 1 ? ledger::kGoodsType : ledger::kGoodsSupplier, &values,
                                 &error))
        return ReportListReadFailure(false, error);
    范围值框->addItems(values);
}

void StocktakeWindow::ShowStocktake(qint64 id) {
    take_ = ledger::Stocktake{};
    chosenGoods_ = 0;
    选中商品->setText(QStringLiteral("双击一行可输入盘点数量"));
    QString error;
    if (id != 0 && !ledger::ReadStocktake(SharedConnection(), id, &take_, &error)) {
        ReportListReadFailure(false, error);
        take_ = ledger::Stocktake{};
    }
    const bool open = take_.id != 0 && !take_.Booked();
    if (take_.id != 0) {
        QSignalBlocker quiet(范围框);
        范围框->setCurrentIndex(static_cast<int>(take_.scope));
        范围值框->clear();
        if (!take_.scopeValue.isEmpty()) 范围值框->addItem(take_.scopeValue);
    }
    范围框->setEnabled(!open);
    范围值框->setEnabled(false);
    开始按钮->setEnabled(!open);
    for (QWidget* counting : {static_cast<QWidget*>(扫描框), static_cast<QWidget*>(数量框),
                              static_cast<QWidget*>(数量按钮)})
        counting->setEnabled(open);
    // Anyone may count and save; booking is for whom the settings allow.
    确认按钮->setVisible(MayBookStocktakes());
    确认按钮->setEnabled(open);
    if (take_.id == 0)
        盘点信息->setText(QStringLiteral("选择盘点范围后按“开始盘点”"));
    else if (open)
        盘点信息->setText(QStringLiteral("第 %1 次盘点，%2 开始于 %3，每次盘点都已保存")
                              .arg(take_.id)
                              .arg(take_.startedBy, DateListText(take_.startedAt)));
    else
        盘点信息->setText(QStringLiteral("第 %1 次盘点已由 %2 于 %3 确认入账")
                              .arg(take_.id)
                              .arg(take_.bookedBy, DateListText(take_.bookedAt)));
    ListModel* list = List();
    const ledger::ListCondition condition = GoodsRows() ? ledger::StocktakeGoodsCondition(take_)
                                                        : ledger::StocktakeLinesCondition(take_.id);
    LayOutColumns(盘点表, kTakeWidths, kFirstShown, kLastShown, kTakeCostColumns);
    ShowList(盘点表, list, condition, kLastShown);
    ShowFigures();
    ShowUnknownCodes();
    if (open) 扫描框->setFocus();
}

void StocktakeWindow::ShowFigures() {
    ledger::StocktakeFigures f;
    QString error;
    if (take_.id != 0 && !ledger::ReadStocktakeFigures(SharedConnection(), take_.id, &f, &error))
        return ReportListReadFailure(false, error);
    QString text = QStringLiteral("已盘 %1 种    盘盈 %2    盘亏 %3")
                       .arg(f.counted)
                       .arg(NumberText(f.gainQuantity), NumberText(f.lossQuantity));
    // Amounts at purchase price are cost figures.
    if (CostFiguresVisible())
        text += QStringLiteral("    盘盈金额 %1    盘亏金额 %2")
                    .arg(NumberText(f.gainAmount), NumberText(f.lossAmount));
    盘点合计->setText(text);
    const int last = 盘点表->Rows() - 1;
    盘点表->SetCellText(last, kFirstShown, QStringLiteral("合计：已盘 %1 种").arg(f.counted));
    盘点表->SetCellNumber(last, ledger::kTakeDifference + 1, f.gainQuantity - f.lossQuantity);
    if (CostFiguresVisible())
        盘点表->SetCellNumber(last, ledger::kTakeValue + 1, f.gainAmount - f.lossAmount);
    else
        盘点表->SetCellText(last, ledger::kTakeValue + 1, QString());
}

void StocktakeWindow::ShowUnknownCodes() {
    未知编码框->clear();
    QList<ledger::UnknownCode> codes;
    QString error;
    if (take_.id != 0 && !ledger::ReadUnknownCodes(SharedConnection(), take_.id, &codes, &error))
        return ReportListReadFailure(false, error);
    for (const ledger::UnknownCode& c : codes)
        未知编码框->addItem(QStringLiteral("%1（%2）").arg(c.code, NumberText(c.count)));
}

bool StocktakeWindow::Report(const LedgerResult& result) {
    switch (result.outcome) {
        case LedgerResult::Done:
            return true;
        case LedgerResult::AlreadyBooked:
            ShowMessage(QStringLiteral("这次盘点已经确认入账，\r\n不能再修改"), 1);
            ShowStocktake(take_.id);
            return false;
        case LedgerResult::RecordGone:
            ShowMessage(QStringLiteral("找不到这件商品或这次盘点的\r\n记录，它可能已被删除"), 2);
            return false;
        case LedgerResult::NegativeAmount:
            ShowMessage(QStringLiteral("盘点数量不能小于0"), 1);
            return false;
        default:
            ShowMessage(QStringLiteral("盘点没有保存：%1\r\n请检查数据库后再试").arg(result.error),
                        2);
            return false;
    }
}

void StocktakeWindow::OnStart() {
    const int index = 范围框->currentIndex();
    const auto scope = static_cast<ledger::StocktakeScope>(index);
    const QString value = 范围值框->currentText();
    if ((index == 1 || index == 2) && value.isEmpty()) {
        ShowMessage(QStringLiteral("请选择要盘点的类型或供货商"), 1);
        return;
    }
    if (!EnsureDatabaseOpen()) return;
    const LedgerResult result =
        ledger::StartStocktake(SharedConnection(), scope, value, CurrentSession().userName);
    if (result.outcome == LedgerResult::StocktakeOpen) {
        ShowMessage(QStringLiteral("另一次盘点还没有确认，\r\n现在继续那次盘点"), 1);
        return ShowStocktake(result.id);
    }
    if (Report(result)) ShowStocktake(result.id);
}

void StocktakeWindow::OnScan() {
    const QString code = TrimSpaces(扫描框->text());
    扫描框->clear();
    扫描框->setFocus();
    if (code.isEmpty() || take_.id == 0 || take_.Booked()) return;
    if (!EnsureDatabaseOpen()) return;
    const LedgerResult result =
        ledger::CountScanned(SharedConnection(), take_.id, code, CurrentSession().userName);
    if (!Report(result)) return;
    if (result.goodsId == 0) {
        ShowUnknownCodes();
        ShowMessage(QStringLiteral("编码 %1 不是本次盘点的商品，\r\n已记入未知编码").arg(code), 1);
        return;
    }
    ListModel* list = List();
    if (!list->UpdateRecord(GoodsRows() ? result.goodsId : result.id))
        ReportListReadFailure(list->Busy(), list->Error());
    ShowFigures();
    盘点表->Refresh();
}

void StocktakeWindow::ChooseRow(int row) {
    if (row < 2 || row >= 盘点表->Rows() - 1 || take_.id == 0 || take_.Booked()) return;
    const QString goods = 盘点表->CellText(row, ledger::kTakeGoodsId + 1);
    if (!IsRecordId(goods)) return;
    chosenGoods_ = RecordIdValue(goods);
    选中商品->setText(QStringLiteral("盘点：") + 盘点表->CellText(row, ledger::kTakeName + 1));
    数量框->setText(盘点表->CellText(row, ledger::kTakeCounted + 1));
    数量框->selectAll();
    数量框->setFocus();
}

void StocktakeWindow::OnTypeCount() {
    if (chosenGoods_ == 0) {
        ShowMessage(QStringLiteral("请先双击要输入数量的商品"), 1);
        return;
    }
    const QString typed = TrimSpaces(数量框->text());
    if (typed.isEmpty()) {
        ShowMessage(QStringLiteral("请输入盘点数量"), 1);
        return;
    }
    if (!EnsureDatabaseOpen()) return;
    const LedgerResult result = ledger::SetCount(SharedConnection(), take_.id, chosenGoods_,
                                                 TextToNumber(typed), CurrentSession().userName);
    if (!Report(result)) return;
    ListModel* list = List();
    if (!list->UpdateRecord(GoodsRows() ? result.goodsId : result.id))
        ReportListReadFailure(list->Busy(), list->Error());
    ShowFigures();
    盘点表->Refresh();
    数量框->clear();
    扫描框->setFocus();
}

void StocktakeWindow::OnBook() {
    if (!MayBookStocktakes() || take_.id == 0 || take_.Booked()) return;
    ledger::StocktakeFigures f;
    QString error;
    if (!ledger::ReadStocktakeFigures(SharedConnection(), take_.id, &f, &error))
        return ReportListReadFailure(false, error);
    const QString question = QStringLiteral(
                                 "已盘 %1 种，盘盈 %2，盘亏 %3。\r\n确认后库存按盘点调整，\r\n"
                                 "未盘的商品库存不变。确定吗？")
                                 .arg(f.counted)
                                 .arg(NumberText(f.gainQuantity), NumberText(f.lossQuantity));
    if (Skin::Instance().SkinMessageBox(question, 0, 2, 1, QStringLiteral("确认盘点")) != 1) return;
    if (!EnsureDatabaseOpen()) return;
    const qint64 id = take_.id;
    if (!Report(ledger::BookStocktake(SharedConnection(), id, CurrentSession().userName))) return;
    ShowMessage(QStringLiteral("盘点已确认入账"), 0);
    // Every goods counted may have moved: the goods lists read their figures anew.
    RefillWholeList(ListId::Stock);
    RefillWholeList(ListId::Summary);
    ShowStocktake(id);
}

void StocktakeWindow::OnExport() {
    ExportGridToExcel(盘点表, kTakeCostColumns);
}

StocktakeWindow* OpenStocktakeWindow(QWidget* owner) {
    QPointer<StocktakeWindow>& window = OpenWindow();
    if (!window) window = new StocktakeWindow(owner);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

namespace {

const double kBookedWidths[] = {0.1, 0.1, 0.08, 0.14, 0.08, 0.14, 0.06, 0.07, 0.07, 0.07, 0.07};

void SetUpRecordsGrid(RecordGrid* g) {
    SetUpTwoRowHeader(g, 2, ledger::kBookedColumns + 1,
                      {{2, 3, "盘点范围"}, {4, 7, "盘点经过"}, {8, 12, "盘点结果"}}, 2,
                      {"范围", "类型/供货商", "开始人", "开始时间", "确认人", "确认时间",
                       "盘点种数", "盘盈数量", "盘盈金额", "盘亏数量", "盘亏金额"});
    g->Range(0, 0, 1, 1).Merge();
    for (int c : {2, 4, 8}) g->Cell(0, c).SetAlignment(RecordGrid::cellCenterCenter);
    for (int c = ledger::kBookedCounted + 1; c <= ledger::kBookedColumns; ++c) {
        g->Column(c).SetAlignment(RecordGrid::cellRightCenter);
        g->Column(c).SetMask(RecordGrid::cellValue);
        g->Cell(1, c).SetAlignment(RecordGrid::cellCenterCenter);
    }
    g->SetReadOnly(true);
    g->SetAutoRedraw(true);
    g->AddItem(QString());
}

// The totals row of a list: its caption and the totals of columns.
void ShowTotals(RecordGrid* g, ListModel* list, int captionCol, const QList<int>& columns) {
    const int last = g->Rows() - 1;
    g->SetCellText(last, captionCol, QStringLiteral("合计："));
    for (int c : columns) {
        if (list->Layout().columns[c].withheld)
            g->SetCellText(last, c + 1, QString());
        else
            g->SetCellNumber(last, c + 1, list->Total(c));
    }
}

}  // namespace

StocktakeRecordsWindow::StocktakeRecordsWindow(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("StocktakeRecordsWindow"));
    setWindowTitle(QStringLiteral("盘点记录"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(1000, 620);
    PlaceLabel(this, QStringLiteral("已确认的盘点（单击一行查看明细，右键导出Excel）："), 10, 6,
               600, 22);
    记录表 = Place<RecordGrid>(this, QStringLiteral("记录表"), 10, 30, 980, 240);
    记录表->SetListName(QStringLiteral("盘点记录"));
    SetUpRecordsGrid(记录表);
    LayOutColumns(记录表, kBookedWidths, 2, ledger::kBookedColumns, kBookedCostColumns);
    明细标题 = PlaceLabel(this, QString(), 10, 276, 600, 22);
    明细表 = Place<RecordGrid>(this, QStringLiteral("明细表"), 10, 300, 980, 310);
    明细表->SetListName(QStringLiteral("盘点明细"));
    SetUpTakeGrid(明细表);
    LayOutColumns(明细表, kTakeWidths, kFirstShown, kLastShown, kTakeCostColumns);

    for (RecordGrid* grid : {记录表, 明细表}) {
        auto* menu = new QMenu(grid);
        menu->setObjectName(grid == 记录表 ? QStringLiteral("记录菜单")
                                           : QStringLiteral("明细菜单"));
        connect(menu->addAction(QStringLiteral("导出Excel")), &QAction::triggered, this,
                [this, grid] { OnExport(grid); });
        connect(grid, &RecordGrid::MouseUp, this,
                [this, grid, menu](int button, int, int x, int y) {
                    const auto [row, col] = SelectClickedCell(grid, x, y);
                    if (row < 2 || col < 1) return;
                    CurrentSession().selectedRow = row;
                    if (button == RecordGrid::kRightButton)
                        menu->popup(grid->mapToGlobal(QPoint(x, y)));
                    if (button == RecordGrid::kLeftButton && grid == 记录表) ShowLinesOf(row);
                });
    }
    if (!EnsureDatabaseOpen()) return;
    ListModel* list = records_.For(记录表, ledger::BookedStocktakesSpec);
    list->SortBy({0, true});  // the latest first
    if (ShowList(记录表, list, ledger::BookedStocktakes(), ledger::kBookedColumns))
        ShowTotals(记录表, list, ledger::kBookedScope + 1,
                   {ledger::kBookedGain, ledger::kBookedGainAmount, ledger::kBookedLoss,
                    ledger::kBookedLossAmount});
    if (记录表->Rows() > 3) ShowLinesOf(2);
}

void StocktakeRecordsWindow::ShowLinesOf(int row) {
    const QString id = 记录表->CellText(row, ledger::kBookedId + 1);
    if (!IsRecordId(id)) return;
    明细标题->setText(QStringLiteral("第 %1 次盘点的明细：").arg(id));
    ListModel* list = lines_.For(明细表, ledger::StocktakeLinesSpec);
    if (ShowList(明细表, list, ledger::StocktakeLinesCondition(RecordIdValue(id)), kLastShown))
        ShowTotals(明细表, list, kFirstShown, {ledger::kTakeDifference, ledger::kTakeValue});
}

void StocktakeRecordsWindow::OnExport(RecordGrid* grid) {
    ExportGridToExcel(grid, grid == 记录表 ? kBookedCostColumns : kTakeCostColumns);
}

StocktakeRecordsWindow* OpenStocktakeRecordsWindow(QWidget* owner) {
    QPointer<StocktakeRecordsWindow>& window = OpenRecords();
    if (!window) window = new StocktakeRecordsWindow(owner);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
