#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>

#include "common/session.h"
#include "finance/bank_entry_window.h"
#include "finance_fixture.h"

namespace {

class BankPageBooks : public FinanceFixture {
  protected:
    void AddEntry(const QString& bank, const QString& account, const QString& kind, double amount,
                  const QString& date = QStringLiteral("2012-06-15")) {
        ASSERT_TRUE(SharedConnection().Execute(
            "insert into bank (银行, 账户, 方式, 金额, 日期, 备注) values (?, ?, ?, ?, ?, '')",
            {bank, account, kind, amount, date}));
    }
    RecordGrid* Open() {
        CreateBankGrid(1008, 562);
        return BankGrid();
    }
    // Opens "新建存取操作" from the menu of the empty last row.
    BankEntryWindow* OpenNew() {
        RecordGrid* g = BankGrid();
        RightClick(g, g->Rows() - 1, 3);
        EXPECT_TRUE(BankMenu()->isVisible());
        Item(BankMenu(), "新建存取")->trigger();
        return Window("新建存取操作");
    }
    BankEntryWindow* OpenChange(int row) {
        DoubleClick(BankGrid(), row, 3);
        return Window("修改存取操作");
    }
    BankEntryWindow* Window(const QString& name) {
        // A closed window is deleted later; only a shown one counts.
        for (auto* window : window_->findChildren<BankEntryWindow*>(name))
            if (window->isVisible()) return window;
        return nullptr;
    }
    static void Enter(BankEntryWindow* w, int type, const QString& bank, const QString& amount) {
        w->类型组合框->setCurrentIndex(type);
        w->名称组合框->setEditText(bank);
        w->账户组合框->setEditText(QStringLiteral("6222"));
        w->金额框->setText(amount);
    }
    static QString Stored(const QString& column, int id) {
        EXPECT_TRUE(OpenSharedQuery("select * from bank where ID=?", {id}));
        const QString text = FieldText(SharedRecordSet(), column);
        SharedRecordSet().Close();
        return text;
    }
};

using BankPageTest = OnBothStores<BankPageBooks>;
LK_ON_BOTH_STORES(BankPageTest);

TEST_P(BankPageTest, AWithdrawalIsStoredNegativeAndShownUnsignedInTheChangeWindow) {
    RecordGrid* g = Open();
    ASSERT_EQ(g->Rows(), 2);  // the header and the empty row
    EXPECT_EQ(g->Column(0).Width(), 0);
    EXPECT_EQ(g->Column(3).Width(), 201);  // 0.2 x 1008
    BankEntryWindow* w = OpenNew();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(Item(BankMenu(), "修改存取")->isVisible());  // the empty row holds no entry
    EXPECT_EQ(w->size(), QSize(242, 301));
    EXPECT_EQ(w->类型组合框->currentText(), "存款");
    Enter(w, 1, "工行", "300");
    QTest::mouseClick(w->按钮2, Qt::LeftButton);
    EXPECT_EQ(dialogs_.Texts(), QStringList{"存取存款完成"});
    EXPECT_EQ(dialogs_.Shown()[0].caption, "提示");
    EXPECT_EQ(dialogs_.Shown()[0].skinIcon, 1);
    EXPECT_EQ(Window("新建存取操作"), nullptr);
    EXPECT_EQ(Stored("金额", 1), "-300");
    EXPECT_EQ(Stored("方式", 1), "取款");
    ASSERT_EQ(DataRows(g), 1);
    EXPECT_EQ(g->CellText(1, 5), "-300");
    EXPECT_EQ(g->Cell(1, 4).ForeColor(), 255);  // outcolor
    EXPECT_EQ(g->Cell(1, 5).ForeColor(), 255);
    EXPECT_EQ(g->Cell(1, 2).ForeColor(), 0);

    w = OpenChange(1);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "修改存取操作 1");
    EXPECT_EQ(w->金额框->text(), "300");
    EXPECT_EQ(w->类型组合框->currentText(), "取款");
    EXPECT_EQ(w->名称组合框->currentText(), "工行");
    EXPECT_EQ(w->日期框1->date(), QDate(2012, 6, 15));
    w->类型组合框->setCurrentIndex(0);
    QTest::mouseClick(w->按钮2, Qt::LeftButton);
    EXPECT_EQ(dialogs_.Texts().last(), "修改存款完成");
    EXPECT_EQ(Stored("金额", 1), "300");
    EXPECT_EQ(g->Cell(1, 5).ForeColor(), 0);
}

