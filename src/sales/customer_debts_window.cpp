#include "sales/customer_debts_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "common/date_text.h"
#include "common/number_text.h"
#include "common/session.h"
#include "ledger/customers.h"
#include "platform/dialogs.h"
#include "platform/list_refresh.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "platform/skin_caption.h"
#include "sales/payment_window.h"
#include "store/shared_db.h"

namespace {

// Columns of 欠款列表.
enum { kDebtId = 1, kDebtNumber, kDebtName, kDebtPhone, kDebtAddress, kDebtSales, kDebtTotal };
// Columns of 对账单列表; kLineKind holds "销售" or "收款".
enum {
    kLineId = 1,
    kLineKind,
    kLineDate,
    kLineItem,
    kLineQuantity,
    kLineAmount,
    kLineDebt,
    kLinePaid,
    kLineBalance,
    kLineRemark,
};
const QString kPaymentKind = QStringLiteral("收款");

struct Heading {
    const char* text;
    int width;
    bool number;
};

RecordGrid* MakeGrid(QWidget* parent, const char16_t* name, const QRect& geometry,
                     const QList<Heading>& headings) {
    auto* grid = new RecordGrid(parent);
    grid->setObjectName(QString::fromUtf16(name));
    grid->setGeometry(geometry);
    grid->SetAutoRedraw(false);
    grid->SetCols(headings.size());
    grid->SetRows(1);
    grid->SetFixedRows(1);
    grid->SetAllowUserResizing(true);
    grid->SetExtendLastCol(true);
    grid->SetReadOnly(true);
    grid->SetBackColorSel(65535);
    grid->SetBackColorActiveCellSel(65535);
    for (int c = 0; c < headings.size(); ++c) {
        grid->SetCellText(0, c, QString::fromUtf8(headings[c].text));
        grid->Column(c).SetWidth(headings[c].width);
        if (headings[c].number) {
            grid->Column(c).SetMask(RecordGrid::cellValue);
            grid->Column(c).SetAlignment(RecordGrid::cellRightCenter);
        }
    }
    grid->SetAutoRedraw(true);
    return grid;
}

// Appends a row cell by cell, so that no text of a customer can move into another column.
int AppendRow(RecordGrid* grid, const QStringList& cells) {
    const int row = grid->Rows();
    grid->SetRows(row + 1);
    for (int c = 0; c < cells.size(); ++c) grid->SetCellText(row, c + 1, cells[c]);
    return row;
}

// The figures of the accounts come as whole fen and are summed as such.
QString Yuan(qint64 fen) {
    return UnitsText(fen, 100);
}

void AppendTotals(RecordGrid* grid, int labelCol, const QList<std::pair<int, QString>>& totals) {
    const int row = AppendRow(grid, {});
    grid->SetCellText(row, labelCol, QStringLiteral("合计："));
    for (const auto& [col, text] : totals) grid->SetCellText(row, col, text);
    grid->Range(row, 1, row, grid->Cols() - 1).SetFontBold(true);
    grid->SetFrozenBottomRows(1);
}

QPushButton* Button(QWidget* parent, const char16_t* name, const char* text, int x, int y, int w) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setObjectName(QString::fromUtf16(name));
    button->setGeometry(x, y, w, 24);
    return button;
}

}  // namespace

