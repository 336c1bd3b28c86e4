#pragma once
// Changes of the sales table sell and of the goods counters they move: a sale, the
// correction of a sale's debt and customer, and the delete of a sale.

#include <QDate>
#include <QDateTime>
#include <QString>

#include "ledger/edited.h"
#include "ledger/result.h"

class DbConnection;

// What the sell window holds when "确认销售" is pressed; numbers as read from its boxes.
struct SaleInput {
    QString goodsId;  // ID in buy of the goods the window was opened for; empty for none
    QString 名称;
    QString 型号;
    QString 编码;
    QString 类型;
    // What the window showed (库存框); the stored stock decides whether the sale goes ahead.
    double shownStock = 0;
    double 销售单价 = 0;  // 实际零售价框
    double 销售数量 = 0;
    double 销售金额 = 0;  // may differ from price × quantity when the user typed it
    double 欠款额 = 0;
    QDate 销售日期;
    QString 客户编号;
    QString 客户名称;
    QString 联系方式;
    QString 客户地址;
    QString 备注;
    // The number the till gave the sale (empty on a till of its own): a sale already booked
    // under it is not booked again.
    QString tillSaleId;
    // Who booked the sale, at which till and how it was paid (现金 when empty); bookedAt is
    // when, empty for now (a sale made while the server was away keeps its till's time).
    QString tillName;
    QString user;
    QString payMethod;
    QDateTime bookedAt;
    // Made at a till while the server was away: the goods have left the shop, so the sale is
    // booked even where the stored stock no longer covers it, and the shortfall is noted.
    bool madeOffline = false;
    // The purchase price the till's copy held: books an offline sale of goods the server no
    // longer holds.
    double tillCost = 0;
};

// What the modify-sale window may change of a recorded sale.
struct SaleChange {
    double 欠款额 = 0;
    QString 客户名称;
    QString 联系方式;
    QString 客户地址;
    QString 备注;
};

namespace ledger {

// Records the sale: ZeroQuantity for a quantity of 0, RecordGone when the goods row is not
// stored, NotEnoughStock when the quantity is above the stored stock; else the goods'
// counters move by the quantity and the amount charged and one sales row is added, whose
// 净利润 is the amount charged less the stored purchase price × quantity. Refused fields
// carry the codes of the sales row ("[084]" name ... "[071]" remark).
// A sale with a till's number is noted under it in till_sale in the same transaction; one
// booked before under that number is Done again with alreadyBooked, its saleId that sale's.
LedgerResult RecordSale(DbConnection& db, const SaleInput& sale);

// Stores the debt and customer texts of sale saleId; what payments took off it that it no longer
// owes their customer goes back to that customer (see ResettlePayments).
// RecordChanged when what the window saw of the sale (see edited.h) is no longer stored.
LedgerResult ModifySale(DbConnection& db, qint64 saleId, const SaleChange& change,
                        const RowSeen& seen = {});

// Deletes sale saleId and gives its quantity and amount back to its goods row, when that
// row is still stored (result.goodsId is then its ID); what payments took off it goes back to
// their customer (see ResettlePayments).
LedgerResult DeleteSale(DbConnection& db, qint64 saleId);

}  // namespace ledger
