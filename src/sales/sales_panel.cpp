#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include "common/date_text.h"
#include "platform/list_refresh.h"
#include "platform/placement.h"
#include "platform/skin.h"
#include "sales/customer_debts_window.h"
#include "sales/sales_page.h"

void BuildSalesMenu();

namespace {

using ledger::SalesFilter;

QLabel* Label(QWidget* parent, const char* text, int x, int y, int w) {
    return PlaceLabel(parent, QString::fromUtf8(text), x, y, w, 22,
                      Qt::AlignRight | Qt::AlignVCenter);
}

template <typename T>
T* Control(QWidget* parent, const char16_t* name, int x, int y, int w) {
    return Place<T>(parent, QString::fromUtf16(name), x, y, w, 22);
}

QPushButton* Button(QWidget* parent, const char16_t* name, const char* text, int x, int y, int w) {
    auto* button = Control<QPushButton>(parent, name, x, y, w);
    button->setText(QString::fromUtf8(text));
    return button;
}

QComboBox* SearchCombo(QWidget* parent, const char16_t* name, int x, int y, int w) {
    return PlaceSearchCombo(parent, QString::fromUtf16(name), x, y, w, 22);
}

QDateEdit* DateBox(QWidget* parent, const char16_t* name, int x, int y) {
    return PlaceDateBox(parent, QString::fromUtf16(name), x, y, 110, 22);
}

// A contains-search on one column (kSaleName: by the name's initials); every sale when the
// text is empty. The text is bound as typed: a quote is an ordinary character, "%" and "_"
// stay wildcards.
void SearchColumn(int column, const QString& text) {
    SalesFilter filter;
    if (!text.isEmpty()) {
        filter.kind =
            column == ledger::kSaleName ? SalesFilter::Kind::Initials : SalesFilter::Kind::Contains;
        filter.column = column;
        filter.text = text;
    }
    FillSalesGrid(filter);
}

void ConnectSearch(QLineEdit* box, int column) {
    QObject::connect(box, &QLineEdit::textChanged, box, [box, column](const QString& text) {
        SearchColumn(column, text);
        box->setFocus();
    });
}

// A pick list searches when an item is chosen and when its text is typed.
void ConnectSearch(QComboBox* box, int column, bool keepFocus) {
    auto search = [box, column, keepFocus](const QString& text) {
        SearchColumn(column, text);
        if (keepFocus) box->setFocus();
    };
    QObject::connect(box, &QComboBox::textActivated, box, search);
    QObject::connect(box->lineEdit(), &QLineEdit::textEdited, box, search);
}

// A right-button release on 销售框架 itself, where the grid does not cover it.
class FrameRightButton final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton)
                OnSalesFrameRightButton(mouse->globalPosition().toPoint());
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

SalesPage& TheSalesPage() {
    static SalesPage page;
    return page;
}

void ForgetSalesPage() {
    UnregisterListFill(ListId::Sales);
    TheSalesPage() = SalesPage{};
}

