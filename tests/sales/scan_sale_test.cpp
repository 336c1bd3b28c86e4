#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpServer>
#include <QTest>

#include "common/gbk.h"
#include "common/ini.h"
#include "common/settings.h"
#include "sales/escpos.h"
#include "sales/printer_choice_window.h"
#include "sales/receipt_printer.h"
#include "sales/scan_batch.h"
#include "sales/scan_sale_window.h"
#include "sales/sell_window.h"
#include "sales_fixture.h"
#include "store/shared_db.h"

namespace {

class ScanSaleTest : public SalesFixture {
  protected:
    void SetUp() override {
        SalesFixture::SetUp();
        LogRefills();
        scan_ = new ScanSaleWindow(window_.get());
        scan_->show();
    }
    void TearDown() override {
        delete scan_;
        SalesFixture::TearDown();
    }

    QString AddCoded(const QString& name, const QString& code, double price, double stock,
                     const QString& initials) {
        EXPECT_TRUE(SharedConnection().Execute(
            "insert into buy (名称, 编码, 进货单价, 销售单价, 进货数量, 存货数量, 存货金额, 首拼) "
            "values (?, ?, 1, ?, ?, ?, ?, ?)",
            {name, code, price, stock, stock, stock, initials}));
        DbRecordSet records;
        records.Open("select max(ID) as id from buy", SharedConnection(), true);
        return FieldText(records, "id");
    }

    // Types the code and Enter key by key, as a scanner does.
    void Scan(const QString& code) {
        QTest::keyClicks(scan_->商品编码编辑框, code);
        QTest::keyClick(scan_->商品编码编辑框, Qt::Key_Return);
    }

    QStringList Lines() const {
        QStringList lines;
        for (int i = 0; i < scan_->列表框1->count(); ++i) lines << scan_->列表框1->item(i)->text();
        return lines;
    }

    QStringList SoldGoods() {
        QStringList ids;
        DbRecordSet records;
        records.Open("select UID from sell order by ID", SharedConnection(), true);
        for (; !records.IsEOF(); records.MoveNext()) ids << FieldText(records, "UID");
        return ids;
    }

    double Stock(const QString& id) { return Goods(id).存货数量; }

    // Each sell window of the batch confirms itself at its first tick.
    void ConfirmEachSale(int count) {
        for (int i = 0; i < count; ++i)
            dialogs_.OnWindow([](QDialog* d) { qobject_cast<SellWindow*>(d)->On时钟1Tick(); });
    }

    void UseEscPosPrinter(const QString& target) {
        PrinterChoice choice;
        choice.kind = PrinterChoice::Kind::EscPos;
        choice.escPosTarget = target;
        WritePrinterChoice(choice);
    }

