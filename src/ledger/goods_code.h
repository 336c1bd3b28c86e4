#pragma once
// The goods a scanned code names: the goods whose code is the code, else one whose code holds
// it (a scanner that reads a part of a longer code, a code typed in part).

#include <QString>

#include "ledger/list_read.h"

class DbConnection;

namespace ledger {

struct CodedGoods {
    qint64 id = 0;  // 0: no goods has the code
    QString name;
    double salePrice = 0;
};

struct CodeLookup {
    // Only the goods that pass it (the stock list's goods in stock, a stocktake's scope).
    ListCondition among;
    // Of several goods with the code, the one with the least stock, as a list sorted by stock
    // shows first; else the first stored.
    bool leastStockFirst = false;
};

// The goods a sale scans from the stock list: those with a name, in stock unless the list shows
// goods without stock too, the least stock first when the list is sorted by stock.
CodeLookup SaleLookup(bool inStockOnly, bool leastStockFirst);

// False with *error when the read failed; true with goods->id 0 when no goods has the code.
bool FindGoodsByCode(DbConnection& db, const QString& code, const CodeLookup& lookup,
                     CodedGoods* goods, QString* error);

}  // namespace ledger
