#include "stock/goods_import.h"

#include <gtest/gtest.h>
#include <zip.h>
#include <zlib.h>

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include "common/gbk.h"
#include "common/name_initials.h"
#include "goods_test_support.h"
#include "stock/import_window.h"
#include "stock/stock_in_window.h"

namespace {

const QDate kToday(2026, 12, 9);

ImportTable Table(std::initializer_list<QStringList> rows) {
    ImportTable table;
    for (const QStringList& row : rows) table.rows << row;
    return table;
}

const QStringList kHeader = {"类型",     "名称",     "型号",     "编码",   "进货数量",
                             "进货单价", "销售单价", "入库日期", "供货商", "备注"};

}  // namespace

TEST(ImportCsv, QuotedFieldsKeepSeparatorsLineBreaksAndQuotes) {
    const QByteArray utf8 =
        "\xEF\xBB\xBF名称,备注,数量\r\n"
        "\"笔记本,15寸\",\"说明\"\"好\"\"\n第二行\",3\r\n"
        "可乐,,24";
    ImportTable table;
    QString error;
    ASSERT_TRUE(ReadCsv(utf8, &table, &error));
    ASSERT_EQ(table.rows.size(), 3);
    EXPECT_EQ(table.rows[0], (QStringList{"名称", "备注", "数量"}));
    EXPECT_EQ(table.rows[1], (QStringList{"笔记本,15寸", "说明\"好\"\n第二行", "3"}));
    EXPECT_EQ(table.rows[2], (QStringList{"可乐", "", "24"}));
}

TEST(ImportCsv, GbkAndTabSeparatedFilesAreReadAsWritten) {
    ImportTable gbk, tabs;
    QString error;
    ASSERT_TRUE(ReadCsv(ToGbk(QStringLiteral("名称,型号\r\n電腦,T60\r\n")), &gbk, &error));
    ASSERT_EQ(gbk.rows.size(), 2);
    EXPECT_EQ(gbk.rows[1], (QStringList{"電腦", "T60"}));

    ASSERT_TRUE(ReadCsv("名称\t备注\n钢笔\t1,2,3\n", &tabs, &error));
    ASSERT_EQ(tabs.rows.size(), 2);
    EXPECT_EQ(tabs.rows[1], (QStringList{"钢笔", "1,2,3"}));
}

TEST(ImportXlsx, WorkbookOfAnotherProgramWithInlineTextsAndADateCell) {
    ImportTable table;
    QString error;
    ASSERT_TRUE(
        ReadImportFile(QStringLiteral(LK_TEST_DATA_DIR "/openpyxl_goods.xlsx"), &table, &error))
        << error.toStdString();
    const ColumnMap map = GuessColumns(table);
    EXPECT_EQ(map.headerRow, 1);  // under a title line
    const std::vector<ImportGoods> goods = CheckImportRows(table, map, kToday);
    ASSERT_EQ(goods.size(), 2u);
    EXPECT_EQ(goods[0].line, 3);
    EXPECT_EQ(goods[0].名称, "联想笔记本");
    EXPECT_EQ(goods[0].编码, "LX-T60");
    EXPECT_DOUBLE_EQ(goods[0].进货单价, 3500.5);
    EXPECT_EQ(goods[0].入库日期, QDate(2026, 3, 5));
    EXPECT_TRUE(goods[0].problem.isEmpty()) << goods[0].problem.toStdString();
    EXPECT_EQ(goods[1].编码, "KL");  // proposed from the name's initials
    EXPECT_EQ(goods[1].入库日期, QDate(2026, 3, 6));
}