CustomerDebtsWindow::CustomerDebtsWindow(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("CustomerDebtsWindow"));
    setWindowTitle(QStringLiteral("客户欠款"));
    setFixedSize(820, 560);

    auto* label = new QLabel(QStringLiteral("客户筛选："), this);
    label->setGeometry(10, 8, 70, 22);
    客户筛选框 = new QLineEdit(this);
    客户筛选框->setObjectName(QStringLiteral("客户筛选框"));
    客户筛选框->setGeometry(80, 8, 200, 22);
    客户筛选框->setPlaceholderText(QStringLiteral("客户名称或电话"));
    auto* hint = new QLabel(QStringLiteral("单击客户显示对账单"), this);
    hint->setGeometry(292, 8, 200, 22);

    欠款列表 = MakeGrid(this, u"欠款列表", QRect(10, 36, 800, 200),
                        {{"", 20, false},
                         {"ID", 0, true},
                         {"编号", 60, false},
                         {"客户名称", 150, false},
                         {"联系方式", 120, false},
                         {"地址", 230, false},
                         {"欠款笔数", 80, true},
                         {"欠款总额", 100, true}});

    欠款列表->SetListName(QStringLiteral("客户欠款"));

    对账单标题 = new QLabel(this);
    对账单标题->setObjectName(QStringLiteral("对账单标题"));
    对账单标题->setGeometry(10, 244, 520, 24);
    收款按钮 = Button(this, u"收款按钮", "收款", 540, 244, 80);
    删除收款按钮 = Button(this, u"删除收款按钮", "删除收款", 626, 244, 80);
    输出对账单按钮 = Button(this, u"输出对账单按钮", "输出Excel", 712, 244, 98);
    // Payments are taken back as sales and entries are deleted: by the super administrator.
    删除收款按钮->setVisible(IsSuperAdmin());

    对账单列表 = MakeGrid(this, u"对账单列表", QRect(10, 274, 800, 276),
                          {{"", 20, false},
                           {"ID", 0, true},
                           {"类别", 0, false},
                           // wide enough for a payment's date with its time
                           {"日期", 175, false},
                           {"摘要", 145, false},
                           {"数量", 60, true},
                           {"销售金额", 80, true},
                           {"欠款", 80, true},
                           {"收款", 80, true},
                           {"余额", 80, true},
                           {"备注", 80, false}});

    connect(客户筛选框, &QLineEdit::textChanged, this, [this] { Refresh(); });
    connect(欠款列表, &RecordGrid::MouseUp, this, [this](int button, int, int x, int y) {
        if (button != RecordGrid::kLeftButton) return;
        欠款列表->HitTest(x, y);
        ChooseCustomer(欠款列表->MouseRow());
    });
    connect(收款按钮, &QPushButton::clicked, this, [this] { OnReceive(); });
    connect(删除收款按钮, &QPushButton::clicked, this, [this] { OnDeletePayment(); });
    connect(输出对账单按钮, &QPushButton::clicked, this, [this] { OnExport(); });
    Refresh();
}

void CustomerDebtsWindow::Refresh() {
    QList<ledger::CustomerDebt> debts;
    QString error;
    if (!ledger::ReadCustomerDebts(SharedConnection(), 客户筛选框->text(), &debts, &error)) {
        // The rows shown stay: an empty list would claim that nobody owes anything.
        ShowMessage(QStringLiteral("客户欠款没有读出：数据库正忙或无法读取"), 2);
        return;
    }
    欠款列表->SetAutoRedraw(false);
    欠款列表->SetFrozenBottomRows(0);
    欠款列表->SetRows(1);
    qint64 totalFen = 0;
    qint64 sales = 0;
    for (const ledger::CustomerDebt& d : std::as_const(debts)) {
        const int row = AppendRow(欠款列表, {QString::number(d.customer.id), d.customer.编号,
                                             d.customer.名称, d.customer.联系方式, d.customer.地址,
                                             QString::number(d.sales), Yuan(d.debtFen)});
        if (d.customer.id == customerId_) 欠款列表->Cell(row, kDebtName).SetFocus();
        totalFen += d.debtFen;
        sales += d.sales;
    }
    AppendTotals(欠款列表, kDebtName,
                 {{kDebtSales, QString::number(sales)}, {kDebtTotal, Yuan(totalFen)}});
    欠款列表->SetAutoRedraw(true);
    欠款列表->Refresh();
    FillStatement();
}

void CustomerDebtsWindow::ChooseCustomer(int row) {
    const QString id = row >= 1 ? 欠款列表->CellText(row, kDebtId) : QString();
    if (!IsRecordId(id)) return;
    customerId_ = RecordIdValue(id);
    FillStatement();
}

