#include "finance/bank_page.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>

#include "common/cell_row.h"
#include "common/number_text.h"
#include "common/session.h"
#include "common/settings.h"
#include "finance/bank_entry_window.h"
#include "finance/finance_ui.h"
#include "ledger/bank_list.h"
#include "lists/list_model.h"
#include "platform/combo_fill.h"
#include "platform/list_refresh.h"
#include "platform/list_style.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "stats/excel_export.h"
#include "store/shared_db.h"

namespace {

struct BankPage {
    QPointer<QFrame> 存款框架;
    QPointer<RecordGrid> grid;
    QPointer<QMenu> 存款快捷菜单;
    QPointer<QAction> changeItem;
    QPointer<QAction> deleteItem;
    QPointer<QComboBox> 存款名称查询框;
    QPointer<QDateEdit> 存款日期框1;
    QPointer<QDateEdit> 存款日期框2;
    QString mode = QStringLiteral("细节");
    PageList list;
    ledger::BankFilter filter;
};

BankPage& Page() {
    static BankPage page;
    return page;
}

const QString kDetail = QStringLiteral("细节");
const QString kSummary = QStringLiteral("汇总");

// Columns 1 on, as fractions of the host width, in each layout.
const QList<double> kDetailWidths = {0, 0.1, 0.2, 0.1, 0.2, 0.2, 0.2};
const QList<double> kSummaryWidths = {0.2, 0.4, 0.4};

void SetColumnWidths(int firstColumnWidth) {
    RecordGrid* g = BankGrid();
    const int host = Page().存款框架 ? Page().存款框架->width() : g->width();
    const QList<double>& fractions = Page().mode == kSummary ? kSummaryWidths : kDetailWidths;
    g->Column(0).SetWidth(firstColumnWidth);
    for (int c = 1; c <= fractions.size(); ++c)
        g->Column(c).SetWidth(ColumnWidth(fractions[c - 1], host));
}

void FinishLayout(RecordGrid* g) {
    SetColumnWidths(0);
    g->SetReadOnly(true);
    g->SetAutoRedraw(true);
    g->Refresh();
}

void LayOutDetail() {
    RecordGrid* g = BankGrid();
    SetListLook(g, 8);
    g->SetExtendLastCol(false);
    SetHeaderTexts(g, {QString(), QString(), QStringLiteral("银行"), QStringLiteral("账户"),
                       QStringLiteral("方式"), QStringLiteral("金额"), QStringLiteral("日期"),
                       QStringLiteral("备注")});
    for (int c : {2, 3, 4}) g->Column(c).SetAlignment(RecordGrid::cellCenterCenter);
    for (int c : {5, 6, 7}) g->Column(c).SetAlignment(RecordGrid::cellRightCenter);
    g->Column(5).SetMask(RecordGrid::cellValue);
    g->Column(5).SetDecimalLength(1);
    Page().mode = kDetail;
    FinishLayout(g);
}

// By the setting, the rows ordered by the amount column, smallest first.
void SortByAmount(RecordGrid* g, int amountColumn) {
    if (!SetupFlag(SetupKey::kBeepView)) return;
    g->Column(amountColumn).Sort(RecordGrid::cellAscending);
    g->Column(amountColumn).SetUserSortIndicator(RecordGrid::cellSortIndicatorAscending);
}

void ShowSummary() {
    FillBankSummaryGrid();  // lays the summary columns out once the read succeeded
}

ListModel* BankList() {
    return Page().list.For(Page().grid, ledger::BankListSpec);
}

BankEntryRow RowAt(int row) {
    RecordGrid* g = BankGrid();
    return BankEntryRow{g->CellText(row, 1), g->CellText(row, 4), g->CellText(row, 2),
                        g->CellText(row, 3), g->CellText(row, 5), g->CellText(row, 6),
                        g->CellText(row, 7)};
}

QWidget* EntryWindowParent() {
    return Page().存款框架 ? Page().存款框架->window() : nullptr;
}

void OpenChangeForSelection() {
    const Session& session = CurrentSession();
    if (IsRecordId(session.selectedId))
        OpenBankEntryChange(EntryWindowParent(), RowAt(session.selectedRow));
}

void DeleteSelectedEntry() {
    if (!DeleteSelectedRecord(BankGrid(), ledger::DeleteBankEntry, QStringLiteral("删除存取失败")))
        return;
    FillBankGrid();
}

void BuildMenu(RecordGrid* grid) {
    BankPage& p = Page();
    auto* menu = new QMenu(grid);
    menu->setObjectName(QStringLiteral("存款快捷菜单"));
    QObject::connect(menu->addAction(QStringLiteral("新建存取")), &QAction::triggered, menu,
                     [] { OpenNewBankEntry(EntryWindowParent()); });
    p.changeItem = menu->addAction(QStringLiteral("修改存取"));
    QObject::connect(p.changeItem, &QAction::triggered, menu, OpenChangeForSelection);
    p.deleteItem = menu->addAction(QStringLiteral("删除存取"));
    QObject::connect(p.deleteItem, &QAction::triggered, menu, DeleteSelectedEntry);
    menu->addSeparator();
    QObject::connect(menu->addAction(QStringLiteral("存取细节")), &QAction::triggered, menu,
                     SetupBankDetailGrid);
    QObject::connect(menu->addAction(QStringLiteral("存取汇总")), &QAction::triggered, menu,
                     ShowSummary);
    menu->addSeparator();
    QObject::connect(menu->addAction(QStringLiteral("输出存款Excel...")), &QAction::triggered, menu,
                     [] { ExportGridToExcel(BankGrid()); });
    p.存款快捷菜单 = menu;
}

// The menu opens in the detail list only; the change and delete items need a record row.
void OnMouseUp(int button, int x, int y) {
    if (button != RecordGrid::kRightButton) return;
    RecordGrid* g = BankGrid();
    const auto [row, col] = SelectClickedCell(g, x, y);
    Session& session = CurrentSession();
    if (row < 1 || col < 1) return;
    session.selectedId = g->CellText(row, 1);
    if (Page().mode != kDetail) return;
    const bool record = IsRecordId(session.selectedId);
    Page().changeItem->setVisible(record);
    Page().deleteItem->setVisible(record);
    Page().存款快捷菜单->popup(g->mapToGlobal(QPoint(x, y)));
}

void OnDoubleClick() {
    if (Page().mode != kDetail) return;
    RecordGrid* g = BankGrid();
    const int row = g->MouseRow(), col = g->MouseCol();
    Session& session = CurrentSession();
    session.selectedId.clear();
    session.selectedRow = row;
    if (row < 1 || col < 1) return;
    session.selectedId = g->CellText(row, 1);
    OpenChangeForSelection();
}

void FilterByBank(const QString& text) {
    ledger::BankFilter filter;
    if (!text.isEmpty()) {
        filter.kind = ledger::BankFilter::Kind::BankContains;
        filter.text = text;
    }
    FillBankGrid(filter);
}

}  // namespace

