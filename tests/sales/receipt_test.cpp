#include "sales/receipt.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFont>
#include <QPrinter>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include "common/gbk.h"
#include "sales/escpos.h"
#include "sales/receipt_printer.h"

namespace {

const ReceiptTexts kTexts{QStringLiteral("岚库通"), QStringLiteral("管理软件"),
                          QStringLiteral("岚库通管理软件")};

QByteArray Gbk(const char* utf8) {
    return ToGbk(QString::fromUtf8(utf8));
}

TEST(ReceiptLines, AreLaidOutInGbkBytes) {
    EXPECT_EQ(ReceiptHeaderLines(kTexts),
              QStringList({"             岚库通", "名 称       数 量   单 价（元）"}));
    EXPECT_EQ(ToGbk(ReceiptGoodsLine("圆珠笔", 1, 12.5)), Gbk("圆珠笔         1      12.5"));
    EXPECT_EQ(ToGbk(ReceiptGoodsLine("牛奶", 2.5, 8.8)), Gbk("牛奶           2.5    8.8"));
    // Exactly 15 bytes: kept whole.
    EXPECT_EQ(ToGbk(ReceiptGoodsLine("A电脑显示器液晶", 1, 3)), Gbk("A电脑显示器液晶1      3"));
    // 20 bytes: the first 10, padded to 15.
    EXPECT_EQ(ToGbk(ReceiptGoodsLine("电脑显示器液晶屏幕", 1, 0.1 * 3)),
              Gbk("电脑显示器     1      0.3"));
    // The tenth byte would be half a hanzi: cut before it.
    EXPECT_EQ(ToGbk(ReceiptGoodsLine("A电脑显示器液晶屏", 1, 1)), Gbk("A电脑显示      1      1"));
}

TEST(ReceiptLines, ClosingLinesCarryTheExactTotal) {
    EXPECT_EQ(ReceiptClosingLines(2, 12.5 + 3.9, kTexts),
              QStringList({"--------------------------", "合计：         2      16.4",
                           "==========================", "管理软件", "岚库通管理软件"}));
    EXPECT_EQ(ReceiptClosingLines(0, 0, kTexts)[1], "合计：         0      0");
    EXPECT_EQ(ReceiptPreviewText({"a", "b"}), "\na\nb");
}

TEST(EscPosReceipt, SendsChineseTextFittedToThePaperThenCuts) {
    const QByteArray bytes = EscPosReceipt("\r\n岚库通  \r\nAB", {32, false});
    EXPECT_EQ(bytes, QByteArray("\x1b\x40\x1c\x26") + "\n" + Gbk("岚库通") + "\n" + "AB\n" +
                         QByteArray("\x1b\x64\x04\x1d\x56\x42\x00", 7));
    EXPECT_TRUE(EscPosReceipt("x", {48, true}).endsWith(QByteArray("\x1b\x70\x00\x19\xfa", 5)));

    // One column short of the sixteenth hanzi: it goes to the next line whole.
    const QByteArray line = Gbk("A") + Gbk("电").repeated(20);
    const QList<QByteArray> pieces = FitGbkLine(line, 32);
    ASSERT_EQ(pieces.size(), 2);
    EXPECT_EQ(pieces[0], Gbk("A") + Gbk("电").repeated(15));
    EXPECT_EQ(pieces[1], Gbk("电").repeated(5));
    EXPECT_EQ(FitGbkLine(QByteArray(), 32), QList<QByteArray>{QByteArray()});
}

class PrinterTest : public ::testing::Test {
  protected:
    QTemporaryDir dir_;
    const QByteArray receipt_ = EscPosReceipt("\n岚库通\n圆珠笔         1      12.5", {32, true});
};

TEST_F(PrinterTest, ANetworkPrinterReceivesTheReceipt) {
    QTcpServer printer;
    ASSERT_TRUE(printer.listen(QHostAddress::LocalHost));
    QString failure;
    ASSERT_TRUE(SendToEscPosPrinter(QStringLiteral("127.0.0.1:%1").arg(printer.serverPort()),
                                    receipt_, &failure))
        << failure.toStdString();
    ASSERT_TRUE(printer.waitForNewConnection(5000));
    QTcpSocket* connection = printer.nextPendingConnection();
    QByteArray received;
    while (connection->state() == QAbstractSocket::ConnectedState &&
           connection->waitForReadyRead(5000))
        received += connection->readAll();
    received += connection->readAll();
    EXPECT_EQ(received, receipt_);
}

TEST_F(PrinterTest, APrinterThatRefusesOrIsMissingIsReportedInChinese) {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    QString failure;
    EXPECT_FALSE(SendToEscPosPrinter(QStringLiteral("127.0.0.1:%1").arg(port), receipt_, &failure));
    EXPECT_TRUE(failure.contains("拒绝连接")) << failure.toStdString();

    failure.clear();
    EXPECT_FALSE(SendToEscPosPrinter(dir_.filePath("无此目录/lp0"), receipt_, &failure));
    EXPECT_TRUE(failure.startsWith("无法打开小票打印机")) << failure.toStdString();
}

TEST_F(PrinterTest, ADeviceFileReceivesTheReceipt) {
    const QString device = dir_.filePath("lp0");
    QString failure;
    ASSERT_TRUE(SendToEscPosPrinter(device, receipt_, &failure)) << failure.toStdString();
    QFile written(device);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), receipt_);
}

TEST_F(PrinterTest, ARawQueueGetsTheBytesThroughLp) {
    // A stand-in for CUPS' lp that keeps its arguments and what it was given.
    const QString lp = dir_.filePath("lp");
    QFile script(lp);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(
        "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/args\"\n"
        "cat > \"$(dirname \"$0\")/job\"\n[ \"$2\" = 小票 ]\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir_.path().toUtf8() + ":" + path);
    QString failure;
    EXPECT_TRUE(SendToEscPosPrinter("小票", receipt_, &failure)) << failure.toStdString();
    EXPECT_FALSE(SendToEscPosPrinter("别的队列", receipt_, &failure));
    qputenv("PATH", path);
    EXPECT_TRUE(failure.startsWith("打印队列 别的队列 不接受小票"));
    QFile args(dir_.filePath("args"));
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(args.readAll()), "-d 别的队列 -o raw\n");
    QFile job(dir_.filePath("job"));
    ASSERT_TRUE(job.open(QIODevice::ReadOnly));
    EXPECT_EQ(job.readAll(), receipt_);
}

TEST_F(PrinterTest, TheSystemPrinterPathPrintsEveryLine) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = dir_.filePath("小票.pdf");
    printer.setOutputFileName(pdf);
    QStringList lines(200, QStringLiteral("圆珠笔         1      12.5"));
    QString failure;
    ASSERT_TRUE(PrintTextOnPrinter(&printer, lines.join('\n'), QFont(), &failure));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.startsWith("%PDF"));
    // 200 lines do not fit on one page: the rest go on further pages of the same job.
    EXPECT_GT(content.count("/Type /Page") - content.count("/Type /Pages"), 1);
}

}  // namespace
