#include "sales/shift_window.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

#include "common/cell_row.h"
#include "common/date_text.h"
#include "common/number_text.h"
#include "common/session.h"
#include "common/text.h"
#include "lists/list_model.h"
#include "platform/dialogs.h"
#include "platform/placement.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "platform/till_keeper.h"
#include "sales/printer_choice_window.h"
#include "sales/receipt_printer.h"
#include "stats/excel_export.h"
#include "store/shared_db.h"

namespace {

QString Yuan(qint64 fen) {
    return UnitsText(fen, 100);
}

QString ShortDateTime(const QDateTime& value) {
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

// A difference of the drawer as the shop says it: short or over, by how much.
QString DifferenceText(qint64 fen) {
    if (fen == 0) return QStringLiteral("0（账实相符）");
    return (fen < 0 ? QStringLiteral("短款 ") : QStringLiteral("长款 ")) + Yuan(std::llabs(fen));
}

// A typed amount of cash: a number of 0 or more; nullopt for anything else.
std::optional<double> CashTyped(const QString& typed) {
    const QString text = TrimSpaces(typed);
    if (!IsNumberText(text) || TextToNumber(text) < 0) return std::nullopt;
    return TextToNumber(text);
}

bool Print(QWidget* owner, const QPlainTextEdit* report) {
    std::optional<PrinterChoice> choice = ReadPrinterChoice();
    if (!choice) {
        if (!ChoosePrinter(owner)) return false;
        choice = ReadPrinterChoice();
    }
    return choice && PrintReceipt(*choice, report->toPlainText(), report->font());
}

QPlainTextEdit* PlaceReport(QWidget* parent, const QString& name, int x, int y, int w, int h) {
    auto* report = Place<QPlainTextEdit>(parent, name, x, y, w, h);
    report->setReadOnly(true);
    report->setFont(ReceiptFont());
    report->setLineWrapMode(QPlainTextEdit::NoWrap);
    return report;
}

}  // namespace

void BeginShift(QWidget* parent) {
    DbConnection& db = SharedConnection();
    // The till's own copy, while its server is away, keeps sales alone.
    if (!db.IsOpen() || db.SalesOnly()) return;
    const QString user = CurrentSession().userName;
    qint64 open = 0;
    QString error;
    if (!ledger::FindOpenShift(db, TillName(), user, &open, &error))
        return ShowMessage(ReadFailureText(QStringLiteral("读取班次失败"), error), 2);
    if (open != 0) return;  // logged in again before the handover: the shift goes on
    double opening = 0;
    for (;;) {
        const std::optional<QString> typed = Dialogs().InputText(
            parent, QStringLiteral("本班开始。钱箱里备用找零的现金（元），没有请填 0："),
            QStringLiteral("备用金"), QStringLiteral("0"), false);
        if (!typed || TrimSpaces(*typed).isEmpty()) break;  // no float
        if (const std::optional<double> cash = CashTyped(*typed)) {
            opening = *cash;
            break;
        }
        ShowMessage(QStringLiteral("请输入正确的备用金金额，例如 200"), 2);
    }
    const LedgerResult started = ledger::StartShift(db, TillName(), user, opening);
    if (!started.IsDone())
        ShowMessage(FailureText(started, QStringLiteral("本班没有开始，交班时请告诉超级管理员")),
                    2);
}

QStringList ShiftReportLines(const ledger::Shift& shift, bool counted) {
    const ledger::ShiftFigures& f = shift.figures;
    const QString rule(32, u'-');
    QStringList lines = {
        QStringLiteral("            交 班 单"),
        QStringLiteral("收银台：") + shift.tillName,
        QStringLiteral("收银员：") + shift.user,
        QStringLiteral("开始：") + ShortDateTime(shift.start),
        (shift.end.isValid() ? QStringLiteral("结束：") + ShortDateTime(shift.end)
                             : QStringLiteral("截至：") + ShortDateTime(CurrentDateTime())),
        rule,
        QStringLiteral("销售：%1 笔，%2 件").arg(f.sales).arg(UnitsText(f.goodsMilli, 1000)),
        QStringLiteral("销售金额：") + Yuan(f.chargedFen),
        QStringLiteral("其中欠款：") + Yuan(f.debtFen),
        QStringLiteral("客户还款：%1 笔，%2").arg(f.payments).arg(Yuan(f.paymentsFen)),
        QStringLiteral("其他收入：") + Yuan(f.incomeFen),
        QStringLiteral("支出：") + Yuan(f.expenseFen),
        QStringLiteral("本班销售后被删除：%1 笔，%2").arg(f.deletedSales).arg(Yuan(f.deletedFen)),
        QStringLiteral("本班销售后被修改欠款：%1 笔").arg(f.modifiedSales),
        rule,
        QStringLiteral("按付款方式（收入减支出）："),
    };
    const QStringList& methods = ledger::PayMethods();
    for (int m = 0; m < methods.size(); ++m)
        lines << QStringLiteral("  %1：%2").arg(methods[m], Yuan(f.byMethodFen.value(m)));
    lines << rule << QStringLiteral("备用金：") + Yuan(shift.floatFen)
          << QStringLiteral("应有现金：") + Yuan(shift.ExpectedCashFen());
    if (counted)
        lines << QStringLiteral("实点现金：") + Yuan(shift.countedFen)
              << QStringLiteral("差额：") + DifferenceText(shift.DifferenceFen());
    return lines;
}

ShiftWindow::ShiftWindow(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("ShiftWindow"));
    setWindowTitle(QStringLiteral("交班"));
    setFixedSize(400, 560);
    交班报表 = PlaceReport(this, QStringLiteral("交班报表"), 10, 10, 380, 430);
    PlaceLabel(this, QStringLiteral("实点现金："), 10, 452, 80, 26,
               Qt::AlignRight | Qt::AlignVCenter);
    实点现金框 = Place<QLineEdit>(this, QStringLiteral("实点现金框"), 94, 452, 110, 26);
    实点现金框->setPlaceholderText(QStringLiteral("清点钱箱后输入"));
    差额标签 = PlaceLabel(this, QString(), 212, 452, 178, 26);
    交班按钮 = Place<QPushButton>(this, QStringLiteral("交班按钮"), 10, 500, 120, 32);
    交班按钮->setText(QStringLiteral("确认交班"));
    打印按钮 = Place<QPushButton>(this, QStringLiteral("打印按钮"), 140, 500, 120, 32);
    打印按钮->setText(QStringLiteral("打印交班单"));
    关闭按钮 = Place<QPushButton>(this, QStringLiteral("关闭按钮"), 270, 500, 120, 32);
    关闭按钮->setText(QStringLiteral("关闭"));
    for (QPushButton* b : {交班按钮, 打印按钮, 关闭按钮}) b->setAutoDefault(false);

