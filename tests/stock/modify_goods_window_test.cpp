#include "stock/modify_goods_window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateEdit>
#include <QPointer>

#include "common/name_initials.h"
#include "goods_test_support.h"
#include "ledger/result.h"

namespace {

class ModifyGoods : public GoodsFixture {
  protected:
    // The window is the super administrator's.
    void SetUp() override {
        GoodsFixture::SetUp();
        CurrentSession().userRole = kSuperAdmin;
    }
    // 10 bought at 2, 4 of them sold at 3.
    GoodsRow Sold() {
        GoodsRow row;
        row.名称 = "订书机";
        row.编码 = "DSJ";
        row.类型 = "文具";
        row.进货数量 = 10;
        row.进货单价 = 2;
        row.进货金额 = 20;
        row.销售数量 = 4;
        row.销售单价 = 3;
        row.销售金额 = 12;
        row.存货数量 = 6;
        row.存货金额 = 12;
        row.入库日期 = QDate(2012, 5, 1);
        row.备注 = "旧款";
        row.ID = AddGoods(row);
        return row;
    }
};

TEST_F(ModifyGoods, ShowsTheWholeRecordAndRewritesItKeepingTheSoldQuantity) {
    const GoodsRow row = Sold();
    QPointer<ModifyGoodsWindow> w = OpenModifyGoodsWindow(owner_.get(), row);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "新建入库");
    EXPECT_EQ(TextOf(w, "数量框"), "10");
    EXPECT_EQ(TextOf(w, "备注框"), "旧款");
    EXPECT_EQ(TextOf(w, "编码组合框"), "DSJ");
    EXPECT_EQ(w->findChild<QDateEdit*>("日期框1")->date(), QDate(2012, 5, 1));

    GoodsRow other = row;  // loaded meanwhile: the window stays with its own record
    other.ID = AddGoods(other);
    ASSERT_TRUE(LoadGoodsRow(other.ID, &other));

    // A return of 7 to the supplier leaves 3 bought, fewer than the 4 sold.
    Type(w, "数量框", "3");
    Type(w, "名称组合框", "O'Neil's 订书机");
    w->findChild<QDateEdit*>("日期框1")->setDate(QDate(2012, 6, 1));
    Click(w, "按钮2");

    const GoodsRow stored = Stored(row.ID);
    EXPECT_EQ(stored.名称, "O'Neil's 订书机");
    EXPECT_EQ(stored.进货数量, 3);
    EXPECT_EQ(stored.进货金额, 6);
    EXPECT_EQ(stored.销售数量, 4);
    EXPECT_EQ(stored.销售金额, 12);
    EXPECT_EQ(stored.存货数量, -1);
    EXPECT_EQ(stored.存货金额, -2);
    EXPECT_EQ(stored.入库日期, QDate(2012, 5, 1));  // a date changed here is not stored
    EXPECT_EQ(Stored(other.ID).名称, "订书机");
    DbRecordSet records;
    records.Open("select 首拼 from buy where ID=?", SharedConnection(), true, {row.ID});
    EXPECT_EQ(FieldText(records, "首拼"), NameInitials("O'Neil's 订书机"));

    EXPECT_EQ(SkinTexts(), QStringList({"修改商品完成"}));
    EXPECT_EQ(SkinBoxes()[0].skinIcon, 1);
    EXPECT_EQ(refreshed_, QStringList({"Stock", "PickLists", "Summary"}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(w);
}

TEST_F(ModifyGoods, AFailedUpdateIsReportedWithoutSuccessOrRefresh) {
    const GoodsRow row = Sold();
    ModifyGoodsWindow* w = OpenModifyGoodsWindow(owner_.get(), row);
    Type(w, "名称组合框", QString(51, u'订'));
    Click(w, "按钮2");
    EXPECT_EQ(Stored(row.ID).名称, "订书机");
    ASSERT_EQ(SkinTexts().size(), 1);
    EXPECT_NE(SkinTexts()[0], "修改商品完成");
    EXPECT_TRUE(refreshed_.isEmpty());
    EXPECT_TRUE(w->isVisible());

    // Another till restocked since the window opened: its restock is not overwritten.
    ASSERT_TRUE(SharedConnection().Execute(
        "update buy set 进货数量 = 进货数量 + 5, 存货数量 = 存货数量 + 5 where ID=?", {row.ID}));
    Type(w, "名称组合框", "订书机");
    Click(w, "按钮2");
    EXPECT_EQ(Stored(row.ID).进货数量, 15);
    ASSERT_EQ(SkinTexts().size(), 2);
    EXPECT_EQ(SkinTexts()[1], RecordChangedText("这件商品"));
    EXPECT_TRUE(refreshed_.isEmpty());
}

TEST_F(ModifyGoods, OpensOnlyForARecordAndOnlyOnce) {
    EXPECT_EQ(OpenModifyGoodsWindow(owner_.get(), GoodsRow{}), nullptr);
    const GoodsRow row = Sold();
    ModifyGoodsWindow* first = OpenModifyGoodsWindow(owner_.get(), row);
    ASSERT_NE(first, nullptr);
    GoodsRow other = row;
    other.ID = AddGoods(other);
    EXPECT_EQ(OpenModifyGoodsWindow(owner_.get(), other), first);
    EXPECT_EQ(first->RecordId(), row.ID);
}

}  // namespace
