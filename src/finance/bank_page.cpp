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
};

BankPage& Page() {
    static BankPage page;
    return page;
}

const QString kDetail = QStringLiteral("细节");
const QString kSummary = QStringLiteral("汇总");
const QString kAll = QStringLiteral("select * from bank");
const QString kBalances = QStringLiteral(
    "select 银行,账户,sum(金额) as 总计 from bank group by 银行,账户 order by 银行,账户");
const QString kBankNames =
    QStringLiteral("select max(银行) as exp from bank group by 银行 order by 银行");

const QStringList kDetailFields = {
    QStringLiteral("ID"),   QStringLiteral("银行"), QStringLiteral("账户"), QStringLiteral("方式"),
    QStringLiteral("金额"), QStringLiteral("日期"), QStringLiteral("备注")};
const QStringList kSummaryFields = {QStringLiteral("银行"), QStringLiteral("账户"),
                                    QStringLiteral("总计")};

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

// After the fill's rows: the list colours, the beepview sort by the amount column, the
// empty last row and the grid lines.
void FinishFill(RecordGrid* g, int amountColumn) {
    SharedRecordSet().Close();
    ApplyListColours(g);
    if (SetupFlag(SetupKey::kBeepView)) {
        g->Column(amountColumn).Sort(RecordGrid::cellAscending);
        g->Column(amountColumn).SetUserSortIndicator(RecordGrid::cellSortIndicatorAscending);
    }
    g->AddItem(QString());
    ApplyGridLines(g, 1, 1, g->Rows() - 1, g->Cols() - 1);
    FinishListFill(g);
}

void ShowSummary() {
    FillBankSummaryGrid(kBalances);  // lays the summary columns out once the read succeeded
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
    FillBankGrid(kAll);
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
    if (text.isEmpty()) return FillBankGrid(kAll);
    FillBankGrid(kAll + QStringLiteral(" where 银行 like ?"),
                 {QStringLiteral("%") + text + QStringLiteral("%")});
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
             FillBankGrid(kAll + QStringLiteral(" where 日期>=? and 日期<=?"),
                          {Page().存款日期框1->date(), Page().存款日期框2->date()});
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
    grid->setGeometry(0, 0, width, height);
    grid->show();
    p.grid = grid;
    QObject::connect(grid, &RecordGrid::MouseUp, grid,
                     [](int button, int, int x, int y) { OnMouseUp(button, x, y); });
    QObject::connect(grid, &RecordGrid::DblClick, grid, OnDoubleClick);
    BuildMenu(grid);
    RegisterListFill(ListId::Bank, [](const QString& sql) { FillBankGrid(sql); });
    LayOutDetail();
    SetupBankDetailGrid();
}

void SetupBankDetailGrid() {
    if (!BankGrid()) return;
    FillBankGrid(kAll);  // lays the detail columns out once the read succeeded
    FillComboFromQuery(Page().存款名称查询框, kBankNames);
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

void FillBankGrid(const QString& sql, const QVariantList& values) {
    RecordGrid* g = BankGrid();
    if (!g) return;
    // Read before the layout changes: a failed read keeps the rows in the columns they fit. In
    // the order the entries were made, on a server too, where a changed row moves in the table.
    if (!OpenSharedQuery(sql + QStringLiteral(" order by ID"), values)) {
        const QString cause = SharedRecordSet().GetLastError();
        SharedRecordSet().Close();
        return ReportListReadFailure(SharedConnectionBusy(), cause);
    }
    // The detail rows need the detail columns.
    if (Page().mode != kDetail) LayOutDetail();
    BeginListFill(g, 1);
    const qint64 outColor = SetupColor(SetupKey::kOutColor);
    DbRecordSet& records = SharedRecordSet();
    const QList<int> fields = FieldIndexes(records, kDetailFields);
    const int count = records.GetRecordCount();
    CellRow cells;
    for (int r = 0; r < count; ++r, records.MoveNext()) {
        cells.Clear();
        for (int f = 0; f < kDetailFields.size(); ++f)
            AddListCell(fields[f] >= 0 ? records.GetFieldByIndex(fields[f]) : QVariant(), &cells);
        g->AddRow(cells);
        const QStringView kind = cells.Text(3);
        const int row = g->Rows() - 1;
        if (kind == QStringLiteral("取款") || kind == QStringLiteral("转出"))
            g->Range(row, 4, row, 5).SetForeColor(outColor);
    }
    FinishFill(g, 5);
}

void FillBankSummaryGrid(const QString& sql) {
    RecordGrid* g = BankGrid();
    if (!g) return;
    if (!OpenSharedQuery(sql)) {
        const QString cause = SharedRecordSet().GetLastError();
        SharedRecordSet().Close();
        return ReportListReadFailure(SharedConnectionBusy(), cause);
    }
    if (Page().mode != kSummary) SetupBankSummaryGrid();
    BeginListFill(g, 1);
    const qint64 outColor = SetupColor(SetupKey::kOutColor);
    DbRecordSet& records = SharedRecordSet();
    const QList<int> fields = FieldIndexes(records, kSummaryFields);
    const int count = records.GetRecordCount();
    CellRow cells;
    for (int r = 0; r < count; ++r, records.MoveNext()) {
        cells.Clear();
        for (int f = 0; f < kSummaryFields.size(); ++f)
            AddListCell(fields[f] >= 0 ? records.GetFieldByIndex(fields[f]) : QVariant(), &cells);
        const double balance =
            fields[2] >= 0 ? VariantNumber(records.GetFieldByIndex(fields[2])) : 0.0;
        g->AddRow(cells);
        // An overdrawn account stands out like a withdrawal.
        const int row = g->Rows() - 1;
        if (balance < -kTolerance) g->Range(row, 3, row, 3).SetForeColor(outColor);
    }
    FinishFill(g, 3);
}