    connect(实点现金框, &QLineEdit::textChanged, this, &ShiftWindow::ShowDifference);
    connect(实点现金框, &QLineEdit::returnPressed, this, &ShiftWindow::OnHandOver);
    connect(交班按钮, &QPushButton::clicked, this, &ShiftWindow::OnHandOver);
    connect(打印按钮, &QPushButton::clicked, this, &ShiftWindow::OnPrint);
    connect(关闭按钮, &QPushButton::clicked, this, &QDialog::reject);
    ShowShift();
    实点现金框->setFocus();
}

void ShiftWindow::ShowShift() {
    if (!EnsureDatabaseOpen()) return;  // the opener has told the user
    DbConnection& db = SharedConnection();
    const QString user = CurrentSession().userName;
    qint64 id = 0;
    QString error;
    if (!ledger::FindOpenShift(db, TillName(), user, &id, &error))
        return ReportListReadFailure(false, error);
    if (id == 0) {
        // No shift open (it could not be started at login): this one starts now.
        const LedgerResult started = ledger::StartShift(db, TillName(), user, 0);
        if (!started.IsDone())
            return ShowMessage(FailureText(started, QStringLiteral("本班没有开始")), 2);
        id = started.id;
    }
    if (!ledger::ReadShift(db, id, &shift_, &error)) return ReportListReadFailure(false, error);
    交班报表->setPlainText(ShiftReportLines(shift_, false).join(u'\n'));
    ShowDifference();
}