void BuildSalesPage(QFrame* 销售框架, QFrame* 销售图片框, const SalesPageHooks& hooks) {
    SalesPage& page = TheSalesPage();
    page = SalesPage{};
    page.销售框架 = 销售框架;
    page.销售图片框 = 销售图片框;
    page.hooks = hooks;
    QWidget* panel = 销售图片框;

    int y = 8;
    Label(panel, "类别查询：", 2, y, 66);
    page.销售类型查询框 = SearchCombo(panel, u"销售类型查询框", 70, y, 94);
    Label(panel, "商品名称：", 168, y, 66);
    page.销售商品名称框 = Control<QLineEdit>(panel, u"销售商品名称框", 236, y, 94);
    Label(panel, "规格型号：", 334, y, 66);
    page.销售型号框 = Control<QLineEdit>(panel, u"销售型号框", 402, y, 94);
    Label(panel, "商品编码：", 500, y, 66);
    page.销售商品编码框 = Control<QLineEdit>(panel, u"销售商品编码框", 568, y, 94);
    Label(panel, "客户名称：", 666, y, 66);
    page.销售客户名称框 = SearchCombo(panel, u"销售客户名称框", 734, y, 94);
    Label(panel, "备    注：", 832, y, 66);
    page.销售备注框 = Control<QLineEdit>(panel, u"销售备注框", 900, y, 94);

    y = 38;
    page.销售日期框1 = DateBox(panel, u"销售日期框1", 70, y);
    Label(panel, "至", 182, y, 20)->setAlignment(Qt::AlignCenter);
    page.销售日期框2 = DateBox(panel, u"销售日期框2", 204, y);
    page.销售查询按钮 = Button(panel, u"销售查询按钮", "日期查询", 322, y, 72);
    page.销售全部记录按钮 = Button(panel, u"销售全部记录按钮", "显示全部记录", 400, y, 96);
    page.销售显示当天按钮 = Button(panel, u"销售显示当天按钮", "显示当天", 502, y, 72);
    page.销售显示本月按钮 = Button(panel, u"销售显示本月按钮", "显示本月", 580, y, 72);
    page.销售清空条件按钮 = Button(panel, u"销售清空条件按钮", "显示欠款", 658, y, 72);
    page.按钮4 = Button(panel, u"按钮4", "物品销售", 736, y, 72);
    page.客户欠款按钮 = Button(panel, u"客户欠款按钮", "客户欠款", 814, y, 72);

    ConnectSearch(page.销售类型查询框, ledger::kSaleType, false);
    ConnectSearch(page.销售商品名称框, ledger::kSaleName);
    ConnectSearch(page.销售型号框, ledger::kSaleModel);
    ConnectSearch(page.销售商品编码框, ledger::kSaleCode);
    ConnectSearch(page.销售客户名称框, ledger::kSaleCustomerName, true);
    ConnectSearch(page.销售备注框, ledger::kSaleRemark);
    QObject::connect(page.销售查询按钮, &QPushButton::clicked, panel, [] { OnSalesDateQuery(); });
    QObject::connect(page.销售全部记录按钮, &QPushButton::clicked, panel, [] { OnShowAllSales(); });
    QObject::connect(page.销售显示当天按钮, &QPushButton::clicked, panel,
                     [] { OnShowTodaysSales(); });
    QObject::connect(page.销售显示本月按钮, &QPushButton::clicked, panel,
                     [] { OnShowThisMonthsSales(); });
    QObject::connect(page.销售清空条件按钮, &QPushButton::clicked, panel, [] { OnShowDebts(); });
    QObject::connect(page.按钮4, &QPushButton::clicked, panel, [] {
        ShowMessage(QStringLiteral("请到库管窗口选择物品后单击右键菜单里有显示销售！"), 0);
    });
    QObject::connect(page.客户欠款按钮, &QPushButton::clicked, panel,
                     [] { OpenCustomerDebtsWindow(TheSalesPage().hooks.owner); });
    销售框架->installEventFilter(new FrameRightButton(销售框架));
    BuildSalesMenu();
}

void OnSalesDateQuery() {
    const SalesPage& page = TheSalesPage();
    SalesFilter filter;
    filter.kind = SalesFilter::Kind::Between;
    filter.from = page.销售日期框1->date();
    filter.to = page.销售日期框2->date();
    FillSalesGrid(filter);
}

void OnShowAllSales() {
    FillSalesGrid();
}

void OnShowTodaysSales() {
    SalesFilter filter;
    filter.kind = SalesFilter::Kind::OnDay;
    filter.from = CurrentDateTime().date();
    FillSalesGrid(filter);
}

void OnShowThisMonthsSales() {
    SalesFilter filter;
    filter.kind = SalesFilter::Kind::ThisMonth;
    FillSalesGrid(filter);
}

void OnShowDebts() {
    SalesFilter filter;
    filter.kind = SalesFilter::Kind::WithDebt;
    FillSalesGrid(filter);
}
