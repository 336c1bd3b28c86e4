// Export of a record grid to an .xlsx workbook, as the grid shows its rows now.
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <cstdio>

#include "common/date_text.h"
#include "common/number_text.h"
#include "platform/dialogs.h"
#include "platform/record_grid.h"
#include "platform/xlsx_writer.h"

namespace {

QString& LastExportDirectory() {
    static QString directory;
    return directory;
}

// The folder the save dialog opens in: the last one used, else the documents folder, else home.
// It ends in "/": the dialog takes a path without it, or a folder that is missing, for a file
// name and would offer "Documents" as the name of the workbook.
QString ExportDirectory() {
    QString directory = LastExportDirectory();
    if (directory.isEmpty() || !QFileInfo(directory).isDir())
        directory = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (directory.isEmpty() || !QFileInfo(directory).isDir()) directory = QDir::homePath();
    return directory.endsWith(QLatin1Char('/')) ? directory : directory + QLatin1Char('/');
}

// The file name the save dialog offers: the list's name and today's date,
// "销售记录_2026-12-11.xlsx"; characters a file name cannot hold on Linux or Windows become "_".
QString SuggestedName(const QString& listName) {
    QString name = listName.isEmpty() ? QStringLiteral("列表") : listName;
    for (QChar& c : name)
        if (c.unicode() < 0x20 || QStringView(u"/\\:*?\"<>|").contains(c)) c = u'_';
    return name + QLatin1Char('_') + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) +
           QStringLiteral(".xlsx");
}

// "账目.xls" becomes "账目.xlsx", not "账目.xls.xlsx": the file is an .xlsx workbook.
QString WorkbookName(const QString& typed) {
    if (typed.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive)) return typed;
    if (typed.endsWith(QLatin1String(".xls"), Qt::CaseInsensitive))
        return typed.left(typed.size() - 4) + QLatin1String(".xlsx");
    return typed + QLatin1String(".xlsx");
}

// The workbook is written beside its target under a name of its own and renamed over the
// target only when complete, so a failed write leaves no half-written file.
QString TemporaryNameBeside(const QFileInfo& target) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = QStringLiteral("%1/.%2.%3.tmp")
                                 .arg(target.absolutePath(), target.fileName(),
                                      QString::number(QRandomGenerator::global()->generate(), 16));
        if (!QFileInfo::exists(name)) return name;
    }
    return {};
}

// A merged area in sheet coordinates, with the grid cell whose text and style it shows.
// One cell of the sheet: numbers as numbers, dates as dates (a date before 1900 as its text),
// and a number text in a numeric column as the number it reads.
void WriteCell(XlsxWriter& sheet, int col, CellKind kind, double value, QStringView text, bool bold,
               bool numeric) {
    using Format = XlsxWriter::Format;
    const Format format = bold ? Format::kBold : Format::kPlain;
    switch (kind) {
        case CellKind::Number:
            sheet.WriteNumber(col, value, format);
            return;
        case CellKind::Date: {
            // Taken apart by arithmetic: a QDateTime per cell asks the time zone each time,
            // seconds over a million sales.
            const qint64 packed = static_cast<qint64>(value);
            const qint64 ymd = packed / 1000000;
            const int clock = static_cast<int>(packed % 1000000);
            const bool midnight = clock == 0;
            const Format dateFormat = midnight ? (bold ? Format::kBoldDay : Format::kDay)
                                               : (bold ? Format::kBoldMoment : Format::kMoment);
            if (!sheet.WriteDate(col, int(ymd / 10000), int(ymd / 100 % 100), int(ymd % 100),
                                 clock / 10000, clock / 100 % 100, clock % 100, dateFormat)) {
                QString shown;
                AppendPackedDateText(packed, &shown);
                sheet.WriteText(col, shown, format);
            }
            return;
        }
        case CellKind::Text:
            break;
    }
    if (numeric && IsNumberText(text.toString()))
        sheet.WriteNumber(col, TextToNumber(text.toString()), format);
    else
        sheet.WriteText(col, text, format);
}

struct SheetMerge {
    bool exported = false;
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
    int gridRow = 0;
    int gridCol = 0;
};

}  // namespace

bool RecordGrid::ExportToExcel(const QString& fileName, bool exportFixedRows, bool exportFixedCol,
                               const QList<int>& leftOut) {
    FinishEdit(true);
    QString target = fileName;
    if (target.isEmpty()) {
        target = Dialogs().SaveFileName(this, QStringLiteral("导出到Excel"),
                                        ExportDirectory() + SuggestedName(ListName()),
                                        QStringLiteral("Excel 工作簿 (*.xlsx)"));
        if (target.isEmpty()) return false;
    }
    const bool chosenInDialog = fileName.isEmpty();
    target = WorkbookName(target);
    const QFileInfo info(target);
    if (!info.absoluteDir().exists() || info.isDir() || (info.exists() && !info.isWritable()))
        return false;
    const QString temporary = TemporaryNameBeside(info);
    if (temporary.isEmpty()) return false;
    // A cancelled export is a failed one: the half-written file goes.
    const std::unique_ptr<Progress> progress =
        Dialogs().StartProgress(this, QStringLiteral("正在导出到Excel，请稍候……"));
    if (!WriteWorkbook(temporary, exportFixedRows, exportFixedCol, leftOut, progress.get())) {
        QFile::remove(temporary);
        return false;
    }
    // rename(2) replaces the target in one step; the names go in the file system's encoding.
    if (std::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(info.absoluteFilePath()).constData()) != 0) {
        QFile::remove(temporary);
        return false;
    }
    if (chosenInDialog) LastExportDirectory() = info.absolutePath();
    return true;
}