void ShiftWindow::ShowDifference() {
    if (handedOver_) return;
    const std::optional<double> counted = CashTyped(实点现金框->text());
    if (!counted || shift_.id == 0) {
        差额标签->setText(QStringLiteral("应有现金 ") + Yuan(shift_.ExpectedCashFen()));
        return;
    }
    差额标签->setText(QStringLiteral("差额：") +
                      DifferenceText(Fen(*counted) - shift_.ExpectedCashFen()));
}

void ShiftWindow::OnHandOver() {
    if (handedOver_ || shift_.id == 0) return;
    const std::optional<double> counted = CashTyped(实点现金框->text());
    if (!counted) {
        ShowMessage(QStringLiteral("请输入清点钱箱后的现金金额（没有现金填 0）"), 2);
        实点现金框->setFocus();
        return;
    }
    // The figures up to the handover, not those of the window's opening, decide.
    if (!EnsureDatabaseOpen()) return;
    ledger::Shift handed;
    const LedgerResult result =
        ledger::HandOverShift(SharedConnection(), shift_.id, *counted, &handed);
    if (!result.IsDone()) {
        if (result.outcome == LedgerResult::RecordChanged)
            ShowMessage(QStringLiteral("这个班次已经交过班了，请重新登录开始新的一班"), 2);
        else if (result.outcome == LedgerResult::RecordGone)
            ShowMessage(QStringLiteral("这个班次已不存在，请重新登录开始新的一班"), 2);
        else
            ShowMessage(FailureText(result, QStringLiteral("交班失败，班次没有结束")), 2);
        return;
    }
    shift_ = handed;
    handedOver_ = true;
    交班报表->setPlainText(ShiftReportLines(shift_, true).join(u'\n'));
    差额标签->setText(QStringLiteral("差额：") + DifferenceText(shift_.DifferenceFen()));
    实点现金框->setEnabled(false);
    交班按钮->setEnabled(false);
    Skin::Instance().SkinMessageBox(QStringLiteral("交班完成，交班单已保存。\r\n"
                                                   "关闭本窗口后，下一班请重新登录。"),
                                    1, 0, 1, QStringLiteral("交班"));
    if (ReadPrinterChoice()) OnPrint();
    打印按钮->setFocus();
}

void ShiftWindow::OnPrint() {
    Print(this, 交班报表);
}

void OpenShiftWindow(QWidget* owner, const std::function<void()>& afterHandover) {
    // On the heap: closing the owner during the modal loop takes the window with it.
    QPointer<ShiftWindow> window = new ShiftWindow(owner);
    Dialogs().RunModal(window);
    const bool handedOver = window && window->HandedOver();
    delete window.data();
    if (handedOver && afterHandover) afterHandover();
}