void CustomerDebtsWindow::FillStatement() {
    对账单列表->SetAutoRedraw(false);
    对账单列表->SetFrozenBottomRows(0);
    对账单列表->SetRows(1);
    ledger::Customer customer;
    QList<ledger::StatementLine> lines;
    QString error;
    if (customerId_ == 0 ||
        !ledger::ReadCustomer(SharedConnection(), customerId_, &customer, &error)) {
        customerId_ = 0;
        对账单标题->setText(QStringLiteral("请在上面的列表中单击一个客户"));
    } else if (!ledger::ReadStatement(SharedConnection(), customerId_, &lines, &error)) {
        对账单标题->setText(QStringLiteral("对账单没有读出：数据库正忙或无法读取"));
    } else {
        qint64 soldFen = 0, owedFen = 0, paidFen = 0;
        for (const ledger::StatementLine& l : std::as_const(lines)) {
            const QString date = DateListText(ParseDateText(l.date));
            if (l.isPayment) {
                AppendRow(对账单列表,
                          {QString::number(l.id), kPaymentKind, date, l.item, QString(), QString(),
                           QString(), Yuan(l.paidFen), Yuan(l.balanceFen), l.remark});
                paidFen += l.paidFen;
            } else {
                AppendRow(对账单列表, {QString::number(l.id), QStringLiteral("销售"), date, l.item,
                                       NumberText(l.quantity), Yuan(l.amountFen), Yuan(l.debtFen),
                                       QString(), Yuan(l.balanceFen), l.remark});
                soldFen += l.amountFen;
                owedFen += std::max<qint64>(l.debtFen, 0);
            }
        }
        const QString balance = Yuan(lines.isEmpty() ? 0 : lines.last().balanceFen);
        AppendTotals(对账单列表, kLineItem,
                     {{kLineAmount, Yuan(soldFen)},
                      {kLineDebt, Yuan(owedFen)},
                      {kLinePaid, Yuan(paidFen)},
                      {kLineBalance, balance}});
        对账单标题->setText(QStringLiteral("对账单：%1  %2  欠款：%3")
                                .arg(customer.名称, customer.联系方式, balance));
        对账单列表->SetListName(QStringLiteral("对账单_") + customer.名称);
    }
    对账单列表->SetAutoRedraw(true);
    对账单列表->Refresh();
}

void CustomerDebtsWindow::OnReceive() {
    if (customerId_ == 0) {
        ShowMessage(QStringLiteral("请先在列表中单击要收款的客户"), 1);
        return;
    }
    if (!EnsureDatabaseOpen()) return;  // the opener has told the user
    ledger::Customer customer;
    qint64 debtFen = 0;
    QString error;
    if (!ledger::ReadCustomer(SharedConnection(), customerId_, &customer, &error) ||
        !ledger::ReadOpenDebt(SharedConnection(), customerId_, &debtFen, &error)) {
        ShowMessage(QStringLiteral("客户欠款没有读出：数据库正忙或无法读取"), 2);
        return;
    }
    if (!OpenPaymentWindow(this, customerId_, customer.名称, debtFen)) return;
    // The payment lowered the debts of sales: the sales list shows them.
    RefillWholeList(ListId::Sales);
    Refresh();
}

void CustomerDebtsWindow::OnDeletePayment() {
    const int row = 对账单列表->Selection().FirstRow();
    if (row < 1 || 对账单列表->CellText(row, kLineKind) != kPaymentKind ||
        !IsRecordId(对账单列表->CellText(row, kLineId))) {
        ShowMessage(QStringLiteral("请先在对账单中选中要删除的收款"), 1);
        return;
    }
    const QString question = QStringLiteral("你确定要删除当前选中的资料吗？\r\n\r\n") +
                             QString(11, u' ') + QStringLiteral("一经删除无法恢复");
    if (Dialogs().SystemMessage(this, question, ProgramCaption(), BoxIcon::Question,
                                BoxButtons::OkCancel) != BoxAnswer::Ok)
        return;
    if (!EnsureDatabaseOpen()) return;  // the opener has told the user
    const LedgerResult result = ledger::DeletePayment(
        SharedConnection(), RecordIdValue(对账单列表->CellText(row, kLineId)));
    if (!result.IsDone()) {
        ShowMessage(result.outcome == LedgerResult::RecordGone
                        ? QStringLiteral("这笔收款已经不存在")
                        : FailureText(result, QStringLiteral("删除收款失败，欠款没有改变")),
                    2);
        Refresh();
        return;
    }
    RefillWholeList(ListId::Sales);
    Refresh();
}

void CustomerDebtsWindow::OnExport() {
    if (customerId_ == 0) {
        ShowMessage(QStringLiteral("请先在列表中单击一个客户"), 1);
        return;
    }
    if (对账单列表->ExportToExcel(QString(), true, false, {}))
        ShowMessage(QStringLiteral("输出Excel成功"), 1);
    else
        ShowMessage(QStringLiteral("输出Excel失败"), 1);
}

void OpenCustomerDebtsWindow(QWidget* owner) {
    if (!EnsureDatabaseOpen()) return;  // the opener has told the user
    QPointer<CustomerDebtsWindow> window = new CustomerDebtsWindow(owner);
    Dialogs().RunModal(window);
    delete window.data();
}
