#pragma once
// Changes of the goods table buy: a new goods record, a restock, a correction and a delete.
// Each runs in one write transaction that reads the stored row inside it.

#include <QDate>
#include <QString>

#include "ledger/edited.h"
#include "ledger/result.h"

class DbConnection;

namespace ledger {

// The goods form as typed.
struct GoodsInput {
    QString type;
    QString name;
    QString model;
    QString code;
    double price = 0;     // purchase price
    double quantity = 0;  // purchase quantity
    double salePrice = 0;
    QString supplier;
    QString remark;
    QString initials;  // 首拼 of the name
    QDate date;        // stock-in date; a correction keeps the stored one
};

// A new goods record with nothing sold: its stock is the purchase. Refused fields: "[099]"
// type, "[098]" name, "[097]" model, "[096]" code, "[087]" date, "[086]" supplier, "[085]"
// remark or initials.
LedgerResult StockIn(DbConnection& db, const GoodsInput& goods);

// Adds quantity at the stored purchase price to the stored purchase and stock figures.
LedgerResult Restock(DbConnection& db, qint64 goodsId, double quantity);

// The purchase price of goods goodsId for a user who typed the super administrator's password
// (adminPassword): on a server whose login may not read it, read through a connection of the
// super administrator's own login. False with *error, empty when the goods is not stored.
bool ReadPurchasePrice(DbConnection& db, qint64 goodsId, const QString& adminPassword,
                       double* price, QString* error);

// Writes what the form edits; the sold quantity and amount stay as stored, and the stock
// follows from the new purchase quantity and the stored sold quantity.
// RecordChanged when what the window saw of the record (see edited.h) is no longer stored.
LedgerResult ModifyGoods(DbConnection& db, qint64 goodsId, const GoodsInput& goods,
                         const RowSeen& seen = {});

LedgerResult DeleteGoods(DbConnection& db, qint64 goodsId);

}  // namespace ledger