    ScanSaleWindow* scan_ = nullptr;
};

TEST_F(ScanSaleTest, AnEmptyListPreviewsWithNoGoodsAndNoTotal) {
    EXPECT_EQ(scan_->windowTitle(), "扫描销售（批量销售）");
    EXPECT_EQ(scan_->size(), QSize(664, 485));
    EXPECT_EQ(scan_->focusWidget(), scan_->商品编码编辑框);
    QTest::mouseClick(scan_->按钮4, Qt::LeftButton);
    EXPECT_EQ(scan_->编辑框1->toPlainText(),
              "\n             岚库通\n名 称       数 量   单 价（元）\n--------------------------\n"
              "合计：         0      0\n==========================\n管理软件\n岚库通管理软件");
    EXPECT_FALSE(scan_->按钮4->isEnabled());
    EXPECT_FALSE(scan_->按钮1->isEnabled());
}

TEST_F(ScanSaleTest, ABurstOfScansAddsOneLinePerCodeWithoutRefillingTheStockList) {
    AddCoded("圆珠笔", "6901", 12.5, 10, "YZB");
    AddCoded("笔记本", "6902", 3.9, 10, "BJB");
    for (const char* code : {"6901", "6902", "6901", " 6902 ", "6901"}) Scan(code);
    EXPECT_EQ(Lines().mid(2),
              QStringList({"圆珠笔         1      12.5", "笔记本         1      3.9",
                           "圆珠笔         1      12.5", "笔记本         1      3.9",
                           "圆珠笔         1      12.5"}));
    EXPECT_TRUE(scan_->商品编码编辑框->text().isEmpty());
    EXPECT_TRUE(refreshed_.isEmpty()) << refreshed_.join(' ').toStdString();
    EXPECT_TRUE(dialogs_.Shown().isEmpty());

    // Unknown and empty codes add nothing.
    Scan("7777");
    QTest::keyClick(scan_->商品编码编辑框, Qt::Key_Return);
    EXPECT_EQ(SkinTexts(),
              QStringList({"输入商品编码有误！， 库中无本产品！", "请输入商品编码！"}));
    EXPECT_EQ(Lines().size(), 7);
    EXPECT_EQ(scan_->ReceiptTotal(), 12.5 * 3 + 3.9 * 2);
}

TEST_F(ScanSaleTest, AnExactCodeWinsOverOneThatOnlyContainsIt) {
    AddCoded("插座", "312", 20, 5, "CZ");
    const QString exact = AddCoded("灯泡", "12", 5, 5, "DP");
    Scan("12");
    Scan("31");
    EXPECT_EQ(scan_->LineGoodsId(2), exact);
    EXPECT_EQ(Lines().mid(2), QStringList({"灯泡           1      5", "插座           1      20"}));
}

TEST_F(ScanSaleTest, DeletingALineTakesItsPriceOffExactly) {
    AddCoded("圆珠笔", "1", 12.5, 10, "YZB");
    AddCoded("笔记本", "2", 3.9, 10, "BJB");
    Scan("1");
    Scan("2");
    Scan("2");
    scan_->列表框1->setCurrentRow(3);
    scan_->OnDeleteLine();
    scan_->列表框1->setCurrentRow(1);  // a header line stays
    scan_->OnDeleteLine();
    EXPECT_EQ(Lines().size(), 4);
    QTest::mouseClick(scan_->按钮4, Qt::LeftButton);
    EXPECT_TRUE(scan_->编辑框1->toPlainText().contains("合计：         2      16.4"));
}

TEST_F(ScanSaleTest, QClearsAnEmptyBoxButNotACodeContainingIt) {
    AddCoded("圆珠笔", "AQ1", 2, 10, "YZB");
    Scan("AQ1");
    EXPECT_EQ(Lines().size(), 3);
    QTest::keyClick(scan_->商品编码编辑框, Qt::Key_Q);
    EXPECT_EQ(Lines().size(), 2);
    EXPECT_EQ(scan_->ReceiptTotal(), 0);
}

// Five scans, two of the same goods and two goods with equal initials; the preview edited;
// the batch sold without confirming each sale; the receipt printed on a receipt printer.
TEST_F(ScanSaleTest, TheBatchSellsTheScannedGoodsAndPrintsTheEditedPreview) {
    const QString pen = AddCoded("圆珠笔", "6901", 12.5, 10, "YZB");
    const QString computer = AddCoded("电脑", "6902", 3000, 3, "DN");
    const QString milk = AddCoded("断奶", "6903", 9.9, 4, "DN");
    const QString lamp = AddCoded("台灯", "6904", 45, 2, "TD");
    for (const char* code : {"6903", "6901", "6902", "6901", "6904"}) Scan(code);

    QTest::mouseClick(scan_->按钮4, Qt::LeftButton);
    scan_->编辑框1->appendPlainText(QStringLiteral("谢谢惠顾"));
    const QString edited = scan_->编辑框1->toPlainText();

    ConfirmEachSale(5);
    QTest::mouseClick(scan_->按钮5, Qt::LeftButton);
    EXPECT_EQ(SoldGoods(), QStringList({milk, pen, computer, pen, lamp}));
    EXPECT_EQ(Stock(pen), 8);
    EXPECT_EQ(Stock(computer), 2);
    EXPECT_EQ(Stock(milk), 3);
    EXPECT_EQ(Stock(lamp), 1);
    EXPECT_FALSE(SkinTexts().contains("销售商品完成"));
    EXPECT_FALSE(ScanBatchMode());
    EXPECT_FALSE(AutoConfirmSale());

    const QString device = File("lp0");
    UseEscPosPrinter(device);
    QTest::mouseClick(scan_->按钮3, Qt::LeftButton);
    QFile printed(device);
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    const QByteArray bytes = printed.readAll();
    EXPECT_EQ(bytes, EscPosReceipt(edited, {32, false}));
    EXPECT_TRUE(bytes.contains(ToGbk("谢谢惠顾\n")));
    EXPECT_TRUE(bytes.contains(ToGbk("合计：         5      3079.9\n")));
    // Printed after the batch: the window's work is done.
    EXPECT_EQ(scan_->result(), QDialog::Accepted);
}

// "入库（可修改）" after the preview: the receipt is made again from what the sell windows
// booked, without the goods whose window sold nothing.
TEST_F(ScanSaleTest, TheReceiptListsWhatTheSellWindowsBooked) {
    AddCoded("牛奶", "6901", 8.8, 10, "NN");
    AddCoded("面包", "6902", 5, 10, "MB");
    Scan("6901");
    Scan("6902");
    QTest::mouseClick(scan_->按钮4, Qt::LeftButton);
    dialogs_.OnWindow([](QDialog* d) {
        auto* sell = qobject_cast<SellWindow*>(d);
        sell->销售数量框->setText("2");
        sell->Confirm();
    });
    dialogs_.OnWindow([](QDialog*) {});  // closed without selling
    QTest::mouseClick(scan_->按钮2, Qt::LeftButton);
    ASSERT_EQ(SaleCount(), 1);
    EXPECT_EQ(scan_->ReceiptTotal(), 17.6);
    EXPECT_EQ(scan_->编辑框1->toPlainText(),
              "\n             岚库通\n名 称       数 量   单 价（元）\n牛奶           2      8.8\n"
              "--------------------------\n合计：         2      17.6\n"
              "==========================\n管理软件\n岚库通管理软件");
}

TEST_F(ScanSaleTest, TheFirstPrintAsksForThePrinterAndAFailedPrintKeepsTheSales) {
    AddCoded("圆珠笔", "6901", 12.5, 10, "YZB");
    Scan("6901");
    dialogs_.OnWindow([](QDialog* d) { qobject_cast<SellWindow*>(d)->Confirm(); });
    QTest::mouseClick(scan_->按钮2, Qt::LeftButton);
    ASSERT_EQ(SaleCount(), 1);

    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const QString target = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
    closed.close();
    dialogs_.OnWindow([&](QDialog* d) {
        auto* choice = qobject_cast<PrinterChoiceWindow*>(d);
        ASSERT_NE(choice, nullptr);
        choice->小票打印机选项->setChecked(true);
        choice->Confirm();  // no address yet: refused
        choice->小票打印机地址框->setText(target);
        choice->Confirm();
    });
    QTest::mouseClick(scan_->按钮3, Qt::LeftButton);
    EXPECT_EQ(IniRead(ReceiptPath(), kReceiptSection, "打印方式"), "小票打印机");
    EXPECT_EQ(IniRead(ReceiptPath(), kReceiptSection, "小票打印机"), target);
    const QStringList texts = SkinTexts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], "请输入小票打印机的地址！");
    EXPECT_TRUE(texts[1].contains("拒绝连接"));
    EXPECT_EQ(SaleCount(), 1);
    EXPECT_NE(scan_->result(), QDialog::Accepted);  // open, to print again
}

}  // namespace