namespace {

// The columns of the day's figures, one row per till and user; column 1 numbers the rows.
enum DayColumn {
    kDayTill = 2,
    kDayUser,
    kDaySales,
    kDayGoods,
    kDayCharged,
    kDayDebt,
    kDayProfit,
    kDayPayments,
    kDayPaid,
    kDayIncome,
    kDayExpense,
    kDayFirstMethod,
    kDayLast = kDayFirstMethod + 4
};
const double kDayWidths[] = {0.08, 0.07,  0.05,  0.05, 0.06,  0.055, 0.06,  0.06,
                             0.06, 0.055, 0.055, 0.06, 0.055, 0.055, 0.055, 0.055};
const QList<int> kDayCostColumns = {kDayProfit};

// The past shifts: grid column c shows the list's column c - 1.
constexpr int kShiftLast = ledger::kShiftColumnCount;
const double kShiftWidths[] = {0.055, 0.05,  0.13, 0.13, 0.03,  0.045, 0.04,  0.04,  0.035, 0.035,
                               0.04,  0.035, 0.04, 0.04, 0.035, 0.04,  0.052, 0.052, 0.04};

void RightAlignFrom(RecordGrid* g, int first, int last) {
    for (int c = first; c <= last; ++c) {
        g->Column(c).SetAlignment(RecordGrid::cellRightCenter);
        g->Column(c).SetMask(RecordGrid::cellValue);
        g->Cell(1, c).SetAlignment(RecordGrid::cellCenterCenter);
    }
    g->SetReadOnly(true);
    g->SetAutoRedraw(true);
}

void SetUpDayGrid(RecordGrid* g) {
    SetUpTwoRowHeader(g, 2, kDayLast + 1,
                      {{kDayTill, kDayUser, "收银台"},
                       {kDaySales, kDayProfit, "销售"},
                       {kDayPayments, kDayExpense, "收款与收支"},
                       {kDayFirstMethod, kDayLast, "按付款方式实收"}},
                      kDayTill,
                      {"收银台", "操作员", "笔数", "数量", "金额", "欠款", "毛利", "收款笔数",
                       "收款金额", "收入", "支出", "现金", "微信", "支付宝", "银行卡", "其他"});
    for (int c : {kDayTill, kDaySales, kDayPayments, kDayFirstMethod})
        g->Cell(0, c).SetAlignment(RecordGrid::cellCenterCenter);
    RightAlignFrom(g, kDaySales, kDayLast);
    LayOutColumns(g, kDayWidths, kDayTill, kDayLast, kDayCostColumns);
}

void SetUpShiftGrid(RecordGrid* g) {
    using namespace ledger;
    SetUpTwoRowHeader(
        g, 2, kShiftLast + 1,
        {{kShiftTill + 1, kShiftEnd + 1, "班次"},
         {kShiftSales + 1, kShiftExpense + 1, "销售与收支"},
         {kShiftFirstMethod + 1, kShiftFirstMethod + 5, "按付款方式实收"},
         {kShiftFloat + 1, kShiftLast, "钱箱"}},
        kShiftTill + 1,
        {"收银台", "操作员", "开始时间", "交班时间", "笔数", "金额", "欠款", "收款", "收入", "支出",
         "现金", "微信", "支付宝", "银行卡", "其他", "备用金", "应有现金", "实点现金", "差额"});
    for (int c : {kShiftTill + 1, kShiftSales + 1, kShiftFirstMethod + 1, kShiftFloat + 1})
        g->Cell(0, c).SetAlignment(RecordGrid::cellCenterCenter);
    RightAlignFrom(g, kShiftSales + 1, kShiftLast);
    LayOutColumns(g, kShiftWidths, kShiftTill + 1, kShiftLast, {});
    g->AddItem(QString());
}

// Right-click on a list: the export of the whole list.
void ExportOnRightClick(QWidget* window, RecordGrid* g, const QList<int>& costColumns) {
    auto* menu = new QMenu(g);
    menu->setObjectName(g->objectName() + QStringLiteral("菜单"));
    QObject::connect(menu->addAction(QStringLiteral("导出Excel")), &QAction::triggered, window,
                     [g, costColumns] { ExportGridToExcel(g, costColumns); });
    QObject::connect(g, &RecordGrid::MouseUp, window, [g, menu](int button, int, int x, int y) {
        const auto [row, col] = SelectClickedCell(g, x, y);
        if (button != RecordGrid::kRightButton || row < 2 || col < 1) return;
        CurrentSession().selectedRow = row;
        menu->popup(g->mapToGlobal(QPoint(x, y)));
    });
}

QDateEdit* PlaceDate(QWidget* parent, const QString& name, int x, int y, const QDate& day) {
    auto* box = Place<QDateEdit>(parent, name, x, y, 120, 26);
    box->setCalendarPopup(true);
    box->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    box->setDate(day);
    return box;
}

}  // namespace

