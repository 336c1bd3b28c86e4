#include "sales/payment_window.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "common/date_text.h"
#include "common/number_text.h"
#include "common/session.h"
#include "common/text.h"
#include "ledger/customers.h"
#include "platform/dialogs.h"
#include "platform/pay_method_box.h"
#include "platform/skin.h"
#include "platform/till_keeper.h"
#include "store/shared_db.h"

namespace {

template <typename T>
T* Control(QWidget* parent, const char16_t* name, int x, int y, int w) {
    auto* control = new T(parent);
    control->setObjectName(QString::fromUtf16(name));
    control->setGeometry(x, y, w, 22);
    return control;
}

void Label(QWidget* parent, const char* text, int y) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setGeometry(14, y, 76, 22);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

// What the user is told when the payment was not recorded.
QString RefusalText(const LedgerResult& result) {
    switch (result.outcome) {
        case LedgerResult::NegativeAmount:
            return QStringLiteral("收款金额必须大于0");
        case LedgerResult::OverPayment:
            return QStringLiteral("收款金额超过了欠款总额 %1，请核对金额")
                .arg(NumberText(result.figure));
        case LedgerResult::RecordGone:
            return QStringLiteral("这个客户已经不存在，无法收款");
        case LedgerResult::FieldRefused:
            return QStringLiteral("错误代码 ") + result.fieldCode;
        default:
            return FailureText(result, QStringLiteral("收款失败，欠款没有改变"));
    }
}

}  // namespace

PaymentWindow::PaymentWindow(QWidget* owner, qint64 customerId, const QString& customerName,
                             qint64 debtFen)
    : QDialog(owner), customerId_(customerId) {
    setObjectName(QStringLiteral("PaymentWindow"));
    setWindowTitle(QStringLiteral("收款"));
    setFixedSize(300, 230);

    Label(this, "客户：", 12);
    客户标签 = Control<QLabel>(this, u"客户标签", 96, 12, 190);
    客户标签->setText(customerName);
    Label(this, "欠款总额：", 40);
    欠款标签 = Control<QLabel>(this, u"欠款标签", 96, 40, 190);
    欠款标签->setText(UnitsText(debtFen, 100));
    Label(this, "收款金额：", 68);
    收款金额框 = Control<QLineEdit>(this, u"收款金额框", 96, 68, 180);
    Label(this, "收款日期：", 96);
    收款日期框 = Control<QDateTimeEdit>(this, u"收款日期框", 96, 96, 180);
    收款日期框->setCalendarPopup(true);
    收款日期框->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    const QDateTime now = CurrentDateTime();
    收款日期框->setDateTime(QDateTime(now.date(), QTime(now.time().hour(), now.time().minute())));
    Label(this, "收款方式：", 124);
    收款方式框 = PlacePayMethodBox(this, QStringLiteral("收款方式框"), 96, 124, 180, 22);
    Label(this, "备注：", 152);
    收款备注框 = Control<QLineEdit>(this, u"收款备注框", 96, 152, 180);
    确认收款按钮 = new QPushButton(QStringLiteral("确认收款"), this);
    确认收款按钮->setObjectName(QStringLiteral("确认收款按钮"));
    确认收款按钮->setGeometry(96, 188, 100, 26);
    connect(确认收款按钮, &QPushButton::clicked, this, &PaymentWindow::Confirm);
    收款金额框->setFocus();
}

void PaymentWindow::Confirm() {
    const QString amount = TrimSpaces(收款金额框->text());
    if (!IsNumberText(amount)) {
        ShowMessage(QStringLiteral("请输入正确的收款金额"), 2);
        return;
    }
    if (!EnsureDatabaseOpen()) return;  // the opener has told the user
    ledger::PaymentInput payment;
    payment.customerId = customerId_;
    payment.日期 = 收款日期框->dateTime();
    payment.金额 = TextToNumber(amount);
    payment.方式 = ChosenPayMethod(收款方式框);
    payment.备注 = 收款备注框->text();
    payment.user = CurrentSession().userName;
    payment.tillName = TillName();
    const LedgerResult result = ledger::RecordPayment(SharedConnection(), payment);
    if (!result.IsDone()) {
        ShowMessage(RefusalText(result), 2);
        return;
    }
    Skin::Instance().SkinMessageBox(QStringLiteral("收款完成"), 1, 0, 1, QStringLiteral("提示"));
    accept();
}

bool OpenPaymentWindow(QWidget* owner, qint64 customerId, const QString& customerName,
                       qint64 debtFen) {
    QPointer<PaymentWindow> window = new PaymentWindow(owner, customerId, customerName, debtFen);
    const int result = Dialogs().RunModal(window);
    delete window.data();
    return result == QDialog::Accepted;
}
