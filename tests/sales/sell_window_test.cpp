#include "sales/sell_window.h"

#include <gtest/gtest-spi.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "common/date_text.h"
#include "common/session.h"
#include "platform/up_down_arrows.h"
#include "sales/sales_page.h"
#include "sales/scan_batch.h"
#include "sales_fixture.h"
#include "store/shared_db.h"

namespace {

class SellTest : public SalesFixture {
  protected:
    void SetUp() override {
        SalesFixture::SetUp();
        LogRefills();
    }
    void TearDown() override {
        SetScanBatchMode(false);
        SetAutoConfirmSale(false);
        SalesFixture::TearDown();
    }

    // Opens the sell window for the goods (none for an empty id), runs action in it and
    // returns the window's result.
    int RunSale(const QString& goodsId, const std::function<void(SellWindow*)>& action) {
        GoodsRow row;
        if (!goodsId.isEmpty()) row = Goods(goodsId);
        dialogs_.OnWindow([&](QDialog* dialog) {
            auto* window = qobject_cast<SellWindow*>(dialog);
            ASSERT_NE(window, nullptr);
            window->show();
            action(window);
        });
        return OpenSellWindow(window_.get(), goodsId.isEmpty() ? nullptr : &row);
    }

    static void Step(UpDownArrows* arrows, bool up) {
        QTest::mouseClick(up ? arrows->UpButton() : arrows->DownButton(), Qt::LeftButton);
    }
};

TEST_F(SellTest, TheWindowShowsTheGoodsBesideTheMainWindowsRightEdge) {
    const QString id = AddGoods("圆珠笔", 3, "YZB");
    RunSale(id, [&](SellWindow* w) {
        EXPECT_EQ(w->windowTitle(), "商品销售");
        EXPECT_EQ(w->size(), QSize(334, 469));
        EXPECT_EQ(w->frameGeometry().x(), 50 + 1028 - w->frameGeometry().width() - 6);
        EXPECT_EQ(TextOf(w, "名称标签"), "圆珠笔");
        EXPECT_EQ(TextOf(w, "型号标签"), "B2");
        EXPECT_EQ(TextOf(w, "编码标签"), "YZB");
        EXPECT_EQ(TextOf(w, "类型标签"), "文具");
        EXPECT_EQ(TextOf(w, "销售单价标签"), "12.5");
        EXPECT_EQ(TextOf(w, "实际零售价框"), "12.5");
        EXPECT_EQ(TextOf(w, "打折框"), "100");
        EXPECT_EQ(TextOf(w, "销售数量框"), "1");
        EXPECT_EQ(TextOf(w, "库存框"), "3");
        EXPECT_EQ(TextOf(w, "销售金额框"), "12.5");
        EXPECT_EQ(TextOf(w, "客户编号框"), "2012615937");  // 2012-06-15 09:03:07
        EXPECT_EQ(w->日期框1->date(), QDate(2012, 6, 15));
        EXPECT_FALSE(w->时钟1->isActive());
    });
    ASSERT_EQ(dialogs_.Shown().size(), 1);
    EXPECT_EQ(dialogs_.Shown()[0].kind, ShownBox::Kind::Window);
}

TEST_F(SellTest, ASaleTakesItsQuantityOffTheStockAndRecordsItsProfit) {
    const QString id = AddGoods("圆珠笔", 3, "YZB");
    const int result = RunSale(id, [&](SellWindow* w) {
        Type(w, "销售数量框", "3");  // all of the stock
        Type(w, "欠款金额框", "5");
        Type(w, "客户姓名框", "张三");
        Type(w, "备注框", "月结");
        Click(w, "按钮1");
    });
    EXPECT_EQ(result, QDialog::Accepted);
    const GoodsRow goods = Goods(id);
    EXPECT_EQ(goods.存货数量, 0);
    EXPECT_EQ(goods.存货金额, 0);
    EXPECT_EQ(goods.销售数量, 3);
    EXPECT_EQ(goods.销售金额, 37.5);
    EXPECT_EQ(goods.进货数量, 3);
    ASSERT_EQ(SaleCount(), 1);
    EXPECT_EQ(StoredSaleText("1", "名称"), "圆珠笔");
    EXPECT_EQ(StoredSaleText("1", "进货单价"), "8.0");
    EXPECT_EQ(StoredSaleText("1", "存货数量"), "0.0");
    EXPECT_EQ(StoredSaleText("1", "销售金额"), "37.5");
    EXPECT_EQ(StoredSaleText("1", "欠款额"), "5.0");
    EXPECT_EQ(StoredSaleText("1", "净利润"), "13.5");
    EXPECT_EQ(StoredSaleText("1", "销售日期"), "2012-06-15");  // no time of day
    EXPECT_EQ(StoredSaleText("1", "客户编号"), "2012615937");
    EXPECT_EQ(StoredSaleText("1", "客户名称"), "张三");
    EXPECT_EQ(StoredSaleText("1", "备注"), "月结");
    EXPECT_EQ(StoredSaleText("1", "首拼"), "YZB");
    EXPECT_EQ(StoredSaleText("1", "UID"), id);
    EXPECT_EQ(SkinTexts(), QStringList{"销售商品完成"});
    EXPECT_EQ(dialogs_.Shown().last().caption, "提示");
    EXPECT_EQ(refreshed_, (QStringList{"Stock", "Sales", "Summary"}));  // a sale has no other
}

TEST_F(SellTest, AZeroEmptyOrNonNumericQuantityIsRefused) {
    const QString id = AddGoods("圆珠笔", 3);
    const int result = RunSale(id, [&](SellWindow* w) {
        for (const char* quantity : {"0", "", "abc"}) {
            Type(w, "销售数量框", quantity);
            Click(w, "按钮1");
            EXPECT_EQ(LastSkinText(), "销售数量不能是0") << quantity;
        }
        Type(w, "销售数量框", "4");
        Click(w, "按钮1");
        EXPECT_EQ(LastSkinText(), "库存不足，无法销售");
        EXPECT_TRUE(w->isVisible());
    });
    EXPECT_NE(result, QDialog::Accepted);
    EXPECT_EQ(SaleCount(), 0);
    EXPECT_EQ(Goods(id).存货数量, 3);
    EXPECT_TRUE(refreshed_.isEmpty());
}

TEST_F(SellTest, TheStoredStockDecidesEvenWhenTheStockBoxWasEditedOrIsOutOfDate) {
    const QString id = AddGoods("圆珠笔", 2);
    RunSale(id, [&](SellWindow* w) {
        // Another till sells one meanwhile; the user types a larger stock.
        ASSERT_TRUE(SharedConnection().Execute("update buy set 销售数量=1, 存货数量=1"));
        Type(w, "库存框", "50");
        Type(w, "销售数量框", "2");
        Click(w, "按钮1");
        EXPECT_EQ(LastSkinText(), "库存不足，无法销售");
        EXPECT_TRUE(w->isVisible());
    });
    EXPECT_EQ(SaleCount(), 0);
    EXPECT_EQ(Goods(id).存货数量, 1);
}

TEST_F(SellTest, ANegativeQuantityIsRecordedWithItsSignAndRaisesTheStock) {
    const QString id = AddGoods("圆珠笔", 3);
    RunSale(id, [&](SellWindow* w) {
        Type(w, "销售数量框", "-2");
        Click(w, "按钮1");
    });
    EXPECT_EQ(Goods(id).存货数量, 5);
    EXPECT_EQ(Goods(id).销售数量, -2);
    EXPECT_EQ(StoredSaleText("1", "销售数量"), "-2.0");
    EXPECT_EQ(StoredSaleText("1", "销售金额"), "-25.0");
}

TEST_F(SellTest, WithoutASourceRowTheStockStaysAStarAndNothingCanBeSold) {
    AddGoods("圆珠笔", 3);
    RunSale(QString(), [&](SellWindow* w) {
        EXPECT_EQ(TextOf(w, "库存框"), "*");
        EXPECT_EQ(TextOf(w, "销售数量框"), "*");  // lowered to the stock shown
        EXPECT_EQ(TextOf(w, "名称标签"), "");
        EXPECT_EQ(TextOf(w, "销售单价标签"), "100");
        Click(w, "按钮1");
        EXPECT_EQ(LastSkinText(), "销售数量不能是0");
        Type(w, "销售数量框", "1");
        Click(w, "按钮1");
        EXPECT_EQ(LastSkinText(), "错误代码 [083]");
        Type(w, "销售数量框", "-1");
        Click(w, "按钮1");
        EXPECT_EQ(LastSkinText(), "错误代码 [083]");
    });
    EXPECT_EQ(SaleCount(), 0);
}

TEST_F(SellTest, AStockBelowOneLowersTheDefaultQuantity) {
    const QString id = AddGoods("布", 0.5);
    RunSale(id, [&](SellWindow* w) {
        EXPECT_EQ(TextOf(w, "销售数量框"), "0.5");
        EXPECT_EQ(TextOf(w, "销售金额框"), "6.25");
    });
}

TEST_F(SellTest, TheDiscountSetsThePriceAndItsSpinnerStopsAtAHundred) {
    const QString id = AddGoods("圆珠笔", 3);
    RunSale(id, [&](SellWindow* w) {
        Type(w, "打折框", "90");
        EXPECT_EQ(TextOf(w, "实际零售价框"), "11.25");
        EXPECT_EQ(TextOf(w, "销售金额框"), "11.25");
        Type(w, "打折框", "97");
        Step(w->调节器1, true);
        EXPECT_EQ(TextOf(w, "打折框"), "102");
        EXPECT_EQ(TextOf(w, "实际零售价框"), "12.75");
        Step(w->调节器1, true);
        EXPECT_EQ(TextOf(w, "打折框"), "102");
        Type(w, "打折框", "3");
        Step(w->调节器1, false);
        EXPECT_EQ(TextOf(w, "打折框"), "-2");  // no floor
        EXPECT_EQ(TextOf(w, "实际零售价框"), "-0.25");
    });
}

TEST_F(SellTest, TheQuantitySpinnerStaysBetweenZeroAndTheStock) {
    const QString id = AddGoods("圆珠笔", 2);
    RunSale(id, [&](SellWindow* w) {
        Step(w->调节器2, true);
        EXPECT_EQ(TextOf(w, "销售数量框"), "2");
        EXPECT_EQ(TextOf(w, "销售金额框"), "25");
        Step(w->调节器2, true);
        EXPECT_EQ(TextOf(w, "销售数量框"), "2");
        Type(w, "销售数量框", "7");
        Step(w->调节器2, false);  // first back to the stock, then one less
        EXPECT_EQ(TextOf(w, "销售数量框"), "1");
        Step(w->调节器2, false);
        Step(w->调节器2, false);
        EXPECT_EQ(TextOf(w, "销售数量框"), "0");
        EXPECT_EQ(TextOf(w, "销售金额框"), "0");
    });
}

TEST_F(SellTest, TheProfitIsThatOfTheAmountCharged) {
    const QString id = AddGoods("圆珠笔", 3);
    RunSale(id, [&](SellWindow* w) {
        Type(w, "销售数量框", "2");
        Type(w, "销售金额框", "20");
        Click(w, "按钮1");
    });
    EXPECT_EQ(StoredSaleText("1", "销售金额"), "20.0");
    EXPECT_EQ(StoredSaleText("1", "净利润"), "4.0");  // 20 - 8 × 2
    EXPECT_EQ(Goods(id).销售金额, 20);
}

TEST_F(SellTest, AFailedSalesRowLeavesTheGoodsAsTheyWere) {
    const QString id = AddGoods("圆珠笔", 3);
    const GoodsRow before = Goods(id);
    const int result = RunSale(id, [&](SellWindow* w) {
        Type(w, "备注框", QString(51, u'长'));
        Click(w, "按钮1");
        EXPECT_TRUE(w->isVisible());
    });
    EXPECT_NE(result, QDialog::Accepted);
    EXPECT_EQ(SkinTexts(), QStringList{"错误代码 [071]\r\n备注不能超过50个字"});
    const GoodsRow after = Goods(id);
    EXPECT_EQ(after.存货数量, before.存货数量);
    EXPECT_EQ(after.存货金额, before.存货金额);
    EXPECT_EQ(after.销售数量, before.销售数量);
    EXPECT_EQ(after.销售金额, before.销售金额);
    EXPECT_EQ(SaleCount(), 0);
    EXPECT_TRUE(refreshed_.isEmpty());
}

TEST_F(SellTest, TheSaleActsOnTheGoodsTheWindowWasOpenedFor) {
    const QString pen = AddGoods("圆珠笔", 3);
    const QString ink = AddGoods("墨水", 3);
    CurrentSession().selectedId = ink;  // a later click elsewhere
    RunSale(pen, [&](SellWindow* w) { Click(w, "按钮1"); });
    EXPECT_EQ(Goods(pen).存货数量, 2);
    EXPECT_EQ(Goods(ink).存货数量, 3);
}

TEST_F(SellTest, APickedCustomerBringsItsPhoneAndAddressUnlessTheNameIsShared) {
    const QString id = AddGoods("圆珠笔", 3);
    ASSERT_TRUE(SharedConnection().Execute(
        "insert into customer (名称, 联系方式, 地址) values ('张三', '138', '东街'), "
        "('李四', '139', '西街'), ('李四', '137', '南街')"));
    RunSale(id, [&](SellWindow* w) {
        emit w->客户姓名框->textActivated("张三");
        EXPECT_EQ(TextOf(w, "联系方式框"), "138");
        EXPECT_EQ(w->客户地址框->currentText(), "东街");
        emit w->客户姓名框->textActivated("李四");  // which one is for the user to say
        EXPECT_EQ(TextOf(w, "联系方式框"), "138");
        EXPECT_EQ(w->客户地址框->currentText(), "东街");
    });
}

TEST_F(SellTest, ACustomerNameWithAQuoteIsStoredListedAndFound) {
    const QString id = AddGoods("圆珠笔", 3);
    RunSale(id, [&](SellWindow* w) {
        Type(w, "客户姓名框", "O'Neil");
        Type(w, "客户地址框", "K'Road 1");
        Click(w, "按钮1");
    });
    EXPECT_EQ(StoredSaleText("1", "客户名称"), "O'Neil");
    RunSale(id, [&](SellWindow* w) {
        EXPECT_EQ(w->客户姓名框->itemText(0), "O'Neil");
        EXPECT_EQ(w->客户地址框->itemText(0), "K'Road 1");
        EXPECT_EQ(w->客户姓名框->currentText(), "");
    });
    OpenGrid();
    Type(销售图片框, "销售客户名称框", "O'N");
    EXPECT_EQ(GridColumn(14), QStringList{"O'Neil"});
}

TEST_F(SellTest, InTheScanBatchTheFirstTickConfirmsOnceAndQuietly) {
    const QString id = AddGoods("圆珠笔", 3);
    SetScanBatchMode(true);
    SetAutoConfirmSale(true);
    const int result = RunSale(id, [&](SellWindow* w) {
        EXPECT_TRUE(w->时钟1->isActive());
        EXPECT_EQ(w->时钟1->interval(), 1000);
        w->On时钟1Tick();
        w->On时钟1Tick();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(SaleCount(), 1);
    EXPECT_TRUE(SkinTexts().isEmpty());  // no "销售商品完成" in the batch
    EXPECT_EQ(Goods(id).存货数量, 2);
}

TEST_F(SellTest, AnAutomaticConfirmationThatFailsIsNotTriedAgain) {
    const QString id = AddGoods("圆珠笔", 0);
    SetScanBatchMode(true);
    SetAutoConfirmSale(true);
    RunSale(id, [&](SellWindow* w) {
        w->On时钟1Tick();
        EXPECT_EQ(SkinTexts(), QStringList{"销售数量不能是0"});
        EXPECT_FALSE(w->时钟1->isActive());
        Type(w, "销售数量框", "-1");
        w->On时钟1Tick();
        EXPECT_EQ(SkinTexts().size(), 1);
        EXPECT_TRUE(w->isVisible());
    });
    EXPECT_EQ(SaleCount(), 0);
}

TEST_F(SellTest, ScriptedAnswersThatNoWindowTookFailTheTest) {
    // As when the sell window returns before its modal loop: the checks of its action never
    // run, and the test must not pass for it.
    dialogs_.OnWindow([](QDialog*) { ADD_FAILURE() << "no window opens in this test"; });
    dialogs_.AnswerSystem(BoxAnswer::Cancel);
    testing::TestPartResultArray failures;
    {
        testing::ScopedFakeTestPartResultReporter intercept(&failures);
        dialogs_.ExpectAllUsed();
    }
    ASSERT_EQ(failures.size(), 1);
    const std::string message = failures.GetTestPartResult(0).message();
    EXPECT_NE(message.find("1 system box answer(s) not used"), std::string::npos) << message;
    EXPECT_NE(message.find("1 window action(s) not used"), std::string::npos) << message;
}

TEST_F(SellTest, AMissingGoodsRowIsReportedByItsCode) {
    SaleInput sale;
    sale.goodsId = "77";
    sale.销售数量 = 1;
    sale.shownStock = 1;
    EXPECT_FALSE(SaleTransaction(sale));
    EXPECT_EQ(SkinTexts(), QStringList{"错误代码 [083]"});
    EXPECT_EQ(SaleCount(), 0);
}

}  // namespace