DayCloseWindow::DayCloseWindow(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("DayCloseWindow"));
    setWindowTitle(QStringLiteral("日结"));
    setFixedSize(1000, 640);
    const QDate today = CurrentDateTime().date();

    PlaceLabel(this, QStringLiteral("日期："), 10, 10, 44, 26, Qt::AlignRight | Qt::AlignVCenter);
    日期框 = PlaceDate(this, QStringLiteral("日期框"), 58, 10, today);
    查询按钮 = Place<QPushButton>(this, QStringLiteral("查询按钮"), 186, 10, 70, 26);
    查询按钮->setText(QStringLiteral("查询"));
    日结合计 = PlaceLabel(this, QString(), 264, 10, 408, 26);
    导出按钮 = Place<QPushButton>(this, QStringLiteral("导出按钮"), 676, 10, 100, 26);
    导出按钮->setText(QStringLiteral("导出Excel"));
    打印按钮 = Place<QPushButton>(this, QStringLiteral("打印按钮"), 784, 10, 100, 26);
    打印按钮->setText(QStringLiteral("打印日结单"));
    关闭按钮 = Place<QPushButton>(this, QStringLiteral("关闭按钮"), 892, 10, 98, 26);
    关闭按钮->setText(QStringLiteral("关闭"));
    日结表 = Place<RecordGrid>(this, QStringLiteral("日结表"), 10, 44, 980, 230);
    日结表->SetListName(QStringLiteral("日结"));
    SetUpDayGrid(日结表);

    PlaceLabel(this, QStringLiteral("交班记录：从"), 10, 286, 84, 26,
               Qt::AlignRight | Qt::AlignVCenter);
    起始日期框 = PlaceDate(this, QStringLiteral("起始日期框"), 98, 286, today);
    PlaceLabel(this, QStringLiteral("到"), 222, 286, 20, 26, Qt::AlignCenter);
    截止日期框 = PlaceDate(this, QStringLiteral("截止日期框"), 246, 286, today);
    PlaceLabel(this, QStringLiteral("收银台："), 376, 286, 60, 26,
               Qt::AlignRight | Qt::AlignVCenter);
    收银台框 = Place<QComboBox>(this, QStringLiteral("收银台框"), 440, 286, 130, 26);
    PlaceLabel(this, QStringLiteral("操作员："), 576, 286, 60, 26,
               Qt::AlignRight | Qt::AlignVCenter);
    操作员框 = Place<QComboBox>(this, QStringLiteral("操作员框"), 640, 286, 130, 26);
    for (QComboBox* box : {收银台框, 操作员框}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->addItem(QString());
    }
    记录查询按钮 = Place<QPushButton>(this, QStringLiteral("记录查询按钮"), 780, 286, 70, 26);
    记录查询按钮->setText(QStringLiteral("查询"));
    PlaceLabel(this, QStringLiteral("右键导出Excel"), 860, 286, 130, 26);
    交班表 = Place<RecordGrid>(this, QStringLiteral("交班表"), 10, 318, 980, 312);
    交班表->SetListName(QStringLiteral("交班记录"));
    SetUpShiftGrid(交班表);

    ExportOnRightClick(this, 日结表, kDayCostColumns);
    ExportOnRightClick(this, 交班表, {});
    connect(查询按钮, &QPushButton::clicked, this, &DayCloseWindow::ShowDay);
    connect(记录查询按钮, &QPushButton::clicked, this, &DayCloseWindow::ShowShifts);
    connect(导出按钮, &QPushButton::clicked, this, [this] {
        CurrentSession().selectedRow = 2;
        ExportGridToExcel(日结表, kDayCostColumns);
    });
    connect(打印按钮, &QPushButton::clicked, this, &DayCloseWindow::OnPrint);
    connect(关闭按钮, &QPushButton::clicked, this, &QDialog::reject);

    if (!EnsureDatabaseOpen()) return;  // the opener has told the user
    ShowDay();
    ShowShifts();
}