RecordGrid* BankGrid() {
    return Page().grid.data();
}
QMenu* BankMenu() {
    return Page().存款快捷菜单.data();
}
QString BankListMode() {
    return Page().mode;
}

void ForgetBankPage() {
    CloseBankEntryWindows();
    UnregisterListFill(ListId::Bank);
    Page() = BankPage{};
}

void BuildBankPage(QFrame* 存款框架, QFrame* 存款图片框) {
    BankPage& p = Page();
    p.存款框架 = 存款框架;
    const int top = 9;
    PlaceLabel(存款图片框, QStringLiteral("银行查询："), 8, top, 62, 22);
    p.存款名称查询框 =
        Place<QComboBox>(存款图片框, QStringLiteral("存款名称查询框"), 70, top, 130, 22);
    p.存款名称查询框->setEditable(true);
    QObject::connect(p.存款名称查询框, &QComboBox::activated, 存款图片框,
                     [] { FilterByBank(Page().存款名称查询框->currentText()); });
    QObject::connect(p.存款名称查询框->lineEdit(), &QLineEdit::textEdited, 存款图片框,
                     FilterByBank);
    PlaceLabel(存款图片框, QStringLiteral("日期查询："), 212, top, 62, 22);
    p.存款日期框1 = PlaceDateBox(存款图片框, QStringLiteral("存款日期框1"), 274, top, 110, 22);
    PlaceLabel(存款图片框, QStringLiteral("--至--"), 387, top, 36, 22);
    p.存款日期框2 = PlaceDateBox(存款图片框, QStringLiteral("存款日期框2"), 424, top, 110, 22);

    const struct {
        const char16_t* name;
        const char16_t* text;
        int x, w;
        void (*action)();
    } buttons[] = {
        {u"存款查询按钮", u"日期查询", 544, 80,
         [] {
             ledger::BankFilter dates;
             dates.kind = ledger::BankFilter::Kind::Between;
             dates.from = Page().存款日期框1->date();
             dates.to = Page().存款日期框2->date();
             FillBankGrid(dates);
         }},
        {u"存款细节记录按钮", u"存 取 细 节", 634, 90, SetupBankDetailGrid},
        {u"存款全部记录按钮", u"存 取 汇 总", 734, 90, ShowSummary},
    };
    for (const auto& b : buttons) {
        auto* button =
            Place<QPushButton>(存款图片框, QString::fromUtf16(b.name), b.x, top, b.w, 22);
        button->setText(QString::fromUtf16(b.text));
        QObject::connect(button, &QPushButton::clicked, 存款图片框, b.action);
    }
}