TEST_P(BankPageTest, AMinusTypedIntoTheAmountIsRefusedInBothWindows) {
    AddEntry("工行", "A", "存款", 100);
    Open();
    BankEntryWindow* w = OpenNew();
    Enter(w, 1, "工行", "-50");  // a withdrawal typed with its sign would have been a deposit
    QTest::mouseClick(w->按钮2, Qt::LeftButton);
    EXPECT_EQ(dialogs_.Texts(), QStringList{"金额请填写正数，存入或取出由存取类型决定"});
    EXPECT_EQ(dialogs_.Shown()[0].caption, "请填写完整信息");
    EXPECT_EQ(Count("select * from bank"), 1);
    EXPECT_EQ(Window("新建存取操作"), w);
    w->close();

    w = OpenChange(1);
    w->金额框->setText("-5");
    QTest::mouseClick(w->按钮2, Qt::LeftButton);
    EXPECT_EQ(dialogs_.Texts().size(), 2);
    EXPECT_EQ(Stored("金额", 1), "100");
    EXPECT_EQ(Window("修改存取操作"), w);
}

TEST_P(BankPageTest, AKindThatBeginsNoTypeLeavesNoneSelectedAndSavesNegated) {
    AddEntry("工行", "A", "手工", 40);
    RecordGrid* g = Open();
    BankEntryWindow* w = OpenChange(1);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->类型组合框->currentIndex(), -1);
    QTest::mouseClick(w->按钮2, Qt::LeftButton);
    EXPECT_EQ(Stored("方式", 1), "");
    EXPECT_EQ(Stored("金额", 1), "-40");
    EXPECT_EQ(g->CellText(1, 5), "-40");
    EXPECT_EQ(SignedAmount(2, 5), 5);
    EXPECT_EQ(SignedAmount(3, 5), -5);
}

TEST_P(BankPageTest, TheSummaryShowsTheBalanceOfEveryBankAndAccount) {
    AddEntry("工行", "A", "存款", 1000);
    AddEntry("工行", "A", "取款", -300);
    AddEntry("工行", "A", "转出", -200);
    AddEntry("工行", "B", "存款", 50);
    AddEntry("农行", "", "取款", -20);
    RecordGrid* g = Open();
    Click("存款全部记录按钮");
    EXPECT_EQ(BankListMode(), "汇总");
    ASSERT_EQ(g->Cols(), 4);
    EXPECT_EQ(g->CellText(0, 3), "金额");
    ASSERT_EQ(DataRows(g), 3);
    QMap<QString, QString> balances;
    for (int r = 1; r <= 3; ++r)
        balances[g->CellText(r, 1) + "/" + g->CellText(r, 2)] = g->CellText(r, 3);
    EXPECT_EQ(balances,
              (QMap<QString, QString>{{"工行/A", "500"}, {"工行/B", "50"}, {"农行/", "-20"}}));
    for (int r = 1; r <= 3; ++r)
        EXPECT_EQ(g->Cell(r, 3).ForeColor(), g->CellText(r, 3) == "-20" ? 255 : 0);
    EXPECT_EQ(g->Column(2).Width(), 403);
    LayOutBankColumns();  // after a resize the summary keeps its own columns
    EXPECT_EQ(g->Column(0).Width(), 20);
    EXPECT_EQ(g->Column(1).Width(), 201);
    EXPECT_EQ(g->Column(3).Width(), 403);

    RightClick(g, 1, 2);
    EXPECT_FALSE(BankMenu()->isVisible());
    DoubleClick(g, 1, 2);
    EXPECT_EQ(Window("修改存取操作"), nullptr);

    Click("存款细节记录按钮");
    EXPECT_EQ(BankListMode(), "细节");
    EXPECT_EQ(g->Cols(), 8);
    EXPECT_EQ(DataRows(g), 5);
    LayOutBankColumns();
    EXPECT_EQ(g->Column(1).Width(), 0);
    EXPECT_EQ(g->Column(2).Width(), 100);
}

