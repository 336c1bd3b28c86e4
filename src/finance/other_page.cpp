#include "finance/other_page.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <vector>

#include "common/cell_row.h"
#include "common/date_text.h"
#include "common/number_text.h"
#include "common/session.h"
#include "common/settings.h"
#include "finance/finance_ui.h"
#include "ledger/other.h"
#include "ledger/other_list.h"
#include "lists/list_model.h"
#include "platform/combo_fill.h"
#include "platform/list_refresh.h"
#include "platform/list_style.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "platform/till_keeper.h"
#include "stats/excel_export.h"
#include "store/shared_db.h"

namespace {

// One entry panel; the objectNames carry the panel's type in front ("收入编号框").
struct EntryControls {
    QPointer<QLineEdit> 编号框;
    QPointer<QComboBox> 项目框;
    QPointer<QLineEdit> 单价框;
    QPointer<QLineEdit> 数量框;
    QPointer<QLineEdit> 金额框;
    QPointer<QDateEdit> 日期框;
    QPointer<QComboBox> 备注框;
};

struct OtherPage {
    QPointer<QFrame> 其他收支框架;
    QPointer<RecordGrid> grid;
    QPointer<QMenu> 其他快捷菜单;
    QPointer<QAction> deleteItem;
    EntryControls 收入;
    EntryControls 支出;
    QPointer<QComboBox> 其他类型查询框;
    QPointer<QComboBox> 其他项目查询框;
    QPointer<QComboBox> 其他备注查询框;
    QPointer<QLineEdit> 其他编号查询框;
    QPointer<QDateEdit> 其他日期框1;
    QPointer<QDateEdit> 其他日期框2;
    PageList list;
    ledger::OtherFilter filter;
};

OtherPage& Page() {
    static OtherPage page;
    return page;
}

const QString kIncome = QStringLiteral("收入");
const QString kExpense = QStringLiteral("支出");

// Columns 2 to 9 as fractions of the host width: when the grid is created, and after a
// resize of the main window.
const double kCreatedWidths[] = {0.04, 0.11, 0.17, 0.065, 0.15, 0.17, 0.11, 0.06};
const double kResizedWidths[] = {0.04, 0.11, 0.11, 0.06, 0.08, 0.1, 0.1, 0.16};

EntryControls& Controls(EntryKind kind) {
    return kind == EntryKind::Income ? Page().收入 : Page().支出;
}
QString TypeText(EntryKind kind) {
    return kind == EntryKind::Income ? kIncome : kExpense;
}

void SetColumnWidths(const double (&fractions)[8]) {
    RecordGrid* g = OtherGrid();
    const int host = Page().其他收支框架 ? Page().其他收支框架->width() : g->width();
    g->Column(0).SetWidth(20);
    g->Column(1).SetWidth(0);
    for (int c = 2; c <= 9; ++c) g->Column(c).SetWidth(ColumnWidth(fractions[c - 2], host));
}

void RebuildPickLists() {
    OtherPage& p = Page();
    const std::pair<int, std::vector<QComboBox*>> lists[] = {
        {ledger::kOtherItem, {p.收入.项目框, p.支出.项目框, p.其他项目查询框}},
        {ledger::kOtherRemark, {p.支出.备注框, p.收入.备注框, p.其他备注查询框}}};
    for (const auto& [column, boxes] : lists) {
        QStringList values;
        QString error;
        ledger::ReadOtherValues(SharedConnection(), column, &values, &error);
        for (QComboBox* box : boxes) FillCombo(box, values);
    }
}

void RecordEntry(EntryKind kind) {
    EntryControls& f = Controls(kind);
    const QString type = TypeText(kind);
    QWidget* window = f.编号框->window();
    if (f.项目框->currentText().isEmpty())
        return AskToFillIn(window, type + QStringLiteral("项目必须填写"), f.项目框);
    if (f.编号框->text().isEmpty())
        return AskToFillIn(window, type + QStringLiteral("编号必须填写"), f.编号框);
    if (f.金额框->text().isEmpty())
        return AskToFillIn(window, type + QStringLiteral("金额必须填写"), f.金额框);

    ledger::OtherEntry entry;
    entry.类型 = type;
    entry.编号 = f.编号框->text();
    entry.项目 = f.项目框->currentText();
    entry.数量 = f.数量框->text();
    entry.单价 = TextToNumber(f.单价框->text());
    entry.金额 = TextToNumber(f.金额框->text());
    entry.日期 = f.日期框->date();
    entry.备注 = f.备注框->currentText();
    entry.user = CurrentSession().userName;
    entry.tillName = TillName();
    EnsureDatabaseOpen();
    const LedgerResult result = ledger::RecordOtherEntry(SharedConnection(), entry);
    if (result.outcome == LedgerResult::FieldRefused) {
        ShowMessage(RefusedFieldText(result), 2);
        return;
    }
    if (!result.IsDone()) {
        ShowMessage(FailureText(result, type + QStringLiteral("记录失败")), 2);
        return;
    }
    f.项目框->clearEditText();
    f.单价框->clear();
    f.数量框->clear();
    f.金额框->clear();
    f.备注框->clearEditText();
    RebuildPickLists();
    f.编号框->setText(NewEntryNumber(kind));
    ShowDone(type + QStringLiteral("记录完成"));
    FillOtherGrid();
}

// The amount follows quantity x unit price; typing in the amount box changes neither.
void UpdateAmount(EntryKind kind) {
    EntryControls& f = Controls(kind);
    f.金额框->setText(NumberText(TextToNumber(f.数量框->text()) * TextToNumber(f.单价框->text())));
}

void BuildEntryPanel(QFrame* panel, EntryKind kind) {
    EntryControls& f = Controls(kind);
    const QString type = TypeText(kind);
    QLabel* title = PlaceLabel(panel, type, 0, 6, panel->width(), 22);
    title->setAlignment(Qt::AlignCenter);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);

