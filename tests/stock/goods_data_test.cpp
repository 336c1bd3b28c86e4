#include <gtest/gtest.h>

#include <QComboBox>

#include "goods_test_support.h"
#include "ledger/goods_list.h"
#include "platform/combo_fill.h"
#include "platform/skin.h"
#include "platform/skin_caption.h"
#include "stock/delete_goods.h"
#include "store/shared_db.h"

namespace {

using GoodsData = GoodsFixture;

GoodsRow Named(const QString& name, const QString& supplier) {
    GoodsRow row;
    row.名称 = name;
    row.供货商 = supplier;
    row.进货数量 = 2.5;
    row.入库日期 = QDate(2012, 6, 3);
    return row;
}

TEST_F(GoodsData, LoadsARecordByItsId) {
    const QString id = AddGoods(Named("A4纸", "晨光"));
    GoodsRow row;
    ASSERT_TRUE(LoadGoodsRow(id, &row));
    EXPECT_EQ(row.ID, id);
    EXPECT_EQ(row.名称, "A4纸");
    EXPECT_EQ(row.进货数量, 2.5);
    EXPECT_EQ(row.入库日期, QDate(2012, 6, 3));
    EXPECT_FALSE(LoadGoodsRow("99", &row));
    EXPECT_FALSE(LoadGoodsRow("1 or 1=1", &row));
    EXPECT_EQ(row.名称, "A4纸");
}

TEST_F(GoodsData, PickListsHoldTheNonEmptyValuesInResultOrder) {
    AddGoods(Named("纸", "晨光"));
    AddGoods(Named("笔", ""));
    AddGoods(Named("墨", "得力"));
    AddGoods(Named("刀", "晨光"));
    AddGoods(Named("尺", "Deli"));  // one item for the spellings a search does not tell apart
    AddGoods(Named("胶", "deli"));
    QComboBox combo;
    combo.setEditable(true);
    combo.addItem("旧的");
    combo.setEditText("输入");
    QStringList values;
    QString error;
    ASSERT_TRUE(
        ledger::ReadGoodsValues(SharedConnection(), ledger::kGoodsSupplier, &values, &error));
    FillCombo(&combo, values);
    QStringList items;
    for (int i = 0; i < combo.count(); ++i) items << combo.itemText(i);
    EXPECT_EQ(items, QStringList({"Deli", "得力", "晨光"}));
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(combo.currentText(), "");

    // The goods table gone: the pick list comes back empty, with the cause.
    ASSERT_TRUE(SharedConnection().Execute("ALTER TABLE buy RENAME TO buy_away"));
    EXPECT_FALSE(
        ledger::ReadGoodsValues(SharedConnection(), ledger::kGoodsSupplier, &values, &error));
    EXPECT_TRUE(values.isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(GoodsData, DeleteAsksFirstAndKeepsTheRecordUnlessConfirmed) {
    const QString id = AddGoods(Named("纸", "晨光"));
    dialogs_.AnswerSkin(0);
    EXPECT_FALSE(DeleteGoods(id));
    EXPECT_EQ(GoodsCount(), 1);
    ASSERT_EQ(SkinBoxes().size(), 1);
    const ShownBox box = SkinBoxes()[0];
    EXPECT_EQ(box.text, "你确定要删除当前选中的资料吗？\r\n\r\n           一经删除无法恢复");
    EXPECT_EQ(box.caption, ProgramCaption());
    EXPECT_EQ(box.skinType, 0);
    EXPECT_EQ(box.skinIcon, 2);
    ShowMessage("x", 0);  // the same caption as the program's messages
    EXPECT_EQ(SkinBoxes().last().caption, box.caption);

    dialogs_.AnswerSkin(1);
    EXPECT_TRUE(DeleteGoods(id));
    EXPECT_EQ(GoodsCount(), 0);
}

TEST_F(GoodsData, DeleteOfNoRecordAsksNothingAndAGoneRecordIsReported) {
    EXPECT_FALSE(DeleteGoods(""));
    EXPECT_FALSE(DeleteGoods("0"));
    EXPECT_TRUE(dialogs_.Shown().isEmpty());

    dialogs_.AnswerSkin(1);
    EXPECT_FALSE(DeleteGoods("7"));
    EXPECT_EQ(SkinBoxes().size(), 2);  // the question, then the report
}

TEST_F(GoodsData, AFailedDeleteIsReported) {
    const QString id = AddGoods(Named("纸", "晨光"));
    ASSERT_TRUE(SharedConnection().Execute("PRAGMA query_only=1"));
    dialogs_.AnswerSkin(1);
    EXPECT_FALSE(DeleteGoods(id));
    ASSERT_EQ(SkinTexts().size(), 2);
    EXPECT_EQ(SkinTexts()[1], "删除失败，商品资料没有删除");
    ASSERT_TRUE(SharedConnection().Execute("PRAGMA query_only=0"));
    EXPECT_EQ(GoodsCount(), 1);
}

}  // namespace
