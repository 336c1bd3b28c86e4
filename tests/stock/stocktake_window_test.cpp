#include "stock/stocktake_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "common/session.h"
#include "goods_test_support.h"
#include "ledger/sales.h"
#include "platform/record_grid.h"
#include "support/workbook_reader.h"

namespace {

class Stocktaking : public GoodsFixture {
  protected:
    void SetUp() override {
        GoodsFixture::SetUp();
        LogIn(kOrdinaryUser);
        pen_ = AddGoods(Goods("圆珠笔", "6901", 10, 2));
        ink_ = AddGoods(Goods("墨水", "6902", 5, 3));
    }

    static void LogIn(const QString& role) {
        CurrentSession().userName = role == kSuperAdmin ? kSuperAdmin : QStringLiteral("店员");
        CurrentSession().userRole = role;
    }

    static GoodsRow Goods(const char* name, const char* code, double stock, double cost) {
        GoodsRow row;
        row.名称 = QString::fromUtf8(name);
        row.编码 = QString::fromUtf8(code);
        row.类型 = QStringLiteral("文具");
        row.进货数量 = row.存货数量 = stock;
        row.进货单价 = cost;
        row.进货金额 = row.存货金额 = stock * cost;
        row.销售单价 = 5;
        row.入库日期 = QDate(2012, 5, 1);
        return row;
    }

    static void Scan(StocktakeWindow* w, const QString& code) {
        w->扫描框->setText(code);
        QTest::keyClick(w->扫描框, Qt::Key_Return);
    }

    // The grid row of the goods named name, -1 for none.
    static int RowOf(RecordGrid* g, const QString& name) {
        for (int row = 2; row < g->Rows() - 1; ++row)
            if (g->CellText(row, ledger::kTakeName + 1) == name) return row;
        return -1;
    }

    QString pen_;
    QString ink_;
};

TEST_F(Stocktaking, ScannedCodesAreCountedKeptAcrossWindowsAndBookedByTheSuperAdministrator) {
    StocktakeWindow* w = OpenStocktakeWindow(owner_.get());
    w->范围框->setCurrentIndex(0);
    w->OnStart();
    for (const char* code : {"6901", "6901", "6901", "12345"}) Scan(w, code);
    EXPECT_TRUE(SkinTexts().last().contains("12345")) << SkinTexts().last().toStdString();
    ASSERT_EQ(w->未知编码框->count(), 1);
    EXPECT_EQ(w->未知编码框->item(0)->text(), QStringLiteral("12345（1）"));

    // An ordinary user counts and saves, but sees no purchase price and books nothing.
    RecordGrid* g = w->盘点表;
    const int penRow = RowOf(g, "圆珠笔");
    ASSERT_GE(penRow, 2);
    EXPECT_EQ(g->CellText(penRow, ledger::kTakeBook + 1), "10");
    EXPECT_EQ(g->CellText(penRow, ledger::kTakeCounted + 1), "3");
    EXPECT_EQ(g->CellText(penRow, ledger::kTakeDifference + 1), "-7");
    EXPECT_EQ(g->CellText(penRow, ledger::kTakeCost + 1), "");
    EXPECT_EQ(g->Column(ledger::kTakeValue + 1).Width(), 0);
    EXPECT_FALSE(w->确认按钮->isVisible());
    EXPECT_FALSE(w->盘点合计->text().contains("金额"));
    w->ChooseRow(RowOf(g, "墨水"));
    Type(w, "数量框", "4");
    Click(w, "数量按钮");
    EXPECT_EQ(g->CellText(RowOf(g, "墨水"), ledger::kTakeCounted + 1), "4");
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // A sale between the count and the booking is kept.
    SaleInput sale;
    sale.goodsId = pen_;
    sale.名称 = QStringLiteral("圆珠笔");
    sale.销售数量 = 2;
    sale.销售金额 = 10;
    sale.销售日期 = QDate(2012, 6, 1);
    ASSERT_TRUE(ledger::RecordSale(SharedConnection(), sale).IsDone());

    LogIn(kSuperAdmin);
    w = OpenStocktakeWindow(owner_.get());
    EXPECT_TRUE(w->盘点信息->text().contains("第 1 次盘点")) << w->盘点信息->text().toStdString();
    EXPECT_FALSE(w->开始按钮->isEnabled());
    EXPECT_EQ(w->未知编码框->count(), 1);
    // Missing 7 pens at 2 and an ink at 3.
    EXPECT_TRUE(w->盘点合计->text().contains("盘亏金额 17")) << w->盘点合计->text().toStdString();
    ASSERT_TRUE(w->确认按钮->isVisible());
    dialogs_.AnswerSkin(1);
    refreshed_.clear();
    w->OnBook();
    EXPECT_EQ(Stored(pen_).存货数量, 1);  // 10 − 2 sold − 7 missing
    EXPECT_EQ(Stored(pen_).存货金额, 2);
    EXPECT_EQ(Stored(ink_).存货数量, 4);
    EXPECT_EQ(refreshed_, QStringList({"Stock", "Summary"}));
    EXPECT_FALSE(w->扫描框->isEnabled());
    EXPECT_FALSE(w->确认按钮->isEnabled());
    EXPECT_TRUE(w->盘点信息->text().contains("确认入账"));

    // The booked stocktake, with its figures, is listed and exported.
    StocktakeRecordsWindow* records = OpenStocktakeRecordsWindow(w);
    ASSERT_EQ(records->记录表->Rows(), 4);  // two header rows, one stocktake, the totals
    EXPECT_EQ(records->记录表->CellText(2, ledger::kBookedLossAmount + 1), "17");
    EXPECT_EQ(records->明细表->Rows(), 5);  // its two lines
    CurrentSession().selectedRow = 2;
    dialogs_.AnswerFile(File("盘点.xlsx"));
    records->OnExport(records->明细表);
    EXPECT_EQ(SkinTexts().last(), "输出Excel成功");
    const QStringList texts = ReadSheet(File("盘点.xlsx")).Texts();
    for (const char* text : {"圆珠笔", "墨水", "-7", "-14"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(text))) << text;
}

}  // namespace
