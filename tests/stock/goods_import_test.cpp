#include "stock/goods_import.h"

#include <gtest/gtest.h>

#include "common/gbk.h"

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
    const ImportTable table = ReadCsv(utf8);
    ASSERT_EQ(table.rows.size(), 3);
    EXPECT_EQ(table.rows[0], (QStringList{"名称", "备注", "数量"}));
    EXPECT_EQ(table.rows[1], (QStringList{"笔记本,15寸", "说明\"好\"\n第二行", "3"}));
    EXPECT_EQ(table.rows[2], (QStringList{"可乐", "", "24"}));
}

TEST(ImportCsv, GbkAndTabSeparatedFilesAreReadAsWritten) {
    const ImportTable gbk = ReadCsv(ToGbk(QStringLiteral("名称,型号\r\n電腦,T60\r\n")));
    ASSERT_EQ(gbk.rows.size(), 2);
    EXPECT_EQ(gbk.rows[1], (QStringList{"電腦", "T60"}));

    const ImportTable tabs = ReadCsv("名称\t备注\n钢笔\t1,2,3\n");
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
