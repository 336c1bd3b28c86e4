#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QXmlStreamReader>
#include <map>

#include "common/cell_row.h"
#include "common/date_text.h"
#include "grid_fixture.h"
#include "platform/dialogs.h"
#include "support/workbook_reader.h"

namespace {

class GridExport : public GridFixture {
  protected:
    static QString SheetNameOf(const QString& path) {
        QProcess unzip;
        unzip.start("unzip", {"-p", path, "xl/workbook.xml"});
        unzip.waitForFinished();
        QXmlStreamReader xml(unzip.readAllStandardOutput());
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"sheet")
                return xml.attributes().value("name").toString();
        return QString();
    }
    QStringList Entries() const {
        return QDir(Dir()).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                                     QDir::Name);
    }
};

TEST_F(GridExport, WritesTheListAsShownWithNumbersMergesAndNoHiddenColumn) {
    Fill({"3", "1", "2"});  // hidden purchase prices 0.5, 1.5, 2.5
    grid->SetCellText(5, kPrice, "4.5");
    grid->Column(kQty).Sort(RecordGrid::cellAscending);
    ASSERT_TRUE(grid->ExportToExcel(File("list.xlsx"), true, true));

    // Sheet columns: A the marker column, B name, C quantity, D remark.
    const Sheet sheet = ReadSheet(File("list.xlsx"));
    EXPECT_EQ(sheet.merges, (QStringList{"B1:C1", "D1:D2"}));
    EXPECT_EQ(sheet.Text("B1"), QStringLiteral("商品信息"));
    EXPECT_EQ(sheet.Text("D1"), QStringLiteral("备注"));
    EXPECT_EQ(sheet.RefsInRow(2), (QStringList{"B2", "C2"}));
    EXPECT_FALSE(sheet.IsNumber("C2"));
    EXPECT_EQ(sheet.RefsInRow(3), (QStringList{"B3", "C3", "D3"}));
    EXPECT_EQ(sheet.Text("B3"), QStringLiteral("品2"));
    EXPECT_EQ(sheet.Text("C3"), "1");
    EXPECT_TRUE(sheet.IsNumber("C3"));
    EXPECT_FALSE(sheet.IsNumber("B3"));
    EXPECT_EQ(sheet.Text("B5"), QStringLiteral("品1"));
    EXPECT_EQ(sheet.Text("D5"), QStringLiteral("备注1"));
    EXPECT_EQ(sheet.Text("B6"), QStringLiteral("合计："));
    EXPECT_EQ(sheet.Text("C6"), "6");
    EXPECT_TRUE(sheet.IsNumber("C6"));
    for (const auto& [ref, cell] : sheet.cells) {
        EXPECT_FALSE(ref.startsWith('E')) << ref.toStdString();
        EXPECT_FALSE(cell.value.endsWith(".5")) << ref.toStdString();  // no purchase price
    }
}

TEST_F(GridExport, NumbersAndDatesGoOutAsValues) {
    CellRow cells;
    cells.AddNumber(1);
    cells.AddText(QStringLiteral("纸\t白"));
    cells.AddNumber(1300000.25);
    cells.AddNumber(0);
    cells.AddDate(PackedDate(2012, 6, 3, 9, 0, 0));
    grid->AddRow(cells);
    ASSERT_TRUE(grid->ExportToExcel(File("typed.xlsx"), false, false));
    const Sheet sheet = ReadSheet(File("typed.xlsx"));
    EXPECT_EQ(sheet.Text("A1"), QStringLiteral("纸\t白"));
    EXPECT_TRUE(sheet.IsNumber("B1"));
    EXPECT_EQ(sheet.Text("B1"), "1300000.25");
    // A real date: the day number Excel counts from 1900, with the time of day as a fraction.
    EXPECT_TRUE(sheet.IsNumber("C1"));
    EXPECT_EQ(sheet.Text("C1"), "41063.375");
}

TEST_F(GridExport, WithoutHeaderRowsAndMarkerColumnOnlyTheRecordsAndTotals) {
    Fill({"3", "1"});
    ASSERT_TRUE(grid->ExportToExcel(File("data.xlsx"), false, false));
    const Sheet sheet = ReadSheet(File("data.xlsx"));
    EXPECT_TRUE(sheet.merges.isEmpty());
    EXPECT_EQ(sheet.Text("A1"), QStringLiteral("品1"));
    EXPECT_EQ(sheet.Text("B1"), "3");
    EXPECT_EQ(sheet.Text("C2"), QStringLiteral("备注2"));
    EXPECT_EQ(sheet.Text("A3"), QStringLiteral("合计："));
    EXPECT_TRUE(sheet.RefsInRow(4).isEmpty());
}

