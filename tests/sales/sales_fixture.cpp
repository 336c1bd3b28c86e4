#include "sales_fixture.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "common/session.h"
#include "platform/skin.h"
#include "sales/sales_page.h"
#include "store/shared_db.h"

namespace {
const std::pair<ListId, const char*> kLists[] = {{ListId::Stock, "Stock"},
                                                 {ListId::Sales, "Sales"},
                                                 {ListId::Other, "Other"},
                                                 {ListId::Summary, "Summary"}};
}  // namespace

void SalesFixture::SetUp() {
    ProgramFixture::SetUp();
    Provision();
    window_ = std::make_unique<QWidget>();
    window_->setGeometry(50, 50, 1028, 681);
    销售框架 = new QFrame(window_.get());
    销售框架->setGeometry(10, 36, 1008, 530);
    销售图片框 = new QFrame(window_.get());
    销售图片框->setGeometry(13, 568, 1002, 70);
    // Built before the window is shown, as the main window builds its pages.
    BuildSalesPage(销售框架, 销售图片框, SalesPageHooks{window_.get()});
    Skin::Instance().Attach(window_.get());
    window_->show();
}

void SalesFixture::TearDown() {
    for (const auto& entry : kLists) UnregisterListFill(entry.first);
    Skin::Instance().Detach();
    ForgetSalesPage();
    window_.reset();  // and with it every window it owns
    ProgramFixture::TearDown();
}

void SalesFixture::LogInAsSuperAdmin() {
    CurrentSession().userName = kSuperAdmin;
    CurrentSession().userRole = kSuperAdmin;
}

void SalesFixture::LogRefills() {
    for (const auto& [list, name] : kLists) {
        RegisterListFill(list, [this, name = QString(name)] { refreshed_ << name; });
    }
}

QString SalesFixture::AddGoods(const QString& name, double stock, const QString& initials) {
    EXPECT_TRUE(SharedConnection().Execute(
        "insert into buy (名称, 型号, 编码, 类型, 进货数量, 进货单价, 进货金额, 销售单价, "
        "存货数量, 存货金额, 首拼) values (?, 'B2', 'YZB', '文具', ?, 8, ?, 12.5, ?, ?, ?)",
        {name, stock, stock * 8, stock, stock * 8, initials}));
    DbRecordSet records;
    records.Open("select max(ID) as id from buy", SharedConnection(), true);
    return FieldText(records, "id");
}

GoodsRow SalesFixture::Goods(const QString& id) {
    GoodsRow row;
    EXPECT_TRUE(LoadGoodsRow(id, &row)) << id.toStdString();
    return row;
}

QString SalesFixture::AddSale(const SaleRow& s) {
    EXPECT_TRUE(SharedConnection().Execute(
        "insert into sell (名称, 型号, 编码, 类型, 销售单价, 销售数量, 销售金额, 欠款额, 净利润, "
        "销售日期, 客户名称, 备注, 首拼, UID) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        {s.名称, s.型号, s.编码, s.类型, s.销售单价, s.销售数量, s.销售金额, s.欠款额, s.净利润,
         s.销售日期, s.客户名称, s.备注, s.首拼, s.UID.toLongLong()}))
        << SharedConnection().GetErrorDescription().toStdString();
    DbRecordSet records;
    records.Open("select max(ID) as id from sell", SharedConnection(), true);
    return FieldText(records, "id");
}

int SalesFixture::SaleCount() {
    DbRecordSet records;
    records.Open("sell", SharedConnection());
    return records.GetRecordCount();
}

QString SalesFixture::StoredSaleText(const QString& id, const QString& column) {
    DbRecordSet records;
    records.Open(QStringLiteral("select CAST(%1 AS TEXT) as v from sell where ID=?").arg(column),
                 SharedConnection(), true, {id});
    return records.GetFieldByName("v").toString();
}

RecordGrid* SalesFixture::OpenGrid(int height) {
    CreateSalesGrid(1008, height);
    return SalesGrid();
}

QStringList SalesFixture::GridColumn(int col) {
    QStringList texts;
    RecordGrid* g = SalesGrid();
    for (int r = 2; r < g->Rows() - 1; ++r) texts << g->CellText(r, col);
    return texts;
}

void SalesFixture::Type(QWidget* window, const char* name, const QString& text) {
    QWidget* box = window->findChild<QWidget*>(name);
    ASSERT_NE(box, nullptr) << name;
    if (auto* combo = qobject_cast<QComboBox*>(box)) box = combo->lineEdit();
    auto* edit = qobject_cast<QLineEdit*>(box);
    ASSERT_NE(edit, nullptr) << name;
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    // One key per character with its text, the way an input method delivers hanzi too.
    for (QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

void SalesFixture::Click(QWidget* window, const char* name) {
    QWidget* button = window->findChild<QWidget*>(name);
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

QString SalesFixture::TextOf(QWidget* window, const char* name) {
    QWidget* box = window->findChild<QWidget*>(name);
    if (auto* combo = qobject_cast<QComboBox*>(box)) return combo->currentText();
    if (auto* edit = qobject_cast<QLineEdit*>(box)) return edit->text();
    if (auto* label = qobject_cast<QLabel*>(box)) return label->text();
    ADD_FAILURE() << "no box " << name;
    return QString();
}

void SalesFixture::RightClick(int row, int col) {
    RecordGrid* g = SalesGrid();
    const QPoint at = g->CellRect(row, col).center() - g->viewport()->pos();
    QTest::mouseClick(g->viewport(), Qt::RightButton, {}, at);
}

void SalesFixture::DoubleClick(int row, int col) {
    RecordGrid* g = SalesGrid();
    const QPoint at = g->CellRect(row, col).center() - g->viewport()->pos();
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, at);
}

QStringList SalesFixture::SkinTexts() const {
    QStringList texts;
    for (const ShownBox& box : dialogs_.Shown())
        if (box.kind == ShownBox::Kind::Skin) texts << box.text;
    return texts;
}

QString SalesFixture::LastSkinText() const {
    const QStringList texts = SkinTexts();
    return texts.isEmpty() ? QString() : texts.last();
}
