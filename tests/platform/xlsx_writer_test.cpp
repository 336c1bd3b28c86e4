#include "platform/xlsx_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "support/workbook_reader.h"

namespace {

// unzip checks every entry's size and checksum against the archive's directory.
bool ArchiveIntact(const QString& path) {
    QProcess unzip;
    unzip.start("unzip", {"-tq", path});
    unzip.waitForFinished();
    return unzip.exitStatus() == QProcess::NormalExit && unzip.exitCode() == 0;
}

TEST(XlsxWriter, TextsKeepEveryCharacterAndLongSheetsStayIntact) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("表.xlsx"));
    // An export of the books is its owner's alone, whatever the umask.
    const mode_t umaskBefore = ::umask(022);
    XlsxWriter sheet(path);
    ::umask(umaskBefore);
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 077, 0u);
    sheet.SetColumnWidths({80, 40});
    sheet.StartRow(0);
    sheet.WriteText(0, u"  A&B <c> \U0001F600 纸\x01", XlsxWriter::kBold);
    sheet.WriteDate(1, 1900, 2, 28, 0, 0, 0, XlsxWriter::kDay);
    sheet.StartRow(2);  // row 2 (the second) stays out of the sheet
    EXPECT_FALSE(sheet.WriteDate(0, 1899, 12, 31, 0, 0, 0, XlsxWriter::kDay));
    sheet.WriteDate(1, 1900, 3, 1, 12, 0, 0, XlsxWriter::kMoment);
    // Several megabytes of rows: the sheet goes through the compressing thread in pieces.
    for (int r = 3; r < 60000; ++r) {
        sheet.StartRow(r);
        sheet.WriteNumber(0, r * 0.25, XlsxWriter::kPlain);
        sheet.WriteText(1, QStringLiteral("商品名称%1").arg(r), XlsxWriter::kPlain);
    }
    sheet.Merge(59999, 0, 59999, 1);
    ASSERT_TRUE(sheet.Finish());

    EXPECT_TRUE(ArchiveIntact(path));
    const Sheet read = ReadSheet(path);
    EXPECT_EQ(read.Text("A1"), QStringLiteral("  A&B <c> \U0001F600 纸_x0001_"));
    EXPECT_EQ(read.Text("B1"), "59");
    EXPECT_EQ(read.Text("B3"), "61.5");  // past Excel's 29 February 1900
    EXPECT_TRUE(read.RefsInRow(2).isEmpty());
    EXPECT_EQ(read.Text("A60000"), "14999.75");
    EXPECT_EQ(read.Text("B60000"), QStringLiteral("商品名称59999"));
    EXPECT_EQ(read.merges, QStringList{"A60000:B60000"});
}

TEST(XlsxWriter, RefusedCellsAndUnwritableFilesFailTheWorkbook) {
    QTemporaryDir dir;
    XlsxWriter tooLong(dir.filePath("long.xlsx"));
    tooLong.StartRow(0);
    tooLong.WriteText(0, QString(XlsxWriter::kMaxTextLength + 1, 'x'), XlsxWriter::kPlain);
    EXPECT_FALSE(tooLong.Finish());

    XlsxWriter backwards(dir.filePath("order.xlsx"));
    backwards.StartRow(1);
    backwards.WriteNumber(1, 1, XlsxWriter::kPlain);
    backwards.WriteNumber(0, 2, XlsxWriter::kPlain);  // a cell left of one already written
    EXPECT_FALSE(backwards.Finish());

    XlsxWriter missing(dir.filePath("no/such/folder.xlsx"));
    missing.StartRow(0);
    missing.WriteNumber(0, 1, XlsxWriter::kPlain);
    EXPECT_FALSE(missing.Ok());
    EXPECT_FALSE(missing.Finish());

    // A full disk: the compressing thread's failed write reaches Finish.
    XlsxWriter full(QStringLiteral("/dev/full"));
    for (int r = 0; r < 100000; ++r) {
        full.StartRow(r);
        full.WriteText(0, QStringLiteral("满盘%1").arg(r), XlsxWriter::kPlain);
    }
    EXPECT_FALSE(full.Finish());
}

}  // namespace
