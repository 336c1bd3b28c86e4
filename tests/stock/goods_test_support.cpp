#include "goods_test_support.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "platform/list_refresh.h"
#include "platform/skin.h"
#include "stock/goods_refresh.h"
#include "store/shared_db.h"

namespace {
const std::pair<ListId, const char*> kLists[] = {{ListId::Stock, "Stock"},
                                                 {ListId::Sales, "Sales"},
                                                 {ListId::Other, "Other"},
                                                 {ListId::Summary, "Summary"}};
}  // namespace

void GoodsFixture::SetUp() {
    ProgramFixture::SetUp();
    Provision();
    owner_ = std::make_unique<QWidget>();
    owner_->resize(800, 600);
    Skin::Instance().Attach(owner_.get());
    owner_->show();
    for (const auto& [list, name] : kLists) {
        RegisterListFill(list, [this, name = QString(name)] { refreshed_ << name; });
    }
    SetStockPickListReloader([this] { refreshed_ << "PickLists"; });
}

void GoodsFixture::TearDown() {
    SetStockPickListReloader({});
    for (const auto& entry : kLists) UnregisterListFill(entry.first);
    Skin::Instance().Detach();
    owner_.reset();  // and with it every window it owns
    ProgramFixture::TearDown();
}

QString GoodsFixture::AddGoods(const GoodsRow& r) {
    DbRecordSet records;
    const bool added =
        records.Open("buy", SharedConnection()) && records.AddNew() &&
        records.SetFieldByName("名称", r.名称) && records.SetFieldByName("型号", r.型号) &&
        records.SetFieldByName("编码", r.编码) && records.SetFieldByName("类型", r.类型) &&
        records.SetFieldByName("进货数量", r.进货数量) &&
        records.SetFieldByName("进货单价", r.进货单价) &&
        records.SetFieldByName("进货金额", r.进货金额) &&
        records.SetFieldByName("销售数量", r.销售数量) &&
        records.SetFieldByName("销售单价", r.销售单价) &&
        records.SetFieldByName("销售金额", r.销售金额) &&
        records.SetFieldByName("存货数量", r.存货数量) &&
        records.SetFieldByName("存货金额", r.存货金额) &&
        records.SetFieldByName("入库日期", r.入库日期) &&
        records.SetFieldByName("供货商", r.供货商) && records.SetFieldByName("备注", r.备注) &&
        records.Update();
    EXPECT_TRUE(added) << records.GetLastError().toStdString();
    return FieldText(records, "ID");
}

GoodsRow GoodsFixture::Stored(const QString& id) {
    // Read as the super administrator, who is given the cost figures as well.
    const QString role = CurrentSession().userRole;
    CurrentSession().userRole = kSuperAdmin;
    GoodsRow row;
    EXPECT_TRUE(LoadGoodsRow(id, &row)) << id.toStdString();
    CurrentSession().userRole = role;
    return row;
}

int GoodsFixture::GoodsCount() {
    DbRecordSet records;
    records.Open("buy", SharedConnection());
    return records.GetRecordCount();
}

void GoodsFixture::Type(QWidget* window, const char* name, const QString& text) {
    QWidget* box = window->findChild<QWidget*>(name);
    ASSERT_NE(box, nullptr) << name;
    if (auto* combo = qobject_cast<QComboBox*>(box)) box = combo->lineEdit();
    auto* edit = qobject_cast<QLineEdit*>(box);
    ASSERT_NE(edit, nullptr) << name;
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    // One key per character with its text, the way an input method delivers hanzi too.
    for (QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

void GoodsFixture::Click(QWidget* window, const char* name) {
    QWidget* button = window->findChild<QWidget*>(name);
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

QString GoodsFixture::TextOf(QWidget* window, const char* name) {
    QWidget* box = window->findChild<QWidget*>(name);
    if (auto* combo = qobject_cast<QComboBox*>(box)) return combo->currentText();
    if (auto* edit = qobject_cast<QLineEdit*>(box)) return edit->text();
    ADD_FAILURE() << "no box " << name;
    return QString();
}

QList<ShownBox> GoodsFixture::SkinBoxes() const {
    QList<ShownBox> boxes;
    for (const ShownBox& box : dialogs_.Shown())
        if (box.kind == ShownBox::Kind::Skin) boxes << box;
    return boxes;
}

QStringList GoodsFixture::SkinTexts() const {
    QStringList texts;
    for (const ShownBox& box : SkinBoxes()) texts << box.text;
    return texts;
}