void DayCloseWindow::ShowDay() {
    QString error;
    if (!ledger::ReadDayFigures(SharedConnection(), 日期框->date(), &figures_, &handovers_, &error))
        return ReportListReadFailure(false, error);
    RecordGrid* g = 日结表;
    g->SetAutoRedraw(false);
    g->SetRows(2);
    const bool profit = CostFiguresVisible();
    ledger::ShiftFigures sum;
    sum.byMethodFen.fill(0, ledger::PayMethods().size());
    CellRow cells;
    auto addFigures = [&](const ledger::ShiftFigures& f, const QString& till, const QString& user,
                          int number) {
        cells.Clear();  // from column 1 on
        cells.AddNumber(number);
        cells.AddText(till);
        cells.AddText(user);
        cells.AddNumber(static_cast<double>(f.sales));
        cells.AddNumber(static_cast<double>(f.goodsMilli) / 1000);
        for (qint64 fen : {f.chargedFen, f.debtFen})
            cells.AddNumber(static_cast<double>(fen) / 100);
        if (profit)
            cells.AddNumber(static_cast<double>(f.profitFen) / 100);
        else
            cells.AddEmpty();
        cells.AddNumber(static_cast<double>(f.payments));
        for (qint64 fen : {f.paymentsFen, f.incomeFen, f.expenseFen})
            cells.AddNumber(static_cast<double>(fen) / 100);
        for (qint64 fen : f.byMethodFen) cells.AddNumber(static_cast<double>(fen) / 100);
        g->AddRow(cells);
    };
    int number = 0;
    for (const ledger::ShiftFigures& f : figures_) {
        const QString unknown = QStringLiteral("（未记录）");
        addFigures(f, f.tillName.isEmpty() ? unknown : f.tillName,
                   f.user.isEmpty() ? unknown : f.user, ++number);
        sum.sales += f.sales;
        sum.goodsMilli += f.goodsMilli;
        sum.chargedFen += f.chargedFen;
        sum.debtFen += f.debtFen;
        sum.profitFen += f.profitFen;
        sum.payments += f.payments;
        sum.paymentsFen += f.paymentsFen;
        sum.incomeFen += f.incomeFen;
        sum.expenseFen += f.expenseFen;
        for (int m = 0; m < sum.byMethodFen.size(); ++m) sum.byMethodFen[m] += f.byMethodFen[m];
    }
    addFigures(sum, QStringLiteral("合计："), QString(), 0);
    g->SetCellText(g->Rows() - 1, 1, QString());
    ApplyListColours(g);
    ApplyGridLines(g, 2, 2, g->Rows() - 1, kDayLast);
    StyleTotalsRow(g, 2, kDayLast);
    LayOutColumns(g, kDayWidths, kDayTill, kDayLast, kDayCostColumns);
    g->SetAutoRedraw(true);
    g->Refresh();

    qint64 differenceFen = 0;
    for (const ledger::Shift& s : handovers_) differenceFen += s.DifferenceFen();
    QString text = QStringLiteral("销售 %1 笔 %2 元").arg(sum.sales).arg(Yuan(sum.chargedFen));
    if (profit) text += QStringLiteral("，毛利 %1 元").arg(Yuan(sum.profitFen));
    text += QStringLiteral("；交班 %1 次，差额 %2")
                .arg(handovers_.size())
                .arg(DifferenceText(differenceFen));
    日结合计->setText(text);
    for (QComboBox* box : {收银台框, 操作员框}) {
        for (const ledger::ShiftFigures& f : figures_) {
            const QString value = box == 收银台框 ? f.tillName : f.user;
            if (!value.isEmpty() && box->findText(value) < 0) box->addItem(value);
        }
    }
}