TEST_F(GridExport, AnEmptyNameAsksForTheFileAndACancelWritesNothing) {
    Fill({"1"});
    grid->SetListName(QStringLiteral("销售记录"));
    dialogs_.AnswerFile(File("chosen"));
    EXPECT_TRUE(grid->ExportToExcel(QString(), true, true));
    ASSERT_EQ(dialogs_.Shown().size(), 1);
    EXPECT_EQ(dialogs_.Shown()[0].kind, ShownBox::Kind::SaveFile);
    EXPECT_EQ(dialogs_.Shown()[0].caption, QStringLiteral("导出到Excel"));
    EXPECT_EQ(dialogs_.Shown()[0].filter, QStringLiteral("Excel 工作簿 (*.xlsx)"));
    EXPECT_EQ(Entries(), QStringList{"chosen.xlsx"});  // nothing left beside it
    // An existing folder with the list's name and today's date offered as the file's name.
    const QString suggested =
        QStringLiteral("销售记录_%1.xlsx").arg(QDate::currentDate().toString(Qt::ISODate));
    const QFileInfo offered(dialogs_.Shown()[0].dir);
    EXPECT_EQ(offered.fileName(), suggested);
    EXPECT_TRUE(offered.dir().exists());
    EXPECT_EQ(SheetNameOf(File("chosen.xlsx")), QStringLiteral("销售记录"));

    EXPECT_FALSE(grid->ExportToExcel(QString(), true, true));  // the dialog is cancelled
    EXPECT_EQ(dialogs_.Shown().size(), 2);
    EXPECT_EQ(dialogs_.Shown()[1].dir, Dir() + '/' + suggested);  // the folder used last
    EXPECT_EQ(Entries(), QStringList{"chosen.xlsx"});

    dialogs_.AnswerFile(File("旧格式.XLS"));
    EXPECT_TRUE(grid->ExportToExcel(QString(), true, true));
    EXPECT_EQ(Entries(), (QStringList{"chosen.xlsx", "旧格式.xlsx"}));

    // Cancelled while it writes: neither a new file nor a half-written one.
    dialogs_.CancelProgress();
    EXPECT_FALSE(grid->ExportToExcel(File("stopped"), true, true));
    EXPECT_EQ(dialogs_.ProgressTexts().last(), QStringLiteral("正在导出到Excel，请稍候……"));
    EXPECT_EQ(Entries(), (QStringList{"chosen.xlsx", "旧格式.xlsx"}));
}

TEST_F(GridExport, AFailedWriteReportsFalseAndLeavesNoFileBehind) {
    Fill({"1", "2"});
    EXPECT_FALSE(grid->ExportToExcel(File("missing/list.xlsx"), true, true));
    EXPECT_FALSE(grid->ExportToExcel("/proc/list.xlsx", true, true));
    QDir(Dir()).mkdir("folder.xlsx");
    EXPECT_FALSE(grid->ExportToExcel(File("folder.xlsx"), true, true));
    EXPECT_EQ(Entries(), QStringList{"folder.xlsx"});

    // A cell Excel cannot hold fails the write half way; the old file stays as it was.
    QFile old(File("keep.xlsx"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    grid->SetCellText(3, kRemark, QString(40000, 'x'));
    EXPECT_FALSE(grid->ExportToExcel(File("keep.xlsx"), true, true));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old");
    old.close();
    EXPECT_EQ(Entries(), (QStringList{"folder.xlsx", "keep.xlsx"}));

    grid->SetCellText(3, kRemark, "short");
    EXPECT_TRUE(grid->ExportToExcel(File("keep.xlsx"), true, true));
    EXPECT_EQ(ReadSheet(File("keep.xlsx")).Text("D4"), "short");
}

// The usual target is a folder with a Chinese name (~/文档), often with a file to replace.
TEST_F(GridExport, ChinesePathsAreWrittenAndReplaced) {
    Fill({"1"});
    ASSERT_TRUE(QDir(Dir()).mkdir(QStringLiteral("文档")));
    const QString target = File(QStringLiteral("文档/库存清单.xlsx"));
    dialogs_.AnswerFile(target);
    ASSERT_TRUE(grid->ExportToExcel(QString(), true, true));
    grid->SetCellText(3, kRemark, QStringLiteral("改过"));
    ASSERT_TRUE(grid->ExportToExcel(target, true, true));
    EXPECT_EQ(ReadSheet(target).Text("D4"), QStringLiteral("改过"));
    EXPECT_EQ(QDir(File(QStringLiteral("文档"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("库存清单.xlsx")});
}

TEST(QtChinese, TheStandardDialogsReadChinese) {
    ASSERT_TRUE(InstallQtChinese()) << "qt6-translations-l10n is missing: run scripts/setup.sh";
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("查找范围："));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
}

}  // namespace