    const QString labels[] = {QStringLiteral("编    号："),    type + QStringLiteral("项目："),
                              type + QStringLiteral("单价："), type + QStringLiteral("数量："),
                              type + QStringLiteral("金额："), type + QStringLiteral("日期："),
                              QStringLiteral("备    注：")};
    // Both panels fit one above the other beside the list at the window's first size.
    auto row = [](int i) { return 32 + 28 * i; };
    for (int i = 0; i < 7; ++i) PlaceLabel(panel, labels[i], 8, row(i), 72, 22);
    f.编号框 = Place<QLineEdit>(panel, type + QStringLiteral("编号框"), 80, row(0), 122, 22);
    f.项目框 = Place<QComboBox>(panel, type + QStringLiteral("项目框"), 80, row(1), 122, 22);
    f.单价框 = Place<QLineEdit>(panel, type + QStringLiteral("单价框"), 80, row(2), 122, 22);
    f.数量框 = Place<QLineEdit>(panel, type + QStringLiteral("数量框"), 80, row(3), 122, 22);
    f.金额框 = Place<QLineEdit>(panel, type + QStringLiteral("金额框"), 80, row(4), 122, 22);
    f.日期框 = PlaceDateBox(panel, type + QStringLiteral("日期框"), 80, row(5), 122, 22);
    f.备注框 = Place<QComboBox>(panel, type + QStringLiteral("备注框"), 80, row(6), 122, 22);
    f.项目框->setEditable(true);
    f.备注框->setEditable(true);
    auto* 按钮 = Place<QPushButton>(
        panel, kind == EntryKind::Income ? QStringLiteral("按钮1") : QStringLiteral("按钮3"), 55,
        row(7) + 4, 100, 26);
    按钮->setText(QStringLiteral("记录") + type);
    QObject::connect(f.单价框, &QLineEdit::textChanged, panel, [kind] { UpdateAmount(kind); });
    QObject::connect(f.数量框, &QLineEdit::textChanged, panel, [kind] { UpdateAmount(kind); });
    QObject::connect(按钮, &QPushButton::clicked, panel, [kind] { RecordEntry(kind); });
}

// A filter by one text column; the typed text is a LIKE pattern inside "%...%".
void FilterBy(int column, const QString& text) {
    ledger::OtherFilter filter;
    if (!text.isEmpty()) {
        filter.kind = ledger::OtherFilter::Kind::Contains;
        filter.column = column;
        filter.text = text;
    }
    FillOtherGrid(filter);
}

