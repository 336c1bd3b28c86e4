#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>

#include "common/date_text.h"
#include "common/session.h"
#include "common/settings.h"
#include "finance_fixture.h"

namespace {

class OtherPageBooks : public FinanceFixture {
  protected:
    void AddEntry(const QString& type, const QString& item, double amount,
                  const QString& date = QStringLiteral("2012-06-15"),
                  const QString& number = QStringLiteral("1")) {
        ASSERT_TRUE(SharedConnection().Execute(
            "insert into other (类型, 编号, 项目, 数量, 单价, 金额, 日期, 备注) "
            "values (?, ?, ?, 1, ?, ?, ?, '')",
            {type, number, item, amount, amount, date}));
    }
    RecordGrid* Open() {
        CreateOtherGrid(796, 530);
        return OtherGrid();
    }
    // Item, number and amount of a panel; the quantity and unit price are left to the test.
    void FillIn(const char* type, const QString& item, const QString& amount) {
        const QString t = QString::fromUtf8(type);
        Type(Find<QComboBox>(t + "项目框")->lineEdit(), item);
        Find<QLineEdit>(t + "金额框")->setText(amount);
    }
    QStringList Column(RecordGrid* g, int col) {
        QStringList texts;
        for (int r = 1; r < g->Rows() - 1; ++r) texts << g->CellText(r, col);
        return texts;
    }
};

using OtherPageTest = OnBothStores<OtherPageBooks>;
LK_ON_BOTH_STORES(OtherPageTest);

TEST_P(OtherPageTest, AnEmptyBookShowsTheHeaderAndThreeZeroTotals) {
    RecordGrid* g = Open();
    ASSERT_EQ(g->Rows(), 2);
    ASSERT_EQ(g->Cols(), 10);
    EXPECT_EQ(g->CellText(0, 4), "名称");
    EXPECT_EQ(g->CellText(0, 8), "项目日期");
    EXPECT_EQ(g->CellText(1, 4), "总收入：0元");
    EXPECT_EQ(g->CellText(1, 7), "总支出：0元");
    EXPECT_EQ(g->CellText(1, 9), "未知数：0元");
    EXPECT_EQ(g->FrozenBottomRows(), 1);
    EXPECT_EQ(g->Cell(1, 4).BackColor(), 33023);  // lastcolor
    EXPECT_EQ(g->Column(0).Width(), 20);
    EXPECT_EQ(g->Column(1).Width(), 0);
    EXPECT_EQ(g->Column(4).Width(), 135);  // 0.17 x 797
    LayOutOtherColumns();
    EXPECT_EQ(g->Column(4).Width(), 87);  // 0.11 x 797
    EXPECT_EQ(g->Column(9).Width(), 127);
}

TEST_P(OtherPageTest, TotalsGoByTypeAndExpensesTakeTheOutColour) {
    AddEntry("收入", "房租", 100);
    AddEntry("支出", "水电", 30.5);
    AddEntry("退货", "手工", 7);  // a type written by hand
    RecordGrid* g = Open();
    ASSERT_EQ(DataRows(g), 3);
    EXPECT_EQ(g->CellText(4, 4), "总收入：100元");
    EXPECT_EQ(g->CellText(4, 7), "总支出：30.5元");
    EXPECT_EQ(g->CellText(4, 9), "未知数：7元");
    EXPECT_EQ(g->CellText(2, 7), "30.5");
    EXPECT_EQ(g->CellText(2, 8), "2012年6月15日");
    for (int c = 5; c <= 7; ++c) EXPECT_EQ(g->Cell(2, c).ForeColor(), 255);
    EXPECT_EQ(g->Cell(2, 4).ForeColor(), 0);
    EXPECT_EQ(g->Cell(3, 7).ForeColor(), 0);
    EXPECT_EQ(g->Cell(1, 7).ForeColor(), 0);

    WriteSetupKey("beepview", "ture");
    FillOtherGrid();
    EXPECT_EQ(Column(g, 7), (QStringList{"7", "30.5", "100"}));
    EXPECT_EQ(g->Column(7).UserSortIndicator(), RecordGrid::cellSortIndicatorAscending);
    EXPECT_EQ(g->CellText(4, 4), "总收入：100元");  // the totals row stays last
}

TEST_P(OtherPageTest, TheAmountFollowsQuantityTimesUnitPrice) {
    Open();
    QTest::keyClicks(Find<QLineEdit>("收入数量框"), "2");
    QTest::keyClicks(Find<QLineEdit>("收入单价框"), "12.5");
    EXPECT_EQ(Find<QLineEdit>("收入金额框")->text(), "25");
    Find<QLineEdit>("收入数量框")->setText("ab");
    EXPECT_EQ(Find<QLineEdit>("收入金额框")->text(), "0");
    QTest::keyClicks(Find<QLineEdit>("支出单价框"), "3");
    QTest::keyClicks(Find<QLineEdit>("支出数量框"), "0.1");
    EXPECT_EQ(Find<QLineEdit>("支出金额框")->text(), "0.3");
    QTest::keyClicks(Find<QLineEdit>("支出金额框"), "9");  // the amount stays editable
    EXPECT_EQ(Find<QLineEdit>("支出数量框")->text(), "0.1");
}

TEST_P(OtherPageTest, RecordingAnIncomeStoresItAndPresetsTheNextEntry) {
    RecordGrid* g = Open();
    const QString number = Find<QLineEdit>("收入编号框")->text();
    EXPECT_EQ(number, "2012615937");
    EXPECT_EQ(Find<QLineEdit>("支出编号框")->text(), "2012615973");
    FillIn("收入", "王's 礼金", QString());
    Find<QLineEdit>("收入数量框")->setText("2");
    Find<QLineEdit>("收入单价框")->setText("12.5");
    Type(Find<QComboBox>("收入备注框")->lineEdit(), "现金");
    Find<QDateEdit>("收入日期框")->setDate(QDate(2012, 6, 1));
    SetNowForTest(QDateTime(QDate(2012, 6, 15), QTime(10, 20, 30)));
    Click("按钮1");

    ASSERT_EQ(dialogs_.Shown().size(), 1);
    const ShownBox& box = dialogs_.Shown()[0];
    EXPECT_EQ(box.kind, ShownBox::Kind::Skin);
    EXPECT_EQ(box.text, "收入记录完成");
    EXPECT_EQ(box.caption, "提示");
    EXPECT_EQ(box.skinIcon, 1);
    ASSERT_TRUE(OpenSharedQuery("select * from other"));
    DbRecordSet& r = SharedRecordSet();
    ASSERT_EQ(r.GetRecordCount(), 1);
    EXPECT_EQ(FieldText(r, "类型"), "收入");
    EXPECT_EQ(FieldText(r, "编号"), number);
    EXPECT_EQ(FieldText(r, "项目"), "王's 礼金");
    EXPECT_EQ(FieldNumber(r, "数量"), 2);
    EXPECT_EQ(FieldNumber(r, "单价"), 12.5);
    EXPECT_EQ(FieldNumber(r, "金额"), 25);
    EXPECT_EQ(FieldText(r, "日期"), "2012-06-01");
    EXPECT_EQ(FieldText(r, "备注"), "现金");
    r.Close();

    EXPECT_EQ(Find<QComboBox>("收入项目框")->currentText(), "");
    EXPECT_EQ(Find<QLineEdit>("收入金额框")->text(), "");
    EXPECT_EQ(Find<QLineEdit>("收入编号框")->text(), "2012615102030");
    EXPECT_EQ(Find<QLineEdit>("支出编号框")->text(), "2012615973");  // its own kind only
    for (const char* box : {"收入项目框", "支出项目框", "其他项目查询框"})
        EXPECT_EQ(Find<QComboBox>(box)->itemText(0), "王's 礼金") << box;
    EXPECT_EQ(Find<QComboBox>("其他备注查询框")->itemText(0), "现金");
    ASSERT_EQ(DataRows(g), 1);
    EXPECT_EQ(g->CellText(1, 4), "王's 礼金");
}

TEST_P(OtherPageTest, MissingItemNumberOrAmountIsAskedForInThatOrder) {
    Open();
    Find<QLineEdit>("支出编号框")->clear();
    Click("按钮3");
    FillIn("支出", "纸", QString());
    Click("按钮3");
    Find<QLineEdit>("支出编号框")->setText("7");
    Click("按钮3");
    EXPECT_EQ(dialogs_.Texts(),
              (QStringList{"支出项目必须填写", "支出编号必须填写", "支出金额必须填写"}));
    for (const ShownBox& box : dialogs_.Shown()) {
        EXPECT_EQ(box.kind, ShownBox::Kind::System);
        EXPECT_EQ(box.caption, "请填写完整信息");
        EXPECT_EQ(box.icon, BoxIcon::Information);
    }
    EXPECT_EQ(Count("select * from other"), 0);
}

TEST_P(OtherPageTest, AFieldThatCannotBeSetReportsItsCodeAndCauseAndStoresNothing) {
    Open();
    FillIn("收入", "纸", "5");
    Click("按钮1");  // empty quantity
    Find<QLineEdit>("收入数量框")->setText("两个");
    Click("按钮1");
    Find<QLineEdit>("收入数量框")->setText("1");
    const QString longItem(51, u'长');
    Find<QComboBox>("收入项目框")->setEditText(longItem);
    Click("按钮1");
    EXPECT_EQ(dialogs_.Texts(),
              (QStringList{"错误代码 [096]\r\n数量不能为空", "错误代码 [096]\r\n数量必须是数字",
                           "错误代码 [097]\r\n项目不能超过50个字"}));
    EXPECT_EQ(dialogs_.Shown()[0].skinIcon, 3);  // kind 2: error
    EXPECT_EQ(Count("select * from other"), 0);
    EXPECT_EQ(Find<QComboBox>("收入项目框")->currentText(), longItem);  // the panel keeps it

    // The abandoned row does not stand in the way of the next entry.
    Find<QComboBox>("收入项目框")->setEditText("纸");
    Click("按钮1");
    EXPECT_EQ(Count("select * from other"), 1);
}

TEST_P(OtherPageTest, EntryNumbersAreNotPadded) {
    SetNowForTest(QDateTime(QDate(2012, 1, 15), QTime(9, 3, 7)));
    Open();
    EXPECT_EQ(Find<QLineEdit>("收入编号框")->text(), "2012115937");
    EXPECT_EQ(Find<QLineEdit>("支出编号框")->text(), "2012115973");
    SetNowForTest(QDateTime(QDate(2012, 11, 5), QTime(9, 3, 7)));
    EXPECT_EQ(NewEntryNumber(EntryKind::Income), "2012115937");
}

TEST_P(OtherPageTest, TheMenuOpensFromEveryEntry) {
    AddEntry("收入", "甲", 1);
    AddEntry("收入", "乙", 2);
    RecordGrid* g = Open();
    RightClick(g, 1, 4);
    EXPECT_TRUE(OtherMenu()->isVisible());
    EXPECT_EQ(CurrentSession().selectedId, "1");
    OtherMenu()->hide();
    RightClick(g, 0, 4);  // the header
    EXPECT_FALSE(OtherMenu()->isVisible());
    RightClick(g, 3, 4);  // the totals row
    EXPECT_FALSE(OtherMenu()->isVisible());
    RightClick(g, 2, 4);
    EXPECT_TRUE(OtherMenu()->isVisible());
    EXPECT_EQ(CurrentSession().selectedId, "2");
    EXPECT_FALSE(Item(OtherMenu(), "删 除 数 据")->isVisible());  // not an administrator
    EXPECT_NE(Item(OtherMenu(), "输出Excel.."), nullptr);

    CurrentSession().userRole = kSuperAdmin;
    RightClick(g, 2, 4);
    EXPECT_TRUE(Item(OtherMenu(), "删 除 数 据")->isVisible());
}

TEST_P(OtherPageTest, DeleteAsksAndReloadsEveryEntryEvenWhenCancelled) {
    CurrentSession().userRole = kSuperAdmin;
    AddEntry("收入", "甲", 1);
    AddEntry("支出", "乙", 2);
    AddEntry("支出", "丙", 3);
    RecordGrid* g = Open();
    Type(Find<QComboBox>("其他类型查询框")->lineEdit(), "支出");
    ASSERT_EQ(Column(g, 4), (QStringList{"乙", "丙"}));
    RightClick(g, 2, 4);
    dialogs_.AnswerSystem(BoxAnswer::Cancel);
    Item(OtherMenu(), "删 除 数 据")->trigger();
    ASSERT_EQ(dialogs_.Shown().size(), 1);
    EXPECT_EQ(dialogs_.Shown()[0].text,
              "你确定要删除当前选中的资料吗？\r\n\r\n        一经删除无法恢复");
    EXPECT_EQ(dialogs_.Shown()[0].caption, "警告！");
    EXPECT_EQ(dialogs_.Shown()[0].buttons, BoxButtons::OkCancel);
    EXPECT_EQ(Column(g, 4), (QStringList{"甲", "乙", "丙"}));
    EXPECT_EQ(Count("select * from other"), 3);

    RightClick(g, 2, 4);
    Item(OtherMenu(), "删 除 数 据")->trigger();
    EXPECT_EQ(Column(g, 4), (QStringList{"甲", "丙"}));
    EXPECT_EQ(Count("select * from other"), 2);
}

TEST_P(OtherPageTest, FailedStatementsAreReportedAndChangeNothing) {
    CurrentSession().userRole = kSuperAdmin;
    AddEntry("收入", "甲", 1);
    AddEntry("收入", "乙", 2);
    Refuse("other", "delete");
    Refuse("other", "insert");
    RecordGrid* g = Open();
    RightClick(g, 2, 4);
    Item(OtherMenu(), "删 除 数 据")->trigger();
    FillIn("收入", "丙", "3");
    Find<QLineEdit>("收入数量框")->setText("1");
    Click("按钮1");
    ASSERT_EQ(dialogs_.Texts().size(), 3);  // the question, then the two failures
    EXPECT_EQ(dialogs_.Texts()[1], "删除数据失败");
    EXPECT_EQ(dialogs_.Texts()[2], "收入记录失败");
    EXPECT_EQ(dialogs_.Shown()[1].skinIcon, 3);
    EXPECT_EQ(dialogs_.Shown()[2].skinIcon, 3);
    EXPECT_EQ(Count("select * from other"), 2);
    EXPECT_EQ(DataRows(g), 2);
    EXPECT_EQ(Find<QComboBox>("收入项目框")->currentText(), "丙");
}

TEST_P(OtherPageTest, QueriesBindWhatIsTypedAndPicked) {
    AddEntry("收入", "O'Brien", 1, "2012-06-15", "A1");
    AddEntry("支出", "纸_张", 2, "2012-06-01", "A2");
    AddEntry("收入", "纸张", 3, "2012-05-31", "B3");
    AddEntry("收入", "去年", 4, "2011-06-15", "B4");
    RecordGrid* g = Open();
    Click("其他显示当天按钮");
    EXPECT_EQ(Column(g, 4), QStringList{"O'Brien"});
    Click("其他显示本月按钮");
    EXPECT_EQ(Column(g, 4), (QStringList{"O'Brien", "纸_张"}));
    EXPECT_EQ(g->CellText(3, 4), "总收入：1元");  // totals of the rows shown
    Find<QDateEdit>("其他日期框1")->setDate(QDate(2012, 5, 31));
    Find<QDateEdit>("其他日期框2")->setDate(QDate(2012, 6, 1));
    Click("其他查询按钮");
    EXPECT_EQ(Column(g, 4), (QStringList{"纸_张", "纸张"}));

    QTest::keyClicks(Find<QComboBox>("其他项目查询框")->lineEdit(), "O'");
    EXPECT_EQ(Column(g, 4), QStringList{"O'Brien"});
    Find<QComboBox>("其他项目查询框")->clearEditText();
    Type(Find<QComboBox>("其他项目查询框")->lineEdit(), "纸_");
    EXPECT_EQ(Column(g, 4), (QStringList{"纸_张", "纸张"}));  // "_" still stands for any one
    QTest::keyClicks(Find<QLineEdit>("其他编号查询框"), "B");
    EXPECT_EQ(Column(g, 4), (QStringList{"纸张", "去年"}));

    Click("清空条件按钮2");
    EXPECT_EQ(DataRows(g), 4);
    EXPECT_EQ(Find<QLineEdit>("其他编号查询框")->text(), "");
    EXPECT_EQ(Find<QComboBox>("其他项目查询框")->currentText(), "");
}

TEST_P(OtherPageTest, TheExportButtonWritesTheWholeList) {
    AddEntry("收入", "甲", 1);
    Open();
    const QString file = File("other.xlsx");
    dialogs_.AnswerFile(file);
    Click("按钮7");
    EXPECT_EQ(dialogs_.Texts().last(), "输出Excel成功");
    EXPECT_TRUE(QFile::exists(file));
    Click("按钮7");  // the dialog cancelled
    EXPECT_EQ(dialogs_.Texts().last(), "输出Excel失败");
}

TEST_P(OtherPageTest, AReloadBeforeTheFirstShowDoesNothing) {
    FillOtherGrid();
    RefillWholeList(ListId::Other);
    EXPECT_EQ(OtherGrid(), nullptr);
    EXPECT_FALSE(ListExists(ListId::Other));
    RecordGrid* g = Open();
    EXPECT_TRUE(ListExists(ListId::Other));
    AddEntry("收入", "新", 1);
    RefillWholeList(ListId::Other);
    EXPECT_EQ(g->CellText(1, 4), "新");
}

}  // namespace