TEST(ImportXlsx, AFileThatIsNoWorkbookIsRefusedWithAMessage) {
    ImportTable table;
    QString error;
    EXPECT_FALSE(
        ReadXlsx(QStringLiteral(LK_TEST_DATA_DIR "/../goods_import_test.cpp"), &table, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ImportRows, EachProblemIsNamedWithItsLineAndTheRestIsKept) {
    const QString longText(51, QChar(u'长'));
    const ImportTable table = Table({
        {"岚库通商品表"},
        kHeader,
        {"文具", "钢笔", "", "GB1", "10", "2", "3.5", "2012年6月3日", "", ""},
        {"", "铅笔", "", "QB", "10", "1", "2", "", "", ""},
        {"文具", "橡皮", "", "XP", "十个", "1", "2", "", "", ""},
        {"文具", "尺子", "", "CZ", "5", "0", "2", "", "", ""},
        {"文具", longText, "", "CC", "5", "1", "2", "", "", ""},
        {"文具", "本子", "", "BZ", "5", "1", "2", "昨天", "", ""},
        {"", "", "", "", "", "", "", "", "", ""},
        {"文具", "钢笔芯", "", "gb1", "5", "1", "2", "2012-6-4", "", ""},
        {"", "合计：", "", "", "45", "", "", "", "", ""},
    });
    const ColumnMap map = GuessColumns(table);
    ASSERT_EQ(map.headerRow, 1);
    const std::vector<ImportGoods> goods = CheckImportRows(table, map, kToday);
    ASSERT_EQ(goods.size(), 7u);  // the blank and the totals rows are left out
    EXPECT_TRUE(goods[0].problem.isEmpty());
    EXPECT_EQ(goods[0].入库日期, QDate(2012, 6, 3));
    const struct {
        int line;
        const char* problem;
    } expected[] = {
        {4, "商品类别必须填写"}, {5, "进货数量不是数字"}, {6, "进货价格必须填写"},
        {7, "名称超过50个字"},   {8, "入库日期无法识别"}, {10, "编码与第3行相同"},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(goods[i + 1].line, expected[i].line);
        EXPECT_EQ(goods[i + 1].problem, QString::fromUtf8(expected[i].problem));
    }
    EXPECT_EQ(goods[1].入库日期, kToday);  // an empty date is today's
}

TEST(ImportRows, RowsTheLedgerCouldNotTakeAsWrittenAreNamedNeverDroppedOrReadOtherwise) {
    const struct {
        QStringList row;
        const char* problem;
    } cases[] = {
        {{"文具", "钢笔", "", "GB", "10", "2", "3", "3000000", "", ""}, "入库日期晚于9999年"},
        {{"杂项", "合计：", "", "HJ", "1", "2", "3", "", "", ""}, ""},
        {{"文具", "铅笔", "", "QB", "-5", "1", "2", "", "", ""}, "进货数量是负数"},
        {{"文具", "本子", "", "BZ", "1e3", "1", "2", "", "", ""}, "进货数量不是数字"},
        {{"文具", "尺子", "", "CZ", "2", "1", "-2.5", "", "", ""}, "销售单价是负数"},
    };
    ImportTable table = Table({kHeader});
    for (const auto& c : cases) table.rows << c.row;
    const std::vector<ImportGoods> goods = CheckImportRows(table, GuessColumns(table), kToday);
    ASSERT_EQ(goods.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(goods[i].名称, cases[i].row[1]);
        EXPECT_EQ(goods[i].problem, QString::fromUtf8(cases[i].problem)) << i;
    }
}

namespace {

// A workbook holding nothing but a first sheet of head, then repeated count times, then tail,
// stored with the given size in its headers (0: the true one). The repeated part is deflated
// once and its output repeated, so that a sheet of a gigabyte costs the test a moment.
void WriteSheet(const QString& path, const QByteArray& head, const QByteArray& repeated,
                qint64 count, const QByteArray& tail, uLong claimedSize = 0) {
    QByteArray raw;
    z_stream z{};
    ASSERT_EQ(deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY), Z_OK);
    const auto deflateAll = [&](const QByteArray& in, int flush) {
        QByteArray out(static_cast<qsizetype>(deflateBound(&z, in.size())) + 64, '\0');
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
        z.avail_in = static_cast<uInt>(in.size());
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = static_cast<uInt>(out.size());
        deflate(&z, flush);
        out.resize(out.size() - z.avail_out);
        return out;
    };
    // After a full flush no block refers back to what came before, so blocks repeat freely.
    raw += deflateAll(head, Z_FULL_FLUSH);
    const QByteArray block = deflateAll(repeated, Z_FULL_FLUSH);
    for (qint64 i = 0; i < count; ++i) raw += block;
    raw += deflateAll(tail, Z_FINISH);
    deflateEnd(&z);

    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(head.constData()), head.size());
    const uLong blockCrc =
        crc32(0, reinterpret_cast<const Bytef*>(repeated.constData()), repeated.size());
    for (qint64 i = 0; i < count; ++i) crc = crc32_combine(crc, blockCrc, repeated.size());
    crc = crc32_combine(
        crc, crc32(0, reinterpret_cast<const Bytef*>(tail.constData()), tail.size()), tail.size());
    const uLong size = static_cast<uLong>(head.size() + repeated.size() * count + tail.size());

    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    ASSERT_NE(zip, nullptr);
    ASSERT_EQ(zipOpenNewFileInZip2(zip, "xl/worksheets/sheet1.xml", nullptr, nullptr, 0, nullptr, 0,
                                   nullptr, Z_DEFLATED, Z_BEST_COMPRESSION, 1),
              ZIP_OK);
    ASSERT_EQ(zipWriteInFileInZip(zip, raw.constData(), static_cast<unsigned>(raw.size())), ZIP_OK);
    ASSERT_EQ(zipCloseFileInZipRaw(zip, claimedSize ? claimedSize : size, crc), ZIP_OK);
    ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
}

// The kernel's high-water mark of the process's memory starts again from what it holds now.
void ResetPeakMemory() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    ASSERT_TRUE(clear.open(QIODevice::WriteOnly));
    clear.write("5");
}
// The most memory the process has held since ResetPeakMemory, in MB.
double PeakMemoryMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ')[0].toDouble() / 1024;
    return -1;
}

}  // namespace

