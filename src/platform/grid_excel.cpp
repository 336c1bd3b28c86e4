// Export of a record grid to an .xlsx workbook, as the grid shows its rows now.
#include <locale.h>
#include <xlsxwriter.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStandardPaths>
#include <cstdio>

#include "common/number_text.h"
#include "platform/dialogs.h"
#include "platform/record_grid.h"

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
        target = Dialogs().SaveFileName(this, QStringLiteral("导出到Excel"), ExportDirectory(),
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
    // libxlsxwriter prints numbers with the C library, which follows the desktop locale: under
    // a comma-decimal locale 2.5 would be written "2,5", which Excel cannot read. The point is
    // fixed for this thread while the workbook is written.
    const locale_t pointLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t previous = pointLocale ? uselocale(pointLocale) : static_cast<locale_t>(nullptr);
    const auto restore = qScopeGuard([&] {
        if (!pointLocale) return;
        uselocale(previous);
        freelocale(pointLocale);
    });
    std::vector<int> cols;  // the grid column of each sheet column
    std::vector<int> sheetCol(Cols(), -1);
    for (int c = withFixedCol ? 0 : 1; c < Cols(); ++c) {
        // Hidden columns stay out of the workbook, and so do those the caller leaves out.
        if (columns_[c].width == 0 || leftOut.contains(c)) continue;
        sheetCol[c] = static_cast<int>(cols.size());
        cols.push_back(c);
    }
    const int firstRow = withFixedRows ? 0 : ScrollFirst();
    if (Rows() - firstRow > LXW_ROW_MAX || cols.size() > LXW_COL_MAX) return false;

    const std::vector<CellArea>& merges = store_.Merges();
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

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;  // rows go to disk as they are written
    const QByteArray encodedPath = QFile::encodeName(path);
    lxw_workbook* workbook = workbook_new_opt(encodedPath.constData(), &options);
    if (!workbook) return false;
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format* bold = workbook_add_format(workbook);
    format_set_bold(bold);
    lxw_format* merged = workbook_add_format(workbook);
    format_set_align(merged, LXW_ALIGN_CENTER);
    format_set_align(merged, LXW_ALIGN_VERTICAL_CENTER);
    lxw_format* mergedBold = workbook_add_format(workbook);
    format_set_align(mergedBold, LXW_ALIGN_CENTER);
    format_set_align(mergedBold, LXW_ALIGN_VERTICAL_CENTER);
    format_set_bold(mergedBold);

    // Dates in the list's own form, as real dates.
    const char* dayForm = "yyyy\"年\"m\"月\"d\"日\"";
    const char* momentForm = "yyyy\"年\"m\"月\"d\"日\" h\"时\"m\"分\"s\"秒\"";
    lxw_format* day = workbook_add_format(workbook);
    format_set_num_format(day, dayForm);
    lxw_format* boldDay = workbook_add_format(workbook);
    format_set_num_format(boldDay, dayForm);
    format_set_bold(boldDay);
    lxw_format* moment = workbook_add_format(workbook);
    format_set_num_format(moment, momentForm);
    lxw_format* boldMoment = workbook_add_format(workbook);
    format_set_num_format(boldMoment, momentForm);
    format_set_bold(boldMoment);

    bool ok = sheet && bold && merged && mergedBold && day && boldDay && moment && boldMoment;
    for (size_t i = 0; ok && i < cols.size(); ++i)
        ok = worksheet_set_column_pixels(sheet, i, i, columns_[cols[i]].width, nullptr) ==
             LXW_NO_ERROR;
    auto mergeFormat = [&](const SheetMerge& s) {
        return store_.Style(s.gridRow, s.gridCol).bold ? mergedBold : merged;
    };
    constexpr int kRowsPerReport = 2048;
    for (int r = firstRow; ok && r < Rows(); ++r) {
        const int sheetRow = r - firstRow;
        if (sheetRow % kRowsPerReport == 0 && !progress->Advance(sheetRow, Rows() - firstRow)) {
            ok = false;
            break;
        }
        for (size_t i = 0; ok && i < cols.size(); ++i) {
            const int c = cols[i];
            const int merge = store_.MergeAt(r, c);
            if (merge >= 0) {
                // The merge shows its top-left text once, in its first exported cell.
                const SheetMerge& s = sheetMerges[merge];
                if (s.top != sheetRow || s.left != static_cast<int>(i)) continue;
                const QByteArray text = store_.Text(s.gridRow, s.gridCol).toUtf8();
                ok = worksheet_write_string(sheet, sheetRow, i, text.constData(), mergeFormat(s)) ==
                     LXW_NO_ERROR;
                continue;
            }
            if (store_.IsEmpty(r, c)) continue;
            const bool isBold = store_.Style(r, c).bold;
            lxw_format* format = isBold ? bold : nullptr;
            switch (store_.Kind(r, c)) {
                case CellKind::Number:
                    ok = worksheet_write_number(sheet, sheetRow, i, store_.Value(r, c), format) ==
                         LXW_NO_ERROR;
                    continue;
                case CellKind::Date: {
                    // A real date, which Excel and WPS sort and compute with.
                    // Taken apart by arithmetic: a QDateTime per cell asks the time zone
                    // each time, seconds over a million sales.
                    const qint64 packed = static_cast<qint64>(store_.Value(r, c));
                    const qint64 ymd = packed / 1000000;
                    const int clock = static_cast<int>(packed % 1000000);
                    lxw_datetime value{int(ymd / 10000), int(ymd / 100 % 100), int(ymd % 100),
                                       clock / 10000,    clock / 100 % 100,    double(clock % 100)};
                    const bool midnight = clock == 0;
                    lxw_format* dateFormat =
                        midnight ? (isBold ? boldDay : day) : (isBold ? boldMoment : moment);
                    ok = worksheet_write_datetime(sheet, sheetRow, i, &value, dateFormat) ==
                         LXW_NO_ERROR;
                    continue;
                }
                case CellKind::Text:
                    break;
            }
            const QString text = store_.RawText(r, c).toString();
            if (r >= fixedRows_ && columns_[c].mask == cellValue && IsNumberText(text)) {
                ok = worksheet_write_number(sheet, sheetRow, i, TextToNumber(text), format) ==
                     LXW_NO_ERROR;
            } else {
                ok = worksheet_write_string(sheet, sheetRow, i, text.toUtf8().constData(),
                                            format) == LXW_NO_ERROR;
            }
        }
        // Rows are written in order, so a merge is declared at its last row; the cells it
        // covers in earlier rows were already written.
        for (const SheetMerge& s : sheetMerges) {
            if (!ok || !s.exported || s.bottom != sheetRow) continue;
            if (s.top == s.bottom && s.left == s.right) continue;
            const QByteArray text = store_.Text(s.gridRow, s.gridCol).toUtf8();
            ok = worksheet_merge_range(sheet, s.top, s.left, s.bottom, s.right, text.constData(),
                                       mergeFormat(s)) == LXW_NO_ERROR;
        }
    }
    const lxw_error closed = workbook_close(workbook);
    return ok && closed == LXW_NO_ERROR;
}
