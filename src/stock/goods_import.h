#pragma once
// A goods list from a spreadsheet: reading an .xlsx workbook or a CSV file into rows of text,
// finding which column holds which goods field, and checking each row as a stock-in is
// checked. Nothing here writes to the database or shows a window.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

#include "ledger/goods_import.h"

// The cells of a file as text, row by row as they stand in it (row 0 is the file's line 1).
struct ImportTable {
    QList<QStringList> rows;
};

// Reads path by its suffix (.xlsx, else CSV). False with a message for the user when the file
// cannot be read or holds more than an import takes: a CSV file of over 32 MB, a sheet that
// unpacks to over 200 MB (its shared texts to over 50 MB), over 120,000 rows or 1,000
// columns, or over 1,500,000 cells or 16,000,000 characters in all. Memory stays bounded
// by these whatever the file says of its own sizes.
bool ReadImportFile(const QString& path, ImportTable* table, QString* error);
// CSV in UTF-8 (with or without a byte order mark) or GBK, told apart by whether the bytes
// are valid UTF-8; comma or tab separated (whichever the first line has more of); fields in
// double quotes may hold separators, line breaks and doubled quotes. The limits of
// ReadImportFile hold.
bool ReadCsv(const QByteArray& bytes, ImportTable* table, QString* error);
bool ReadXlsx(const QString& path, ImportTable* table, QString* error);

enum class GoodsField {
    名称,
    型号,
    编码,
    类型,
    进货数量,
    进货单价,
    销售单价,
    入库日期,
    供货商,
    备注
};
inline constexpr int kGoodsFieldCount = 10;
QString GoodsFieldName(GoodsField field);

// Which file column holds each field (-1: none) and which row holds the headers (-1: the file
// has none, data starts at row 0).
struct ColumnMap {
    int headerRow = -1;
    std::array<int, kGoodsFieldCount> column{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    int& operator[](GoodsField field) { return column[static_cast<int>(field)]; }
    int operator[](GoodsField field) const { return column[static_cast<int>(field)]; }
};

// The header row is the first of the first ten rows naming at least two goods fields; each
// column whose header is a field's name (spaces aside), or makes it with the group caption
// above it ("进货" + "数量"), is that field's.
ColumnMap GuessColumns(const ImportTable& table);

// One goods row of the file (line 1-based), as a stock-in would book it.
struct ImportGoods : GoodsImportRow {
    QString problem;  // empty when the row can be imported
};

// Every data row below the header (fully empty rows and a totals row left out), checked:
// the fields a stock-in requires, numbers (plain decimals, not negative), texts of at most 50
// characters, dates up to the year 9999. An empty
// code is the one the stock-in window proposes (initials of name and model); an empty date is
// today; a date may be written as the lists write it (2012年6月3日), as 2012-6-3 or 2012/6/3,
// or be a workbook's date serial number; a code that a row above already has is a problem.
std::vector<ImportGoods> CheckImportRows(const ImportTable& table, const ColumnMap& map,
                                         const QDate& today);
