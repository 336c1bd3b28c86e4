#include "sales/shift_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "common/date_text.h"
#include "common/gbk.h"
#include "common/ini.h"
#include "common/session.h"
#include "common/settings.h"
#include "platform/till_keeper.h"
#include "sales/receipt_printer.h"
#include "sales/sell_window.h"
#include "sales_fixture.h"
#include "store/shared_db.h"

namespace {

class ShiftTest : public SalesFixture {
  protected:
    void SetUp() override {
        SalesFixture::SetUp();
        IniWrite(ConfigPath(), kServerSection, QStringLiteral("收银台"), QStringLiteral("前台1"));
        CurrentSession().userName = QStringLiteral("店员");
        CurrentSession().userRole = kOrdinaryUser;
    }
    void TearDown() override {
        SetNowForTest(QDateTime());
        SalesFixture::TearDown();
    }
    static void At(int hour, int minute = 0) {
        SetNowForTest(QDateTime(QDate(2026, 12, 11), QTime(hour, minute)));
    }
    void Sell(const QString& goodsId, const char* quantity, const char* method) {
        const GoodsRow row = Goods(goodsId);
        SellWindow w(window_.get(), &row);
        w.付款方式框->setCurrentText(QString::fromUtf8(method));
        w.销售数量框->setText(QString::fromUtf8(quantity));
        w.Confirm();
    }
    qint64 OpenShift() {
        qint64 id = 0;
        QString error;
        EXPECT_TRUE(ledger::FindOpenShift(SharedConnection(), QStringLiteral("前台1"),
                                          QStringLiteral("店员"), &id, &error));
        return id;
    }
};

TEST_F(ShiftTest, AHandoverIsCountedStoredAndPrintedAndTheNextLoginStartsAnotherShift) {
    At(8);
    dialogs_.AnswerInput(QStringLiteral("200"));
    BeginShift(window_.get());
    const qint64 first = OpenShift();
    ASSERT_NE(first, 0);

    At(9);
    const QString pen = AddGoods(QStringLiteral("圆珠笔"), 10);  // 12.5 each, bought at 8
    Sell(pen, "2", "微信");
    {
        // The till remembers how it was paid last.
        const GoodsRow row = Goods(pen);
        SellWindow w(window_.get(), &row);
        EXPECT_EQ(w.付款方式框->currentText(), QStringLiteral("微信"));
    }
    Sell(pen, "1", "现金");

    QTcpServer printer;
    ASSERT_TRUE(printer.listen(QHostAddress::LocalHost));
    PrinterChoice choice;
    choice.kind = PrinterChoice::Kind::EscPos;
    choice.escPosTarget = QStringLiteral("127.0.0.1:%1").arg(printer.serverPort());
    WritePrinterChoice(choice);

    At(16);
    ShiftWindow w(window_.get());
    const QString open = w.交班报表->toPlainText();
    EXPECT_TRUE(open.contains(QStringLiteral("销售：2 笔，3 件"))) << open.toStdString();
    EXPECT_TRUE(open.contains(QStringLiteral("应有现金：212.5"))) << open.toStdString();
    w.实点现金框->setText(QStringLiteral("210"));
    EXPECT_EQ(w.差额标签->text(), QStringLiteral("差额：短款 2.5"));
    QTest::mouseClick(w.交班按钮, Qt::LeftButton);
    ASSERT_TRUE(w.HandedOver());

    ASSERT_TRUE(printer.waitForNewConnection(5000));
    QTcpSocket* connection = printer.nextPendingConnection();
    QByteArray printed;
    while (connection->state() == QAbstractSocket::ConnectedState &&
           connection->waitForReadyRead(5000))
        printed += connection->readAll();
    printed += connection->readAll();
    for (const char* line :
         {"收银员：店员", "  微信：25", "  现金：12.5", "实点现金：210", "差额：短款 2.5"})
        EXPECT_TRUE(printed.contains(ToGbk(QString::fromUtf8(line)))) << line;

    ledger::Shift stored;
    QString error;
    ASSERT_TRUE(ledger::ReadShift(SharedConnection(), first, &stored, &error));
    EXPECT_EQ(stored.end, QDateTime(QDate(2026, 12, 11), QTime(16, 0)));
    EXPECT_EQ(stored.countedFen, 21000);
    EXPECT_EQ(stored.DifferenceFen(), -250);
    EXPECT_EQ(OpenShift(), 0);

    // The next login: a float that is no number is asked again.
    At(16, 5);
    dialogs_.AnswerInput(QStringLiteral("两百"));
    dialogs_.AnswerInput(QStringLiteral("50"));
    BeginShift(window_.get());
    const qint64 next = OpenShift();
    ASSERT_TRUE(ledger::ReadShift(SharedConnection(), next, &stored, &error));
    EXPECT_NE(next, first);
    EXPECT_EQ(stored.floatFen, 5000);
    EXPECT_EQ(stored.figures.sales, 0);

    // The close of the day is the super administrator's, with the gross profit.
    OpenDayCloseWindow(window_.get());
    EXPECT_TRUE(LastSkinText().contains(QStringLiteral("超级管理员")))
        << LastSkinText().toStdString();
    LogInAsSuperAdmin();
    DayCloseWindow day(window_.get());
    ASSERT_EQ(day.日结表->Rows(), 4);  // two header rows, 前台1/店员, the totals
    EXPECT_EQ(day.日结表->CellText(2, 2), QStringLiteral("前台1"));
    EXPECT_EQ(day.日结表->CellText(2, 8), QStringLiteral("13.5"));  // (12.5 − 8) × 3
    EXPECT_EQ(day.日结表->CellText(3, 6), QStringLiteral("37.5"));
    ASSERT_EQ(day.交班表->Rows(), 4);  // the one handover
    EXPECT_EQ(day.交班表->CellText(2, ledger::kShiftDifference + 1), QStringLiteral("-2.5"));
    day.收银台框->setCurrentText(QStringLiteral("前台2"));
    day.ShowShifts();
    EXPECT_EQ(day.交班表->Rows(), 3);  // none there
    EXPECT_TRUE(day.日结合计->text().contains(QStringLiteral("差额 短款 2.5")))
        << day.日结合计->text().toStdString();
}

}  // namespace
