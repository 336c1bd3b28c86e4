#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "common/date_text.h"
#include "common/session.h"
#include "ledger/sales.h"
#include "sales/customer_debts_window.h"
#include "sales/payment_window.h"
#include "sales/sales_page.h"
#include "sales_fixture.h"
#include "store/shared_db.h"
#include "support/workbook_reader.h"

namespace {

class CustomerDebtsTest : public SalesFixture {
  protected:
    void SetUp() override {
        SalesFixture::SetUp();
        LogRefills();
        SetNowForTest(QDateTime(QDate(2024, 4, 1), QTime(10, 30)));
        goods_ = AddGoods("圆珠笔", 100);
    }
    void TearDown() override {
        SetNowForTest(QDateTime());
        SalesFixture::TearDown();
    }
    void Sell(const QString& customer, double debt, int day) {
        SaleInput sale;
        sale.goodsId = goods_;
        sale.名称 = QStringLiteral("圆珠笔");
        sale.销售单价 = 100;
        sale.销售数量 = 1;
        sale.销售金额 = 100;
        sale.欠款额 = debt;
        sale.销售日期 = QDate(2024, 3, day);
        sale.客户名称 = customer;
        ASSERT_TRUE(ledger::RecordSale(SharedConnection(), sale).IsDone());
    }
    // Opens the window from the panel's button and runs action in it.
    void RunWindow(const std::function<void(CustomerDebtsWindow*)>& action) {
        dialogs_.OnWindow([&](QDialog* dialog) {
            auto* window = qobject_cast<CustomerDebtsWindow*>(dialog);
            ASSERT_NE(window, nullptr);
            window->show();
            action(window);
        });
        Click(销售图片框, "客户欠款按钮");
    }
    // Scripts the next payment window: amount typed, then "确认收款".
    void AnswerPayment(const QString& amount, bool* closed = nullptr) {
        dialogs_.OnWindow([=](QDialog* dialog) {
            auto* w = qobject_cast<PaymentWindow*>(dialog);
            ASSERT_NE(w, nullptr);
            w->收款金额框->setText(amount);
            w->收款方式框->setCurrentText(QStringLiteral("微信"));
            QTest::mouseClick(w->确认收款按钮, Qt::LeftButton);
            if (closed) *closed = w->result() == QDialog::Accepted;
        });
    }
    static QStringList Column(RecordGrid* grid, int col) {
        QStringList texts;
        for (int r = 1; r < grid->Rows(); ++r) texts << grid->CellText(r, col);
        return texts;
    }
    QString goods_;
};

TEST_F(CustomerDebtsTest, ACustomerPaysThroughTheWindowAndTheStatementIsExported) {
    LogInAsSuperAdmin();
    Sell("张三", 30, 1);
    Sell("张三丰", 20, 1);
    Sell("张三", 40, 2);
    Sell("张三", 50, 3);
    RunWindow([&](CustomerDebtsWindow* w) {
        EXPECT_EQ(w->windowTitle(), "客户欠款");
        EXPECT_EQ(Column(w->欠款列表, 3), (QStringList{"张三", "张三丰", "合计："}));
        EXPECT_EQ(Column(w->欠款列表, 7), (QStringList{"120", "20", "140"}));
        w->ChooseCustomer(1);

        bool closed = true;
        AnswerPayment("120.5", &closed);
        QTest::mouseClick(w->收款按钮, Qt::LeftButton);
        EXPECT_FALSE(closed);
        EXPECT_EQ(LastSkinText(), "收款金额超过了欠款总额 120，请核对金额");
        AnswerPayment("abc", &closed);
        QTest::mouseClick(w->收款按钮, Qt::LeftButton);
        EXPECT_EQ(LastSkinText(), "请输入正确的收款金额");
        refreshed_.clear();
        AnswerPayment("100", &closed);
        QTest::mouseClick(w->收款按钮, Qt::LeftButton);
        EXPECT_TRUE(closed);
        EXPECT_EQ(LastSkinText(), "收款完成");
        EXPECT_EQ(refreshed_, QStringList{"Sales"});

        // Oldest first: the sales of the 1st and 2nd are paid, 20 of the 3rd's 50 is left.
        EXPECT_EQ(Column(w->欠款列表, 7), (QStringList{"20", "20", "40"}));
        EXPECT_EQ(Column(w->对账单列表, 4),
                  (QStringList{"圆珠笔", "圆珠笔", "圆珠笔", "收款（微信）", "合计："}));
        EXPECT_EQ(Column(w->对账单列表, 9), (QStringList{"30", "70", "120", "20", "20"}));
        EXPECT_EQ(w->对账单列表->CellText(4, 3), "2024年4月1日 10时30分");

        const QString file = File("张三对账单.xlsx");
        dialogs_.AnswerFile(file);
        QTest::mouseClick(w->输出对账单按钮, Qt::LeftButton);
        EXPECT_EQ(LastSkinText(), "输出Excel成功");
        const Sheet sheet = ReadSheet(file);
        EXPECT_EQ(sheet.Text("A1"), "日期");
        EXPECT_EQ(sheet.Text("B5"), "收款（微信）");
        EXPECT_EQ(sheet.Text("F5"), "100");
        EXPECT_TRUE(sheet.IsNumber("F5"));
        EXPECT_EQ(sheet.Text("G5"), "20");

        // Taking the payment back gives every sale its debt again.
        w->对账单列表->Cell(4, 3).SetFocus();
        dialogs_.AnswerSystem(BoxAnswer::Ok);
        QTest::mouseClick(w->删除收款按钮, Qt::LeftButton);
        EXPECT_EQ(Column(w->欠款列表, 7), (QStringList{"120", "20", "140"}));
        EXPECT_EQ(w->对账单列表->Rows(), 5);
    });
}

TEST_F(CustomerDebtsTest, TenThousandSalesAddUpToTheFenOnScreenAndInTheWorkbook) {
    // 99.99 added 10,000 times in floating point gives 999899.9999999221.
    Sell("王五", 99.99, 1);
    ASSERT_TRUE(SharedConnection().Execute(
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 9999) "
        "insert into sell (名称, 销售金额, 欠款额, 销售日期, 客户ID, 客户名称) "
        "select '圆珠笔', 99.99, 99.99, '2024-03-02', c.客户ID, c.客户名称 from n, "
        "(select 客户ID, 客户名称 from sell) c"));
    RunWindow([&](CustomerDebtsWindow* w) {
        EXPECT_EQ(Column(w->欠款列表, 7), (QStringList{"999900", "999900"}));
        w->ChooseCustomer(1);
        const int totals = w->对账单列表->Rows() - 1;
        ASSERT_EQ(totals, 10001);
        EXPECT_EQ(w->对账单列表->CellText(totals, 6), "999900.01");  // 100 + 9,999 × 99.99
        EXPECT_EQ(w->对账单列表->CellText(totals, 7), "999900");
        EXPECT_EQ(w->对账单列表->CellText(totals, 9), "999900");
        EXPECT_EQ(w->对账单标题->text(), "对账单：王五    欠款：999900");

        const QString file = File("王五对账单.xlsx");
        dialogs_.AnswerFile(file);
        QTest::mouseClick(w->输出对账单按钮, Qt::LeftButton);
        const Sheet sheet = ReadSheet(file);
        EXPECT_EQ(sheet.Text("D10002"), "999900.01");
        EXPECT_EQ(sheet.Text("E10002"), "999900");
    });
}

TEST_F(CustomerDebtsTest, AnOrdinaryUserSeesNoCostFigureAndCannotTakeAPaymentBack) {
    Sell("李四", 8, 1);
    RunWindow([&](CustomerDebtsWindow* w) {
        w->ChooseCustomer(1);
        EXPECT_FALSE(w->删除收款按钮->isVisible());
        QStringList headings;
        for (RecordGrid* grid : {w->欠款列表, w->对账单列表})
            for (int c = 0; c < grid->Cols(); ++c) headings << grid->CellText(0, c);
        for (const QString& heading : headings) {
            EXPECT_FALSE(heading.contains("利润")) << heading.toStdString();
            EXPECT_FALSE(heading.contains("进货")) << heading.toStdString();
        }
        EXPECT_EQ(w->对账单标题->text(), "对账单：李四    欠款：8");
    });
    // The sales list's menu opens the same window.
    dialogs_.OnWindow(
        [](QDialog* dialog) { EXPECT_NE(qobject_cast<CustomerDebtsWindow*>(dialog), nullptr); });
    TheSalesPage().客户欠款->trigger();
}

}  // namespace
