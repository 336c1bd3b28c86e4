#pragma once
// Booking a whole goods list into stock at once: every row a stock-in (or, where its code is
// already in stock and the user chose so, a restock of that goods item), all in one write
// transaction, so that an import happens whole or not at all.

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <vector>

class DbConnection;

// The stored code of every goods item, upper case (codes compare without regard to case),
// with its ID; false when the read failed.
bool ReadGoodsCodes(DbConnection& db, QHash<QString, qint64>* codes, QString* error);

struct GoodsImportRow {
    int line = 0;  // where the row stands in the file, for the user
    QString 名称, 型号, 编码, 类型, 供货商, 备注, 首拼;
    double 进货数量 = 0, 进货单价 = 0, 销售单价 = 0;
    QDate 入库日期;
};

struct GoodsImportResult {
    enum Outcome { Done, Cancelled, StoreFailed };
    Outcome outcome = StoreFailed;
    int added = 0;
    int restocked = 0;
    QList<int> skippedLines;  // rows whose code was in stock, when restocking was not chosen
    QString error;
};

// progress(rows done) is called now and then; returning false cancels the import, which then
// changes nothing. A restock adds the row's quantity and quantity × the stored purchase price
// to the stored purchase and stock figures (the row's own prices are not taken).
GoodsImportResult ImportGoodsIntoStock(DbConnection& connection,
                                       const std::vector<GoodsImportRow>& rows,
                                       bool restockExisting,
                                       const std::function<bool(int)>& progress = {});
