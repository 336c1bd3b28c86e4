#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "common/date_text.h"
#include "common/session.h"
#include "sales/sales_page.h"
#include "sales_fixture.h"
#include "support/workbook_reader.h"

namespace {

class SalesPanelTest : public SalesFixture {
  protected:
    void SetUp() override {
        SalesFixture::SetUp();
        Sale("纸", "ZHI", "A4", "P01", "办公", "甲公司", "", "2012-06-15", 0);
        Sale("笔", "BI", "B2", "P02", "文具", "乙's 店", "赊账", "2012-06-15 10:00:00", 3);
        Sale("墨", "MO", "50%", "Q_1", "文具", "丙", "退款", "2012-05-31", -2);
        Sale("尺", "CHI", "30", "Q21", "工具", "", "", "2012-06-01", 0);
        OpenGrid();
    }
    void Sale(const char* name, const char* initials, const char* model, const char* code,
              const char* type, const char* customer, const char* remark, const char* date,
              double debt) {
        SaleRow s;
        s.名称 = name;
        s.首拼 = initials;
        s.型号 = model;
        s.编码 = code;
        s.类型 = type;
        s.客户名称 = customer;
        s.备注 = remark;
        s.销售日期 = date;
        s.欠款额 = debt;
        AddSale(s);
    }
    QStringList Names() { return GridColumn(3); }
    // The box that has the focus within the window (whether or not it is the active window).
    QWidget* Focused() { return window_->focusWidget(); }
};

TEST_F(SalesPanelTest, EachSearchBoxFiltersItsColumnAndClearingShowsAll) {
    Type(销售图片框, "销售型号框", "2");
    EXPECT_EQ(Names(), QStringList{"笔"});
    EXPECT_EQ(Focused(), TheSalesPage().销售型号框);
    Type(销售图片框, "销售型号框", "");
    EXPECT_EQ(Names().size(), 4);
    Type(销售图片框, "销售商品编码框", "P");
    EXPECT_EQ(Names(), (QStringList{"纸", "笔"}));
    Type(销售图片框, "销售备注框", "款");
    EXPECT_EQ(Names(), (QStringList{"墨"}));
    Type(销售图片框, "销售类型查询框", "文");
    EXPECT_EQ(Names(), (QStringList{"笔", "墨"}));
    Type(销售图片框, "销售客户名称框", "公司");
    EXPECT_EQ(Names(), (QStringList{"纸"}));
    EXPECT_EQ(Focused(), TheSalesPage().销售客户名称框);
}

TEST_F(SalesPanelTest, ChoosingFromAPickListSearchesToo) {
    QComboBox* types = TheSalesPage().销售类型查询框;
    ASSERT_EQ(types->count(), 3);
    const int tools = types->findText("工具");
    ASSERT_GE(tools, 0);
    types->setCurrentIndex(tools);
    emit types->textActivated(types->currentText());  // what a choice with the mouse sends
    EXPECT_EQ(Names(), QStringList{"尺"});
    OnShowAllSales();
    emit types->textActivated(types->currentText());  // the same item chosen again
    EXPECT_EQ(Names(), QStringList{"尺"});
}

TEST_F(SalesPanelTest, TheNameSearchMatchesTheInitialsNotTheName) {
    Type(销售图片框, "销售商品名称框", "HI");
    EXPECT_EQ(Names(), (QStringList{"纸", "尺"}));
    Type(销售图片框, "销售商品名称框", "纸");
    EXPECT_TRUE(Names().isEmpty());
}

TEST_F(SalesPanelTest, QuotesAreCharactersWhileWildcardsStayWildcards) {
    Type(销售图片框, "销售客户名称框", "'s");
    EXPECT_EQ(Names(), QStringList{"笔"});
    Type(销售图片框, "销售型号框", "%");
    EXPECT_EQ(Names().size(), 4);
    Type(销售图片框, "销售商品编码框", "Q_1");
    EXPECT_EQ(Names(), (QStringList{"墨", "尺"}));  // "_" matches any one character: Q21 too
}

TEST_F(SalesPanelTest, DatesTodayAndThisMonth) {
    TheSalesPage().销售日期框1->setDate(QDate(2012, 5, 31));
    TheSalesPage().销售日期框2->setDate(QDate(2012, 6, 1));
    Click(销售图片框, "销售查询按钮");
    EXPECT_EQ(Names(), (QStringList{"墨", "尺"}));
    Click(销售图片框, "销售显示当天按钮");
    EXPECT_EQ(Names(), QStringList{"纸"});  // a sale with a time of day is not today's
    Click(销售图片框, "销售显示本月按钮");
    EXPECT_EQ(Names(), (QStringList{"纸", "笔", "尺"}));
    SetNowForTest(QDateTime(QDate(2012, 6, 1), QTime(0, 0, 1)));
    Click(销售图片框, "销售显示本月按钮");
    EXPECT_EQ(Names(), (QStringList{"纸", "笔", "尺"}));  // not the 31st of May
    Click(销售图片框, "销售全部记录按钮");
    EXPECT_EQ(Names().size(), 4);
}

TEST_F(SalesPanelTest, DebtsArePositiveDebtsOnly) {
    Click(销售图片框, "销售清空条件按钮");
    EXPECT_EQ(Names(), QStringList{"笔"});
}

TEST_F(SalesPanelTest, TheSellButtonOnlyPointsToTheStockList) {
    Click(销售图片框, "按钮4");
    EXPECT_EQ(SkinTexts(), QStringList{"请到库管窗口选择物品后单击右键菜单里有显示销售！"});
    EXPECT_EQ(dialogs_.Shown().last().skinIcon, 0);
}

TEST_F(SalesPanelTest, ExportWritesTheWholeListAndPrintingPointsToIt) {
    RightClick(3, 4);
    const QString file = File("sales.xlsx");
    dialogs_.AnswerFile(file);
    TheSalesPage().输出销售Excel->trigger();
    EXPECT_EQ(SkinTexts(), QStringList{"输出Excel成功"});
    const Sheet sheet = ReadSheet(file);
    for (const char* name : {"纸", "笔", "墨", "尺", "合计："})
        EXPECT_TRUE(sheet.Texts().contains(name)) << name;
    TheSalesPage().打印销售->trigger();
    EXPECT_EQ(LastSkinText(), "~ 暂无此功能 ~，但是你可以用输出Excel打印。");
}

}  // namespace