ledger::OtherFilter Dated(ledger::OtherFilter::Kind kind, QDate from = {}, QDate to = {}) {
    ledger::OtherFilter filter;
    filter.kind = kind;
    filter.from = from;
    filter.to = to;
    return filter;
}

// A combo box of the query bar filters when an item is chosen or its text is edited.
void FilterOnChoice(QComboBox* box, int column) {
    box->setEditable(true);
    QObject::connect(box, &QComboBox::activated, box,
                     [box, column] { FilterBy(column, box->currentText()); });
    QObject::connect(box->lineEdit(), &QLineEdit::textEdited, box,
                     [column](const QString& text) { FilterBy(column, text); });
}

void ClearConditions() {
    OtherPage& p = Page();
    p.其他类型查询框->setCurrentIndex(-1);
    p.其他类型查询框->clearEditText();
    p.其他项目查询框->clearEditText();
    p.其他备注查询框->clearEditText();
    {
        const QSignalBlocker quiet(p.其他编号查询框);
        p.其他编号查询框->clear();
    }
    FillOtherGrid();
}

void BuildQueryBar(QFrame* bar) {
    OtherPage& p = Page();
    const int top = 8, bottom = 38;
    PlaceLabel(bar, QStringLiteral("类型查询："), 6, top, 62, 22);
    p.其他类型查询框 = Place<QComboBox>(bar, QStringLiteral("其他类型查询框"), 68, top, 80, 22);
    p.其他类型查询框->addItems({kIncome, kExpense});
    FilterOnChoice(p.其他类型查询框, ledger::kOtherType);
    p.其他类型查询框->setCurrentIndex(-1);
    PlaceLabel(bar, QStringLiteral("项目查询："), 156, top, 62, 22);
    p.其他项目查询框 = Place<QComboBox>(bar, QStringLiteral("其他项目查询框"), 218, top, 110, 22);
    FilterOnChoice(p.其他项目查询框, ledger::kOtherItem);
    PlaceLabel(bar, QStringLiteral("日期查询："), 336, top, 62, 22);
    p.其他日期框1 = PlaceDateBox(bar, QStringLiteral("其他日期框1"), 398, top, 105, 22);
    PlaceLabel(bar, QStringLiteral("--至--"), 506, top, 36, 22);
    p.其他日期框2 = PlaceDateBox(bar, QStringLiteral("其他日期框2"), 543, top, 105, 22);
    auto* 其他查询按钮 = Place<QPushButton>(bar, QStringLiteral("其他查询按钮"), 656, top, 80, 22);
    其他查询按钮->setText(QStringLiteral("日期查询"));
    QObject::connect(其他查询按钮, &QPushButton::clicked, bar, [] {
        FillOtherGrid(Dated(ledger::OtherFilter::Kind::Between, Page().其他日期框1->date(),
                            Page().其他日期框2->date()));
    });

    PlaceLabel(bar, QStringLiteral("编号查询："), 6, bottom, 62, 22);
    p.其他编号查询框 = Place<QLineEdit>(bar, QStringLiteral("其他编号查询框"), 68, bottom, 80, 22);
    QObject::connect(p.其他编号查询框, &QLineEdit::textChanged, bar, [](const QString& text) {
        FilterBy(ledger::kOtherNumber, text);
        Page().其他编号查询框->setFocus();
    });
    PlaceLabel(bar, QStringLiteral("备注查询："), 156, bottom, 62, 22);
    p.其他备注查询框 =
        Place<QComboBox>(bar, QStringLiteral("其他备注查询框"), 218, bottom, 110, 22);
    FilterOnChoice(p.其他备注查询框, ledger::kOtherRemark);

    const struct {
        const char16_t* name;
        const char16_t* text;
        int x, w;
        void (*action)();
    } buttons[] = {
        {u"其他全部记录按钮", u"显示全部记录", 336, 90, [] { FillOtherGrid(); }},
        {u"其他显示当天按钮", u"显示当天", 432, 70,
         [] { FillOtherGrid(Dated(ledger::OtherFilter::Kind::OnDay, CurrentDateTime().date())); }},
        {u"其他显示本月按钮", u"显示本月", 508, 70,
         [] { FillOtherGrid(Dated(ledger::OtherFilter::Kind::ThisMonth)); }},
        {u"清空条件按钮2", u"清空条件", 584, 70, ClearConditions},
        {u"按钮7", u"导出Excel", 660, 76, [] { ExportWholeList(OtherGrid()); }},
    };
    for (const auto& b : buttons) {
        auto* button = Place<QPushButton>(bar, QString::fromUtf16(b.name), b.x, bottom, b.w, 22);
        button->setText(QString::fromUtf16(b.text));
        QObject::connect(button, &QPushButton::clicked, bar, b.action);
    }
}