// Another till holds the ledger: the switch to the summary is refused and the detail rows stay
// in their own columns. Only a file is held so: on a server nothing keeps a reader waiting.
TEST_F(BankPageBooks, AFailedReadKeepsTheListInItsLayout) {
    AddEntry("工行", "A", "存款", 1000);
    AddEntry("农行", "B", "存款", 5);
    RecordGrid* g = Open();
    ASSERT_EQ(g->CellText(1, 2), "工行");  // the rows on screen, read
    DbConnection till;
    ASSERT_TRUE(till.OpenFile(SharedConnection().Path()));
    ASSERT_TRUE(till.Execute("BEGIN EXCLUSIVE"));
    SharedConnection().SetConnectionTimeout(0);
    Click("存款全部记录按钮");
    EXPECT_EQ(dialogs_.Texts(),
              QStringList{"数据库正被另一个窗口或收银台占用，列表没有刷新，请稍后再试"});
    EXPECT_EQ(BankListMode(), "细节");
    ASSERT_EQ(g->Cols(), 8);
    EXPECT_EQ(DataRows(g), 2);
    EXPECT_EQ(g->CellText(1, 2), "工行");
    ASSERT_TRUE(till.Execute("ROLLBACK"));
}

TEST_P(BankPageTest, AReloadWhileTheSummaryIsShownReturnsToTheDetail) {
    AddEntry("工行", "A", "存款", 1000);
    RecordGrid* g = Open();
    BankEntryWindow* w = OpenNew();
    RightClick(g, 1, 3);
    Item(BankMenu(), "存取汇总")->trigger();
    ASSERT_EQ(BankListMode(), "汇总");
    Enter(w, 0, "农行", "5");
    QTest::mouseClick(w->按钮2, Qt::LeftButton);
    EXPECT_EQ(BankListMode(), "细节");
    ASSERT_EQ(g->Cols(), 8);
    EXPECT_EQ(DataRows(g), 2);
    EXPECT_EQ(g->CellText(2, 2), "农行");

    Click("存款全部记录按钮");
    Type(Find<QComboBox>("存款名称查询框")->lineEdit(), "农");
    EXPECT_EQ(BankListMode(), "细节");
    EXPECT_EQ(DataRows(g), 1);
}

TEST_P(BankPageTest, ABankNameWithAQuoteSavesInBothWindows) {
    RecordGrid* g = Open();
    BankEntryWindow* w = OpenNew();
    Enter(w, 0, "O'Neil 银行", "10");
    QTest::mouseClick(w->按钮2, Qt::LeftButton);
    EXPECT_EQ(Stored("银行", 1), "O'Neil 银行");
    w = OpenChange(1);
    ASSERT_NE(w, nullptr);
    w->名称组合框->setEditText("Bob's");
    w->备注框->setText("it's");
    QTest::mouseClick(w->按钮2, Qt::LeftButton);
    EXPECT_EQ(dialogs_.Texts(), (QStringList{"存取存款完成", "修改存款完成"}));
    EXPECT_EQ(Stored("银行", 1), "Bob's");
    EXPECT_EQ(Stored("备注", 1), "it's");
    QTest::keyClicks(Find<QComboBox>("存款名称查询框")->lineEdit(), "b'");
    EXPECT_EQ(DataRows(g), 1);
}

TEST_P(BankPageTest, TheChangeWindowStaysWithTheEntryItWasOpenedFor) {
    AddEntry("工行", "A", "存款", 1);
    AddEntry("农行", "B", "存款", 2);
    RecordGrid* g = Open();
    BankEntryWindow* w = OpenChange(1);
    ASSERT_NE(w, nullptr);
    RightClick(g, 2, 3);  // another row is selected meanwhile
    EXPECT_EQ(CurrentSession().selectedId, "2");
    Item(BankMenu(), "修改存取")->trigger();
    EXPECT_EQ(Window("修改存取操作"), w);  // the open window only comes forward
    EXPECT_EQ(w->windowTitle(), "修改存取操作 1");
    w->金额框->setText("77");
    QTest::mouseClick(w->按钮2, Qt::LeftButton);
    EXPECT_EQ(Stored("金额", 1), "77");
    EXPECT_EQ(Stored("金额", 2), "2");
    EXPECT_EQ(g->CellText(1, 5), "77");  // the changed entry keeps its row in the reloaded list
}