void DayCloseWindow::ShowShifts() {
    ListModel* list = shifts_.For(交班表, ledger::HandedOverShiftsSpec);
    list->SortBy({ledger::kShiftEnd, true});  // the latest handover first
    RecordGrid* g = 交班表;
    g->SetRowSource(list);
    ApplyListColours(g);
    ApplySourceGridLines(g, 2, kShiftLast);
    StyleTotalsRow(g, 2, kShiftLast);
    const QDate from = std::min(起始日期框->date(), 截止日期框->date());
    const QDate to = std::max(起始日期框->date(), 截止日期框->date());
    if (!list->Show(ledger::HandedOverShifts(from, to, TrimSpaces(收银台框->currentText()),
                                             TrimSpaces(操作员框->currentText()))))
        return ReportListReadFailure(list->Busy(), list->Error());
    const int last = g->Rows() - 1;
    g->SetCellText(last, ledger::kShiftTill + 1, QStringLiteral("合计："));
    for (int c = ledger::kShiftSales; c < ledger::kShiftColumnCount; ++c)
        if (c != ledger::kShiftFloat && c != ledger::kShiftExpected && c != ledger::kShiftCounted)
            g->SetCellNumber(last, c + 1, list->Total(c));
    g->Refresh();
}

void DayCloseWindow::OnPrint() {
    // The day's report as text, for the receipt printer or the system printer.
    QStringList lines = {
        QStringLiteral("            日 结 单"),
        QStringLiteral("日期：") + 日期框->date().toString(QStringLiteral("yyyy-MM-dd")),
        QStringLiteral("打印：") + ShortDateTime(CurrentDateTime())};
    const bool profit = CostFiguresVisible();
    const QString rule(32, u'-');
    for (const ledger::ShiftFigures& f : figures_) {
        lines << rule << QStringLiteral("%1 / %2").arg(f.tillName, f.user)
              << QStringLiteral("销售：%1 笔，%2").arg(f.sales).arg(Yuan(f.chargedFen))
              << QStringLiteral("其中欠款：") + Yuan(f.debtFen);
        if (profit) lines << QStringLiteral("毛利：") + Yuan(f.profitFen);
        lines << QStringLiteral("客户还款：%1 笔，%2").arg(f.payments).arg(Yuan(f.paymentsFen))
              << QStringLiteral("收入：%1  支出：%2").arg(Yuan(f.incomeFen), Yuan(f.expenseFen));
        for (int m = 0; m < ledger::PayMethods().size(); ++m)
            lines << QStringLiteral("  %1：%2")
                         .arg(ledger::PayMethods()[m], Yuan(f.byMethodFen.value(m)));
    }
    lines << rule << QStringLiteral("交班 %1 次：").arg(handovers_.size());
    for (const ledger::Shift& s : handovers_)
        lines << QStringLiteral("%1 %2 %3 差额 %4")
                     .arg(s.end.toString(QStringLiteral("HH:mm")), s.tillName, s.user,
                          DifferenceText(s.DifferenceFen()));
    auto* report = PlaceReport(this, QStringLiteral("日结单"), 0, 0, 1, 1);
    report->hide();
    report->setPlainText(lines.join(u'\n'));
    Print(this, report);
    delete report;
}

void OpenDayCloseWindow(QWidget* owner) {
    if (!IsSuperAdmin())
        return ShowMessage(QStringLiteral("日结只有超级管理员可以查看，请用超级管理员登录"), 2);
    // On the heap: closing the owner during the modal loop takes the window with it.
    QPointer<DayCloseWindow> window = new DayCloseWindow(owner);
    Dialogs().RunModal(window);
    delete window.data();
}
