#pragma once
// A one-sheet .xlsx workbook written straight to its file. The sheet is built row by row as
// XML and compressed on a second thread while the next rows are built, so a list of a million
// rows is written in a few seconds and never held whole in memory.

#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <vector>

class XlsxWriter {
  public:
    // What a sheet can hold.
    static constexpr int kMaxRows = 1048576;
    static constexpr int kMaxCols = 16384;
    static constexpr int kMaxTextLength = 32767;

    // The cell formats of the workbook.
    enum Format : uint8_t {
        kPlain,
        kBold,
        kCentred,  // across a merged area, also vertically
        kCentredBold,
        kDay,  // a date without its time
        kBoldDay,
        kMoment,  // a date with its time
        kBoldMoment,
    };

    // Creates or truncates the file at path; the sheet is named sheetName, made fit for a
    // sheet (at most 31 characters, none of : \ / ? * [ ]), "Sheet1" when nothing is left.
    explicit XlsxWriter(const QString& path, const QString& sheetName = QString());
    // An unfinished workbook is left on disk incomplete: the caller removes it.
    ~XlsxWriter();
    XlsxWriter(const XlsxWriter&) = delete;
    XlsxWriter& operator=(const XlsxWriter&) = delete;

    // False once anything failed: the file could not be written or a cell was refused.
    bool Ok() const;

    // Before the first row: each column's width in screen pixels.
    void SetColumnWidths(const std::vector<int>& pixels);
    // Rows come in increasing order, and the cells of a row in increasing column order;
    // both count from 0.
    void StartRow(int row);
    void WriteNumber(int col, double value, Format format);
    // A text longer than kMaxTextLength is refused, which fails the workbook.
    void WriteText(int col, QStringView text, Format format);
    // A real date, which Excel and WPS sort and compute with; false (and nothing written) for
    // a date before 1900, which a sheet cannot hold as a date.
    bool WriteDate(int col, int year, int month, int day, int hour, int minute, int second,
                   Format format);
    void Merge(int top, int left, int bottom, int right);

    // Writes the rest of the workbook and syncs it to disk; true when the whole of it is there.
    bool Finish();

  private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};
