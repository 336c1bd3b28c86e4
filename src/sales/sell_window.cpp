#include "sales/sell_window.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "common/date_text.h"
#include "common/number_text.h"
#include "ledger/customers.h"
#include "platform/combo_fill.h"
#include "platform/dialogs.h"
#include "platform/pay_method_box.h"
#include "platform/placement.h"
#include "platform/up_down_arrows.h"
#include "sales/scan_batch.h"
#include "store/shared_db.h"

namespace {

constexpr int kLabelLeft = 14;
constexpr int kLabelWidth = 88;
constexpr int kBoxLeft = 106;
constexpr int kBoxWidth = 200;
constexpr int kRowHeight = 22;

int RowTop(int row) {
    return 12 + 24 * row;
}

// A box read as a number: its leading decimal number, 0 for none.
double Number(const QLineEdit* box) {
    return TextToNumber(box->text());
}

}  // namespace

SellWindow::SellWindow(QWidget* owner, const GoodsRow* row) : QDialog(owner), owner_(owner) {
    setObjectName(QStringLiteral("SellWindow"));
    setWindowTitle(QStringLiteral("商品销售"));
    setFixedSize(334, 469);

    auto label = [this](const char* text, int row) {
        auto* caption = new QLabel(QString::fromUtf8(text), this);
        caption->setGeometry(kLabelLeft, RowTop(row), kLabelWidth, kRowHeight);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return caption;
    };
    auto field = [this](const char16_t* name, const QString& text, int row) {
        auto* value = new QLabel(text, this);
        value->setObjectName(QString::fromUtf16(name));
        value->setGeometry(kBoxLeft, RowTop(row), kBoxWidth, kRowHeight);
        return value;
    };
    auto edit = [this](const char16_t* name, const QString& text, int row, int left, int width) {
        auto* box = new QLineEdit(text, this);
        box->setObjectName(QString::fromUtf16(name));
        box->setGeometry(left, RowTop(row), width, kRowHeight);
        return box;
    };
    auto combo = [this](const char16_t* name, int row) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromUtf16(name));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setGeometry(kBoxLeft, RowTop(row), kBoxWidth, kRowHeight);
        return box;
    };

    label("商品名称：", 0);
    名称标签 = field(u"名称标签", QString(), 0);
    label("商品型号：", 1);
    型号标签 = field(u"型号标签", QString(), 1);
    label("商品编码：", 2);
    编码标签 = field(u"编码标签", QString(), 2);
    label("    类型：", 3);
    类型标签 = field(u"类型标签", QString(), 3);
    label("建议售价：", 4);
    销售单价标签 = field(u"销售单价标签", QStringLiteral("100"), 4);

    label("实际零售价：", 5);
    实际零售价框 = edit(u"实际零售价框", QString(), 5, kBoxLeft, 110);
    打折框 = edit(u"打折框", QStringLiteral("100"), 5, kBoxLeft + 118, 50);
    调节器1 = new UpDownArrows(打折框, this);
    调节器1->setObjectName(QStringLiteral("调节器1"));
    auto* percent = new QLabel(QStringLiteral("折"), this);
    percent->setGeometry(kBoxLeft + 118 + 50 + UpDownArrows::kWidth + 4, RowTop(5), 16, kRowHeight);

    label("销售数量：", 6);
    销售数量框 =
        edit(u"销售数量框", QStringLiteral("1"), 6, kBoxLeft, kBoxWidth - UpDownArrows::kWidth);
    调节器2 = new UpDownArrows(销售数量框, this);
    调节器2->setObjectName(QStringLiteral("调节器2"));
    label("库存数量：", 7);
    库存框 = edit(u"库存框", QStringLiteral("*"), 7, kBoxLeft, kBoxWidth);
    label("销售金额：", 8);
    销售金额框 = edit(u"销售金额框", QString(), 8, kBoxLeft, 110);
    付款方式框 = PlacePayMethodBox(this, QStringLiteral("付款方式框"), kBoxLeft + 118, RowTop(8),
                                   kBoxWidth - 118, kRowHeight);
    label("欠款金额：", 9);
    欠款金额框 = edit(u"欠款金额框", QString(), 9, kBoxLeft, kBoxWidth);

    label("销售日期：", 10);
    日期框1 = NewDateBox(this, QStringLiteral("日期框1"), QStringLiteral("yyyy-M-d"));
    日期框1->setGeometry(kBoxLeft, RowTop(10), kBoxWidth, kRowHeight);

    label("客户编号：", 11);
    客户编号框 = edit(u"客户编号框", QString(), 11, kBoxLeft, 110);
    auto* hint = new QLabel(QStringLiteral("打印单据必须"), this);
    hint->setGeometry(kBoxLeft + 116, RowTop(11), kBoxWidth - 116, kRowHeight);
    label("客户姓名：", 12);
    客户姓名框 = combo(u"客户姓名框", 12);
    label("客户地址：", 13);
    客户地址框 = combo(u"客户地址框", 13);
    label("联系方式：", 14);
    联系方式框 = edit(u"联系方式框", QString(), 14, kBoxLeft, kBoxWidth);
    label("    备注：", 15);
    备注框 = edit(u"备注框", QString(), 15, kBoxLeft, kBoxWidth);

    按钮1 = new QPushButton(QStringLiteral("确认销售"), this);
    按钮1->setObjectName(QStringLiteral("按钮1"));
    按钮1->setGeometry((width() - 120) / 2, 416, 120, 32);
    时钟1 = new QTimer(this);
    时钟1->setObjectName(QStringLiteral("时钟1"));

    connect(打折框, &QLineEdit::textChanged, this, &SellWindow::OnDiscountChanged);
    connect(调节器1, &UpDownArrows::up, this, [this] { OnDiscountStep(true); });
    connect(调节器1, &UpDownArrows::down, this, [this] { OnDiscountStep(false); });
    connect(实际零售价框, &QLineEdit::textChanged, this, &SellWindow::RecalculateAmount);
    connect(销售数量框, &QLineEdit::textChanged, this, &SellWindow::RecalculateAmount);
    connect(调节器2, &UpDownArrows::up, this, [this] { OnQuantityStep(true); });
    connect(调节器2, &UpDownArrows::down, this, [this] { OnQuantityStep(false); });
    connect(按钮1, &QPushButton::clicked, this, &SellWindow::Confirm);
    connect(时钟1, &QTimer::timeout, this, &SellWindow::On时钟1Tick);
    connect(客户姓名框, &QComboBox::textActivated, this, &SellWindow::OnCustomerPicked);

    FillOnOpen(row);
}

