#include "finance/bank_entry_window.h"

#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <cmath>

#include "common/date_text.h"
#include "common/number_text.h"
#include "common/session.h"
#include "finance/bank_page.h"
#include "finance/finance_ui.h"
#include "ledger/bank_list.h"
#include "platform/combo_fill.h"
#include "platform/list_refresh.h"
#include "platform/skin.h"
#include "store/shared_db.h"

namespace {

const QString kNewTitle = QStringLiteral("新建存取操作");
const QString kChangeTitle = QStringLiteral("修改存取操作");
// The type decides whether money goes in or out; a minus in the amount would reverse it.
const QString kMinusRefused = QStringLiteral("金额请填写正数，存入或取出由存取类型决定");

QPointer<BankEntryWindow>& NewWindow() {
    static QPointer<BankEntryWindow> window;
    return window;
}
QPointer<BankEntryWindow>& ChangeWindow() {
    static QPointer<BankEntryWindow> window;
    return window;
}

BankEntryWindow* Open(QPointer<BankEntryWindow>& slot, QWidget* parent, const BankEntryRow* row) {
    // A closed window is only deleted later; it does not count as open.
    if (!slot || !slot->isVisible()) slot = new BankEntryWindow(parent, row);
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot;
}

// The date of a list cell ("2012年6月3日", perhaps followed by the time of day).
QDate ListTextDate(const QString& text) {
    static const QRegularExpression form(QStringLiteral(R"(^(\d{1,4})年(\d{1,2})月(\d{1,2})日)"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) return QDate();
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

// A change of the bank book shows in every list.
void ReloadLists() {
    FillBankGrid();
    for (ListId list : {ListId::Stock, ListId::Sales, ListId::Other, ListId::Summary})
        RefillWholeList(list);
}

}  // namespace

BankEntryWindow::BankEntryWindow(QWidget* parent, const BankEntryRow* row)
    : QWidget(parent, Qt::Window) {
    const QString title = row ? kChangeTitle : kNewTitle;
    setObjectName(title);
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(242, 301);

    const char16_t* labels[] = {u"存取类型：", u"银行名称：", u"账    户：",
                                u"金    额：", u"入库日期：", u"备注信息："};
    auto top = [](int i) { return 18 + 36 * i; };
    for (int i = 0; i < 6; ++i) PlaceLabel(this, QString::fromUtf16(labels[i]), 14, top(i), 72, 22);
    类型组合框 = Place<QComboBox>(this, QStringLiteral("类型组合框"), 86, top(0), 140, 22);
    类型组合框->addItems({QStringLiteral("存款"), QStringLiteral("取款"), QStringLiteral("转入"),
                          QStringLiteral("转出")});
    名称组合框 = Place<QComboBox>(this, QStringLiteral("名称组合框"), 86, top(1), 140, 22);
    名称组合框->setEditable(true);
    账户组合框 = Place<QComboBox>(this, QStringLiteral("账户组合框"), 86, top(2), 140, 22);
    账户组合框->setEditable(true);
    金额框 = Place<QLineEdit>(this, QStringLiteral("金额框"), 86, top(3), 140, 22);
    日期框1 = PlaceDateBox(this, QStringLiteral("日期框1"), 86, top(4), 140, 22);
    备注框 = Place<QLineEdit>(this, QStringLiteral("备注框"), 86, top(5), 140, 22);
    按钮2 = Place<QPushButton>(this, QStringLiteral("按钮2"), 71, 246, 100, 30);
    按钮2->setText(QStringLiteral("保存"));

    for (const auto& [box, column] : {std::pair{名称组合框, int(ledger::kBankName)},
                                      std::pair{账户组合框, int(ledger::kBankAccount)}}) {
        QStringList values;
        QString error;
        ledger::ReadBankValues(SharedConnection(), column, &values, &error);
        FillCombo(box, values);
    }
    if (row) {
        ShowRow(*row);
        connect(按钮2, &QPushButton::clicked, this, &BankEntryWindow::SaveBankEntryChange);
    } else {
        类型组合框->setCurrentIndex(0);
        connect(按钮2, &QPushButton::clicked, this, &BankEntryWindow::SaveNewBankEntry);
    }
    entries_.Note(this);
}

void BankEntryWindow::ShowRow(const BankEntryRow& row) {
    entryId_ = row.id;
    seen_ = ledger::ReadEdited(SharedConnection(), ledger::EditedRow::BankEntry,
                               RecordIdValue(entryId_));
    // The first type the stored kind begins; a kind written by other means may match none.
    int index = -1;
    for (int i = 0; i < 类型组合框->count() && !row.kind.isEmpty(); ++i) {
        if (类型组合框->itemText(i).startsWith(row.kind)) {
            index = i;
            break;
        }
    }
    类型组合框->setCurrentIndex(index);
    名称组合框->setEditText(row.bank);
    账户组合框->setEditText(row.account);
    金额框->setText(NumberText(std::fabs(TextToNumber(row.amount))));
    const QDate date = ListTextDate(row.date);
    日期框1->setDate(date.isValid() ? date : CurrentDateTime().date());
    备注框->setText(row.remark);
    setWindowTitle(windowTitle() + QStringLiteral(" ") + entryId_);
}

bool BankEntryWindow::Complete() {
    if (名称组合框->currentText().isEmpty()) {
        AskToFillIn(this, QStringLiteral("银行名称必须填写"), 名称组合框);
        return false;
    }
    if (金额框->text().isEmpty()) {
        AskToFillIn(this, QStringLiteral("金额必须填写"), 金额框);
        return false;
    }
    return true;
}

ledger::BankEntry BankEntryWindow::Entry() const {
    ledger::BankEntry entry;
    entry.typeIndex = 类型组合框->currentIndex();
    entry.方式 = 类型组合框->currentText();
    entry.银行 = 名称组合框->currentText();
    entry.账户 = 账户组合框->currentText();
    entry.amount = TextToNumber(金额框->text());
    entry.日期 = 日期框1->date();
    entry.备注 = 备注框->text();
    return entry;
}

bool BankEntryWindow::RefuseMinus(const LedgerResult& result) {
    if (result.outcome != LedgerResult::NegativeAmount) return false;
    AskToFillIn(this, kMinusRefused, 金额框);
    return true;
}

void BankEntryWindow::SaveNewBankEntry() {
    if (!Complete()) return;
    EnsureDatabaseOpen();
    const LedgerResult result = ledger::RecordBankEntry(SharedConnection(), Entry());
    if (RefuseMinus(result)) return;
    if (result.outcome == LedgerResult::FieldRefused) {
        ShowMessage(RefusedFieldText(result), 2);
        return;
    }
    if (!result.IsDone()) {
        ShowMessage(FailureText(result, QStringLiteral("存取存款失败")), 2);
        return;
    }
    ShowDone(QStringLiteral("存取存款完成"));
    ReloadLists();
    close();
}

void BankEntryWindow::SaveBankEntryChange() {
    if (!Complete()) return;
    EnsureDatabaseOpen();
    // The entry this window was opened for, whatever was clicked since; one that is gone
    // meanwhile is not changed, and that is reported too.
    const LedgerResult result =
        ledger::ChangeBankEntry(SharedConnection(), RecordIdValue(entryId_), Entry(), seen_);
    if (RefuseMinus(result)) return;
    if (result.outcome == LedgerResult::RecordChanged) {
        ShowMessage(RecordChangedText(QStringLiteral("这笔存款")), 2);
        return;
    }
    if (!result.IsDone()) {
        ShowMessage(FailureText(result, QStringLiteral("修改存款失败")), 2);
        return;
    }
    ShowDone(QStringLiteral("修改存款完成"));
    ReloadLists();
    close();
}

BankEntryWindow* OpenNewBankEntry(QWidget* parent) {
    return Open(NewWindow(), parent, nullptr);
}

BankEntryWindow* OpenBankEntryChange(QWidget* parent, const BankEntryRow& row) {
    return Open(ChangeWindow(), parent, &row);
}

void CloseBankEntryWindows() {
    delete NewWindow().data();
    delete ChangeWindow().data();
}

void BankEntryWindow::keyPressEvent(QKeyEvent* event) {
    if (!entries_.CloseOnEscape(this, event)) QWidget::keyPressEvent(event);
}