bool RecordGrid::WriteWorkbook(const QString& path, bool withFixedRows, bool withFixedCol,
                               const QList<int>& leftOut, Progress* progress) const {
    std::vector<int> cols;  // the grid column of each sheet column
    std::vector<int> sheetCol(Cols(), -1);
    std::vector<int> widths;
    for (int c = withFixedCol ? 0 : 1; c < Cols(); ++c) {
        // Hidden columns stay out of the workbook, and so do those the caller leaves out.
        if (columns_[c].width == 0 || leftOut.contains(c)) continue;
        sheetCol[c] = static_cast<int>(cols.size());
        cols.push_back(c);
        widths.push_back(columns_[c].width);
    }
    const int firstRow = withFixedRows ? 0 : ScrollFirst();
    if (Rows() - firstRow > XlsxWriter::kMaxRows || cols.size() > XlsxWriter::kMaxCols)
        return false;

    const std::vector<CellArea> merges = Merges();
    std::vector<SheetMerge> sheetMerges(merges.size());
    for (size_t i = 0; i < merges.size(); ++i) {
        const CellArea& m = merges[i];
        SheetMerge& s = sheetMerges[i];
        s.gridRow = m.top;
        s.gridCol = m.left;
        s.top = std::max(m.top, firstRow) - firstRow;
        s.bottom = m.bottom - firstRow;
        s.left = s.right = -1;
        for (int c = m.left; c <= m.right; ++c) {
            if (sheetCol[c] < 0) continue;
            if (s.left < 0) s.left = sheetCol[c];
            s.right = sheetCol[c];
        }
        s.exported = s.left >= 0 && s.bottom >= s.top;
    }

    XlsxWriter sheet(path, listName_.isEmpty() ? QStringLiteral("列表") : listName_);
    sheet.SetColumnWidths(widths);
    using Format = XlsxWriter::Format;
    for (const SheetMerge& s : sheetMerges) {
        if (s.exported && (s.top != s.bottom || s.left != s.right))
            sheet.Merge(s.top, s.left, s.bottom, s.right);
    }
    constexpr int kRowsPerReport = 2048;
    const int total = Rows() - firstRow;
    int sheetRow = 0;
    // One row of the grid (cells: a row of the source, else the grid's own) as the next row
    // of the sheet; false when the user stopped the export.
    auto writeRow = [&](int r, const CellRow* source) {
        if (sheetRow % kRowsPerReport == 0 && !progress->Advance(sheetRow, total)) return false;
        sheet.StartRow(sheetRow);
        for (size_t i = 0; i < cols.size(); ++i) {
            const int c = cols[i];
            const int col = static_cast<int>(i);
            if (source) {
                const int cell = c - 1;
                if (cell < 0 || cell >= source->Count()) continue;
                const CellKind kind = source->Kind(cell);
                if (kind == CellKind::Text && source->Text(cell).isEmpty()) continue;
                WriteCell(sheet, col, kind, source->Value(cell), source->Text(cell), false,
                          columns_[c].mask == cellValue);
                continue;
            }
            const int merge = MergeIndex(r, c);
            if (merge >= 0) {
                // The merge shows its top-left text once, in its first exported cell.
                const SheetMerge& s = sheetMerges[merge];
                if (s.top != sheetRow || s.left != col) continue;
                const bool bold = StyleAt(s.gridRow, s.gridCol).bold;
                sheet.WriteText(col, TextAt(s.gridRow, s.gridCol),
                                bold ? Format::kCentredBold : Format::kCentred);
                continue;
            }
            if (EmptyAt(r, c)) continue;
            const CellKind kind = CellKindAt(r, c);
            const QString text = kind == CellKind::Text ? RawTextAt(r, c).toString() : QString();
            WriteCell(sheet, col, kind, CellValue(r, c), text, StyleAt(r, c).bold,
                      r >= fixedRows_ && columns_[c].mask == cellValue);
        }
        ++sheetRow;
        return true;
    };
    const int sourceEnd = fixedRows_ + SourceRows();
    for (int r = firstRow; sheet.Ok() && r < Rows(); ++r) {
        if (!source_ || r != fixedRows_ || sourceEnd == fixedRows_) {
            if (!writeRow(r, nullptr)) return false;
            continue;
        }
        // The rows of the source stream from one read of the list straight into the sheet,
        // as many as the list counts.
        int at = r;
        bool stopped = false;
        const bool read = source_->ForEachRow([&](const CellRow& cells) {
            if (at == sourceEnd) return false;
            stopped = !writeRow(at++, &cells);
            return !stopped;
        });
        if (!read || stopped) return false;
        r = sourceEnd - 1;
    }
    return sheet.Finish();
}