void SellWindow::OnCustomerPicked(const QString& name) {
    // Namesakes told apart by their phones leave the boxes to the user.
    QString phone, address, error;
    if (!ledger::ReadCustomerContact(SharedConnection(), name, &phone, &address, &error)) return;
    if (!phone.isEmpty()) 联系方式框->setText(phone);
    if (!address.isEmpty()) 客户地址框->setCurrentText(address);
}

void SellWindow::FillOnOpen(const GoodsRow* row) {
    if (AutoConfirmSale()) {
        autoConfirmTicks_ = 0;
        时钟1->start(1000);
    }
    for (QLineEdit* box :
         {实际零售价框, 打折框, 销售数量框, 欠款金额框, 客户编号框, 联系方式框, 备注框}) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, Qt::white);
        box->setPalette(palette);
    }
    if (row) {
        goodsId_ = row->ID;
        名称标签->setText(row->名称);
        型号标签->setText(row->型号);
        编码标签->setText(row->编码);
        类型标签->setText(row->类型);
        销售单价标签->setText(NumberText(row->销售单价));
        实际零售价框->setText(NumberText(row->销售单价));
        库存框->setText(NumberText(row->存货数量));
    }
    const QDateTime now = CurrentDateTime();
    客户编号框->setText(QString::number(now.date().year()) + QString::number(now.date().month()) +
                        QString::number(now.date().day()) + QString::number(now.time().hour()) +
                        QString::number(now.time().minute()) +
                        QString::number(now.time().second()));
    // The ledger keeps a record of every customer a sale names, so the pick lists read those
    // few rows instead of grouping every sale.
    QStringList names, addresses;
    QString error;
    ledger::ReadCustomerNames(SharedConnection(), &names, &error);
    ledger::ReadCustomerAddresses(SharedConnection(), &addresses, &error);
    FillCombo(客户姓名框, names);
    FillCombo(客户地址框, addresses);
    // A stock below the default quantity of 1 lowers it to the stock.
    if (IsGreater(Number(销售数量框), Number(库存框))) 销售数量框->setText(库存框->text());
    实际零售价框->setFocus();
}

void SellWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    PlaceBesideOwner();
}

void SellWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (isVisible()) PlaceBesideOwner();
}

void SellWindow::PlaceBesideOwner() {
    if (!owner_) return;
    const QRect main = owner_->frameGeometry();
    move(main.x() + main.width() - frameGeometry().width() - 6, y());
}

void SellWindow::OnDiscountChanged() {
    实际零售价框->setText(NumberText(TextToNumber(销售单价标签->text()) * Number(打折框) / 100));
}

void SellWindow::OnDiscountStep(bool upwards) {
    const double discount = Number(打折框);
    // Up stops adding once the discount has reached 100; down has no floor.
    if (upwards) {
        if (IsLess(discount, 100)) 打折框->setText(NumberText(discount + 5));
    } else {
        打折框->setText(NumberText(discount - 5));
    }
    OnDiscountChanged();
}

void SellWindow::OnQuantityStep(bool upwards) {
    if (IsGreater(Number(销售数量框), Number(库存框))) 销售数量框->setText(库存框->text());
    const double quantity = Number(销售数量框);
    const double stock = Number(库存框);
    if (upwards) {
        if (IsLess(quantity, stock)) 销售数量框->setText(NumberText(quantity + 1));
    } else if (IsGreater(quantity, 0)) {
        销售数量框->setText(NumberText(quantity - 1));
    }
    RecalculateAmount();
}

void SellWindow::RecalculateAmount() {
    销售金额框->setText(NumberText(Number(实际零售价框) * Number(销售数量框)));
}

SaleInput SellWindow::Sale() const {
    SaleInput sale;
    sale.goodsId = goodsId_;
    sale.名称 = 名称标签->text();
    sale.型号 = 型号标签->text();
    sale.编码 = 编码标签->text();
    sale.类型 = 类型标签->text();
    sale.shownStock = Number(库存框);
    sale.销售单价 = Number(实际零售价框);
    sale.销售数量 = Number(销售数量框);
    sale.销售金额 = Number(销售金额框);
    sale.欠款额 = Number(欠款金额框);
    sale.销售日期 = 日期框1->date();
    sale.客户编号 = 客户编号框->text();
    sale.客户名称 = 客户姓名框->currentText();
    sale.联系方式 = 联系方式框->text();
    sale.客户地址 = 客户地址框->currentText();
    sale.备注 = 备注框->text();
    sale.payMethod = ChosenPayMethod(付款方式框);
    return sale;
}

void SellWindow::Confirm() {
    if (SaleTransaction(Sale())) accept();
}

void SellWindow::On时钟1Tick() {
    if (!AutoConfirmTick(&autoConfirmTicks_)) return;
    时钟1->stop();
    Confirm();
}

int OpenSellWindow(QWidget* owner, const GoodsRow* row, SaleInput* booked) {
    // On the heap: closing the owner during the modal loop takes the window with it.
    QPointer<SellWindow> window = new SellWindow(owner, row);
    const int result = Dialogs().RunModal(window);
    // The boxes are as the confirmed sale read them: the window closes when it is recorded.
    if (booked && window && result == QDialog::Accepted) *booked = window->Sale();
    delete window.data();
    return result;
}