// The bound of the program's memory; an address sanitizer's shadow and quarantine hold freed
// blocks long after the reader let them go.
#if defined(__SANITIZE_ADDRESS__)
constexpr double kPeakMemoryMb = 2000;
#else
constexpr double kPeakMemoryMb = 300;
#endif

TEST(ImportXlsx, ASheetPastTheLimitsIsRefusedWithinBoundedMemoryWhateverItsHeadersSay) {
    const QByteArray head = "<worksheet><sheetData>";
    const QByteArray tail = "</sheetData></worksheet>";
    const QByteArray emptyRow = "<row>" + QByteArray(4000, ' ') + "</row>";
    const struct {
        const char* what;
        QByteArray repeated;
        qint64 count;
        uLong claimedSize;
        const char* refusal;  // empty: read
    } cases[] = {
        {"unpacks to 1 GB", emptyRow, 250000, 0, "工作表解压后超过200MB"},
        {"claims 1 KB, unpacks to 1 GB", emptyRow, 250000, 1024, "已损坏"},
        {"claims 3.75 GB, holds one row", "<row><c t=\"inlineStr\"><is><t>钢笔</t></is></c></row>",
         1, 0xF0000000, ""},
        {"120,001 rows", "<row><c><v>1</v></c></row>", 120001, 0, "超过120000行"},
        {"a text of 1 GB", QByteArray(4000, 'x'), 250000, 0, "已损坏"},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath(QStringLiteral("炸弹.xlsx"));
        QFile::remove(path);
        const bool text = c.repeated.startsWith('x');
        WriteSheet(path, text ? head + "<row><c t=\"inlineStr\"><is><t>" : head, c.repeated,
                   c.count, text ? "</t></is></c></row>" + tail : tail, c.claimedSize);
        ResetPeakMemory();
        ImportTable table;
        QString error;
        const bool read = ReadXlsx(path, &table, &error);
        EXPECT_LT(PeakMemoryMb(), kPeakMemoryMb);
        const QString refusal = QString::fromUtf8(c.refusal);
        EXPECT_EQ(read, refusal.isEmpty()) << error.toStdString();
        if (refusal.isEmpty()) {
            EXPECT_EQ(table.rows, QList<QStringList>{{"钢笔"}});
        } else {
            EXPECT_TRUE(error.contains(refusal)) << error.toStdString();
        }
    }
}