TEST_P(BankPageTest, AFailedChangeIsReportedAndChangesNothing) {
    AddEntry("工行", "A", "存款", 1);
    AddEntry("农行", "B", "存款", 2);
    Open();
    Refuse("bank", "update");
    BankEntryWindow* w = OpenChange(1);
    ASSERT_NE(w, nullptr);
    w->金额框->setText("9");
    QTest::mouseClick(w->按钮2, Qt::LeftButton);
    EXPECT_EQ(dialogs_.Texts(), QStringList{"修改存款失败"});
    EXPECT_EQ(dialogs_.Shown()[0].skinIcon, 3);
    EXPECT_EQ(Stored("金额", 1), "1");
    EXPECT_EQ(Window("修改存取操作"), w);  // still open with its input
    w->close();

    // An entry deleted while its change window is open is not silently "changed".
    Allow("bank", "update");
    w = OpenChange(2);
    ASSERT_TRUE(SharedConnection().Execute("delete from bank where ID=2"));
    QTest::mouseClick(w->按钮2, Qt::LeftButton);
    EXPECT_EQ(dialogs_.Texts().last(), "修改存款失败");
    EXPECT_EQ(Count("select * from bank"), 1);
}

TEST_P(BankPageTest, MissingNameOrAmountIsAskedForAndBadFieldsStoreNothing) {
    Open();
    BankEntryWindow* w = OpenNew();
    w->金额框->setText("5");
    QTest::mouseClick(w->按钮2, Qt::LeftButton);
    w->名称组合框->setEditText("工行");
    w->金额框->clear();
    QTest::mouseClick(w->按钮2, Qt::LeftButton);
    EXPECT_EQ(dialogs_.Texts(), (QStringList{"银行名称必须填写", "金额必须填写"}));
    EXPECT_EQ(dialogs_.Shown()[1].caption, "请填写完整信息");
    EXPECT_EQ(dialogs_.Shown()[1].kind, ShownBox::Kind::System);

    w->名称组合框->setEditText(QString(51, u'长'));
    w->金额框->setText("5");
    QTest::mouseClick(w->按钮2, Qt::LeftButton);
    EXPECT_EQ(dialogs_.Texts().last(), "错误代码 [099]\r\n银行不能超过50个字");
    EXPECT_EQ(dialogs_.Shown().last().skinIcon, 3);
    EXPECT_EQ(Count("select * from bank"), 0);
    EXPECT_EQ(Window("新建存取操作"), w);
}

TEST_P(BankPageTest, ASaveRefillsTheOtherListsThatExist) {
    QStringList refills;
    for (ListId list : {ListId::Stock, ListId::Sales, ListId::Summary})
        RegisterListFill(list,
                         [&refills, list] { refills << QString::number(static_cast<int>(list)); });
    CreateOtherGrid(796, 530);
    RecordGrid* g = Open();
    BankEntryWindow* w = OpenNew();
    Enter(w, 0, "工行", "5");
    ASSERT_TRUE(SharedConnection().Execute("insert into other (类型, 金额) values ('收入', 8)"));
    QTest::mouseClick(w->按钮2, Qt::LeftButton);
    EXPECT_EQ(refills, (QStringList{"0", "1", "4"}));
    EXPECT_EQ(OtherGrid()->CellText(2, 4), "总收入：8元");
    EXPECT_EQ(DataRows(g), 1);
}

TEST_P(BankPageTest, DeleteAsksFirstAndReloads) {
    AddEntry("工行", "A", "存款", 1);
    AddEntry("农行", "B", "存款", 2);
    RecordGrid* g = Open();
    RightClick(g, 1, 3);
    EXPECT_TRUE(Item(BankMenu(), "删除存取")->isVisible());
    dialogs_.AnswerSystem(BoxAnswer::Cancel);
    Item(BankMenu(), "删除存取")->trigger();
    EXPECT_EQ(dialogs_.Shown().last().text,
              "你确定要删除当前选中的资料吗？\r\n\r\n        一经删除无法恢复");
    EXPECT_EQ(Count("select * from bank"), 2);
    RightClick(g, 1, 3);
    Item(BankMenu(), "删除存取")->trigger();
    EXPECT_EQ(Count("select * from bank"), 1);
    ASSERT_EQ(DataRows(g), 1);
    EXPECT_EQ(g->CellText(1, 2), "农行");
}

}  // namespace