void DeleteSelectedEntry() {
    if (!DeleteSelectedRecord(OtherGrid(), ledger::DeleteOtherEntry,
                              QStringLiteral("删除数据失败")))
        return;
    // Confirmed or not, the list comes back whole: a filter of the query bar is dropped.
    FillOtherGrid();
}

void BuildMenu(RecordGrid* grid) {
    auto* menu = new QMenu(grid);
    menu->setObjectName(QStringLiteral("其他快捷菜单"));
    Page().deleteItem = menu->addAction(QStringLiteral("删 除 数 据"));
    QObject::connect(Page().deleteItem, &QAction::triggered, menu, DeleteSelectedEntry);
    QObject::connect(menu->addAction(QStringLiteral("输出Excel..")), &QAction::triggered, menu,
                     [] { ExportGridToExcel(OtherGrid()); });
    Page().其他快捷菜单 = menu;
}

// A right click on any entry (below the one header row) opens the menu.
void OnMouseUp(int button, int x, int y) {
    if (button != RecordGrid::kRightButton) return;
    RecordGrid* g = OtherGrid();
    const auto [row, col] = SelectClickedCell(g, x, y);
    Session& session = CurrentSession();
    if (row < 1 || col < 2) return;
    session.selectedId = g->CellText(row, 1);
    if (!IsRecordId(session.selectedId)) return;
    Page().deleteItem->setVisible(IsSuperAdmin());
    Page().其他快捷菜单->popup(g->mapToGlobal(QPoint(x, y)));
}

}  // namespace

RecordGrid* OtherGrid() {
    return Page().grid.data();
}
QMenu* OtherMenu() {
    return Page().其他快捷菜单.data();
}

void ForgetOtherPage() {
    UnregisterListFill(ListId::Other);
    Page() = OtherPage{};
}

QString NewEntryNumber(EntryKind kind) {
    const QDateTime now = CurrentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    const int last[2] = {t.minute(), t.second()};
    const bool swap = kind == EntryKind::Expense;
    return QStringLiteral("%1%2%3%4%5%6")
        .arg(d.year())
        .arg(d.month())
        .arg(d.day())
        .arg(t.hour())
        .arg(last[swap ? 1 : 0])
        .arg(last[swap ? 0 : 1]);
}

void BuildOtherPage(QFrame* 其他收支框架, QFrame* 其他图片框, QFrame* 其他图片库右一,
                    QFrame* 其他图片库右二) {
    Page().其他收支框架 = 其他收支框架;
    BuildQueryBar(其他图片框);
    BuildEntryPanel(其他图片库右一, EntryKind::Income);
    BuildEntryPanel(其他图片库右二, EntryKind::Expense);
}

void CreateOtherGrid(int width, int height) {
    OtherPage& p = Page();
    if (p.grid || !p.其他收支框架) return;
    auto* grid = new RecordGrid(p.其他收支框架);
    grid->setObjectName(QStringLiteral("OtherGrid"));
    grid->SetListName(QStringLiteral("其他收支"));
    grid->setGeometry(0, 0, width, height);
    grid->show();
    p.grid = grid;
    QObject::connect(grid, &RecordGrid::MouseUp, grid,
                     [](int button, int, int x, int y) { OnMouseUp(button, x, y); });
    QObject::connect(grid, &RecordGrid::OwnerDrawCell, grid,
                     [grid](int row, int col, QPainter& painter, const QRect& rect) {
                         grid->DrawRowMarker(row, col, painter, rect,
                                             RecordGrid::RowMarker::Record);
                     });
    BuildMenu(grid);
    RegisterListFill(ListId::Other, [] { FillOtherGrid(); });
    RegisterListRowUpdate(ListId::Other, UpdateOtherRow);
    SetupOtherGrid();
}