namespace {

class ImportIntoStock : public GoodsFixture {
  protected:
    static GoodsImportRow Row(int line, const QString& name, const QString& code, double quantity,
                              double price, double salePrice = 9) {
        GoodsImportRow row;
        row.line = line;
        row.类型 = "文具";
        row.名称 = name;
        row.编码 = code;
        row.首拼 = NameInitials(name);
        row.进货数量 = quantity;
        row.进货单价 = price;
        row.销售单价 = salePrice;
        row.入库日期 = QDate(2026, 12, 1);
        return row;
    }
    QString IdOfCode(const QString& code) {
        return OpenSharedQuery("select ID from buy where 编码=?", {code})
                   ? FieldText(SharedRecordSet(), "ID")
                   : QString();
    }
    // 5 bought at 10, 4 sold for 48: 1 in stock.
    QString AddPens() {
        GoodsRow row;
        row.名称 = "圆珠笔";
        row.编码 = "YZB";
        row.类型 = "文具";
        row.进货数量 = 5;
        row.进货单价 = 10;
        row.进货金额 = 50;
        row.销售数量 = 4;
        row.销售金额 = 48;
        row.存货数量 = 1;
        row.存货金额 = 10;
        row.入库日期 = QDate(2012, 5, 1);
        return AddGoods(row);
    }
};

TEST_F(ImportIntoStock, ImportedGoodsCarryTheFiguresOfAStockInByHand) {
    StockInWindow* window = OpenStockInWindow(owner_.get(), false, nullptr);
    Type(window, "类别组合框", "文具");
    Type(window, "名称组合框", "钢笔");
    Type(window, "编码组合框", "GB-HAND");
    Type(window, "进货单价框", "2.5");
    Type(window, "数量框", "3");
    Type(window, "销售单价框", "3.9");
    Click(window, "按钮2");
    const GoodsRow byHand = Stored(IdOfCode("GB-HAND"));

    const GoodsImportResult result =
        ImportGoodsIntoStock(SharedConnection(), {Row(2, "钢笔", "GB-FILE", 3, 2.5, 3.9)}, false);
    ASSERT_EQ(result.outcome, GoodsImportResult::Done) << result.error.toStdString();
    const GoodsRow imported = Stored(IdOfCode("GB-FILE"));
    EXPECT_EQ(imported.名称, byHand.名称);
    EXPECT_EQ(imported.入库日期, QDate(2026, 12, 1));
    for (auto field :
         {&GoodsRow::进货数量, &GoodsRow::进货单价, &GoodsRow::进货金额, &GoodsRow::销售数量,
          &GoodsRow::销售单价, &GoodsRow::销售金额, &GoodsRow::存货数量, &GoodsRow::存货金额})
        EXPECT_DOUBLE_EQ(imported.*field, byHand.*field);
}

TEST_F(ImportIntoStock, ACodeInStockIsRestockedAtItsStoredPriceOrLeftOut) {
    const QString pens = AddPens();
    const std::vector<GoodsImportRow> rows = {Row(2, "圆珠笔", "yzb", 3, 99),
                                              Row(3, "铅笔", "QB", 2, 1)};

    GoodsImportResult result = ImportGoodsIntoStock(SharedConnection(), rows, false);
    ASSERT_EQ(result.outcome, GoodsImportResult::Done);
    EXPECT_EQ(result.added, 1);
    EXPECT_EQ(result.skippedLines, QList<int>{2});
    EXPECT_DOUBLE_EQ(Stored(pens).进货数量, 5);

    result = ImportGoodsIntoStock(SharedConnection(), {rows[0]}, true);
    ASSERT_EQ(result.outcome, GoodsImportResult::Done);
    EXPECT_EQ(result.restocked, 1);
    const GoodsRow after = Stored(pens);
    EXPECT_DOUBLE_EQ(after.进货数量, 8);
    EXPECT_DOUBLE_EQ(after.进货金额, 80);
    EXPECT_DOUBLE_EQ(after.销售数量, 4);  // the sales stay as stored
    EXPECT_DOUBLE_EQ(after.存货数量, 4);
    EXPECT_DOUBLE_EQ(after.存货金额, 40);
    EXPECT_EQ(GoodsCount(), 2);
}

TEST_F(ImportIntoStock, ACancelledOrFailedImportChangesNothing) {
    AddPens();
    std::vector<GoodsImportRow> rows;
    for (int i = 0; i < 1200; ++i) rows.push_back(Row(i + 2, "本子", QString("BZ%1").arg(i), 1, 1));
    int calls = 0;
    GoodsImportResult result =
        ImportGoodsIntoStock(SharedConnection(), rows, true, [&calls](int) { return ++calls < 2; });
    EXPECT_EQ(result.outcome, GoodsImportResult::Cancelled);
    EXPECT_EQ(GoodsCount(), 1);

    ASSERT_TRUE(SharedConnection().Execute(
        "create trigger refuse before insert on buy when new.编码 = 'BZ900' "
        "begin select raise(abort, '写入失败'); end"));
    result = ImportGoodsIntoStock(SharedConnection(), rows, true);
    EXPECT_EQ(result.outcome, GoodsImportResult::StoreFailed);
    EXPECT_TRUE(result.error.contains("写入失败"));
    EXPECT_EQ(GoodsCount(), 1);
}

TEST_F(ImportIntoStock, TheWindowImportsTheGoodRowsAndNamesTheOthers) {
    QFile csv(File("商品表.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write(
        ToGbk("类型,名称,编码,进货数量,进货单价,销售单价\r\n"
              "文具,钢笔,GB,10,2.5,3.5\r\n"
              ",铅笔,QB,10,1,2\r\n"
              "文具,\"本子,大\",BZ,5,1,2\r\n"));
    csv.close();

    ImportWindow window(owner_.get());
    ASSERT_TRUE(window.LoadFile(File("商品表.csv")));
    EXPECT_EQ(window.统计标签->text(), "共3行：可导入2行（其中续存0行），有问题1行不导入");
    EXPECT_EQ(window.预览表->item(1, 11)->text(), "商品类别必须填写");
    ASSERT_TRUE(window.导入按钮->isEnabled());
    window.导入按钮->click();

    EXPECT_EQ(dialogs_.Texts().last(),
              "导入商品完成：新建2件，续存0件\r\n以下1行没有导入：\r\n第3行：商品类别必须填写");
    EXPECT_EQ(GoodsCount(), 2);
    EXPECT_EQ(Stored(IdOfCode("BZ")).名称, "本子,大");
    EXPECT_TRUE(refreshed_.contains("Stock"));
}

}  // namespace