void CreateBankGrid(int width, int height) {
    BankPage& p = Page();
    if (p.grid || !p.存款框架) return;
    auto* grid = new RecordGrid(p.存款框架);
    grid->setObjectName(QStringLiteral("BankGrid"));
    grid->SetListName(QStringLiteral("银行存款"));
    grid->setGeometry(0, 0, width, height);
    grid->show();
    p.grid = grid;
    QObject::connect(grid, &RecordGrid::MouseUp, grid,
                     [](int button, int, int x, int y) { OnMouseUp(button, x, y); });
    QObject::connect(grid, &RecordGrid::DblClick, grid, OnDoubleClick);
    BuildMenu(grid);
    RegisterListFill(ListId::Bank, [] { FillBankGrid(); });
    LayOutDetail();
    SetupBankDetailGrid();
}

void SetupBankDetailGrid() {
    if (!BankGrid()) return;
    FillBankGrid();  // lays the detail columns out once the read succeeded
    QStringList names;
    QString error;
    ledger::ReadBankValues(SharedConnection(), ledger::kBankName, &names, &error);
    FillCombo(Page().存款名称查询框, names);
}

void SetupBankSummaryGrid() {
    RecordGrid* g = BankGrid();
    if (!g) return;
    SetListLook(g, 4);
    g->SetExtendLastCol(false);
    SetHeaderTexts(
        g, {QString(), QStringLiteral("银行"), QStringLiteral("账户"), QStringLiteral("金额")});
    for (int c : {1, 2}) g->Column(c).SetAlignment(RecordGrid::cellCenterCenter);
    g->Column(3).SetAlignment(RecordGrid::cellLeftCenter);
    g->Column(3).SetMask(RecordGrid::cellValue);
    g->Column(3).SetDecimalLength(1);
    Page().mode = kSummary;
    FinishLayout(g);
}

void LayOutBankColumns() {
    if (BankGrid()) SetColumnWidths(20);
}

void FillBankGrid(const ledger::BankFilter& filter) {
    RecordGrid* g = BankGrid();
    if (!g) return;
    EnsureDatabaseOpen();
    ListModel* list = BankList();
    const qint64 outColor = SetupColor(SetupKey::kOutColor);
    list->SetColour([outColor](const CellRow& row) {
        return ledger::IsBankOutflow(row.Text(ledger::kBankKind)) ? outColor : qint64(-1);
    });
    // Money going out shows its kind and amount in its colour.
    list->SetColouredColumns(ledger::kBankKind, ledger::kBankAmount);
    const bool shown = Page().mode == kDetail && g->RowSource() == list;
    // Read before the layout changes: a failed read keeps the rows in the columns they fit.
    if (!list->Show(ledger::BankCondition(filter)))
        return ReportListReadFailure(list->Busy(), list->Error());
    if (!shown) {
        LayOutDetail();
        g->SetRows(1);
        g->AddItem(QString());  // an empty row below the entries
    }
    g->SetRowSource(list);
    ApplyListColours(g);
    ApplySourceGridLines(g, 1, ledger::kBankColumns);
    const int last = g->Rows() - 1;
    ApplyGridLines(g, last, 1, last, ledger::kBankColumns);
    SortByAmount(g, 5);
    Page().filter = filter;
    g->Refresh();
}

void FillBankSummaryGrid() {
    RecordGrid* g = BankGrid();
    if (!g) return;
    EnsureDatabaseOpen();
    std::vector<ledger::BankBalance> balances;
    QString error;
    if (!ledger::ReadBankBalances(SharedConnection(), &balances, &error))
        return ReportListReadFailure(SharedConnectionBusy(), error);
    g->SetRowSource(nullptr);
    if (Page().mode != kSummary) SetupBankSummaryGrid();
    BeginListFill(g, 1);
    const qint64 outColor = SetupColor(SetupKey::kOutColor);
    CellRow cells;
    for (const ledger::BankBalance& b : balances) {
        cells.Clear();
        cells.AddText(b.bank);
        cells.AddText(b.account);
        cells.AddNumber(static_cast<double>(b.fen) / 100);
        g->AddRow(cells);
        // An overdrawn account stands out like a withdrawal.
        const int row = g->Rows() - 1;
        if (b.fen < 0) g->Range(row, 3, row, 3).SetForeColor(outColor);
    }
    ApplyListColours(g);
    SortByAmount(g, 3);
    g->AddItem(QString());
    ApplyGridLines(g, 1, 1, g->Rows() - 1, g->Cols() - 1);
    FinishListFill(g);
}