void SetupOtherGrid() {
    RecordGrid* g = OtherGrid();
    if (!g) return;
    SetListLook(g, 10);
    g->SetExtendLastCol(true);
    SetHeaderTexts(g, {QString(), QString(), QStringLiteral("类型"), QStringLiteral("编号"),
                       QStringLiteral("名称"), QStringLiteral("数量"), QStringLiteral("单价"),
                       QStringLiteral("金额"), QStringLiteral("项目日期"), QStringLiteral("备注")});
    g->Column(2).SetAlignment(RecordGrid::cellCenterCenter);
    for (int c = 5; c <= 7; ++c) {
        g->Column(c).SetAlignment(RecordGrid::cellRightCenter);
        g->Column(c).SetMask(RecordGrid::cellValue);
        g->Column(c).SetDecimalLength(1);
    }
    SetColumnWidths(kCreatedWidths);
    g->SetReadOnly(true);
    g->SetRows(1);
    g->AddItem(QString());  // the totals row, below the rows of the list
    g->SetAutoRedraw(true);
    g->Refresh();
    FillOtherGrid();
    RebuildPickLists();
    Page().收入.编号框->setText(NewEntryNumber(EntryKind::Income));
    Page().支出.编号框->setText(NewEntryNumber(EntryKind::Expense));
}

void LayOutOtherColumns() {
    if (OtherGrid()) SetColumnWidths(kResizedWidths);
}

namespace {

ListModel* OtherList() {
    return Page().list.For(Page().grid, ledger::OtherListSpec);
}

// Income, expense and entries of neither type, each summed exactly.
void ShowOtherTotals(RecordGrid* g) {
    const ListModel& list = *Page().list.model;
    const auto& units = list.Totals().units;
    const qint64 neither =
        units[ledger::kOtherAmount] - units[ledger::kOtherIncome] - units[ledger::kOtherExpense];
    const int last = g->Rows() - 1;
    const QString yuan = QStringLiteral("元");
    g->SetCellText(
        last, 4, QStringLiteral("总收入：") + NumberText(list.Total(ledger::kOtherIncome)) + yuan);
    g->SetCellText(
        last, 7, QStringLiteral("总支出：") + NumberText(list.Total(ledger::kOtherExpense)) + yuan);
    g->SetCellText(last, 9, QStringLiteral("未知数：") + NumberText(neither / 100.0) + yuan);
}

}  // namespace

void FillOtherGrid(const ledger::OtherFilter& filter) {
    RecordGrid* g = OtherGrid();
    if (!g) return;
    EnsureDatabaseOpen();
    ListModel* list = OtherList();
    const qint64 outColor = SetupColor(SetupKey::kOutColor);
    list->SetColour([outColor](const CellRow& row) {
        return row.Text(ledger::kOtherType) == kExpense ? outColor : qint64(-1);
    });
    // An expense shows its quantity, price and amount in the colour of money going out.
    list->SetColouredColumns(ledger::kOtherQuantity, ledger::kOtherAmount);
    g->SetRowSource(list);
    ApplyListColours(g);
    ApplySourceGridLines(g, 1, 9);
    StyleTotalsRow(g, 1, 9);
    if (SetupFlag(SetupKey::kBeepView)) {
        g->Column(7).Sort(RecordGrid::cellAscending);
        g->Column(7).SetUserSortIndicator(RecordGrid::cellSortIndicatorAscending);
    }
    if (!list->Show(ledger::OtherCondition(filter)))
        return ReportListReadFailure(list->Busy(), list->Error());
    Page().filter = filter;
    ShowOtherTotals(g);
    g->Refresh();
}

void UpdateOtherRow(qint64 id) {
    RecordGrid* g = OtherGrid();
    PageList& page = Page().list;
    if (!g || !page.model) return;
    if (!page.model->UpdateRecord(id))
        return ReportListReadFailure(page.model->Busy(), page.model->Error());
    ShowOtherTotals(g);
}
