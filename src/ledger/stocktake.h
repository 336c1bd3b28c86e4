#pragma once
// Stocktakes: the goods counted on the shelves against the stock on the books, kept as a draft
// that every count writes at once (a crash or a power cut loses no counted goods), continued
// at any till, and booked once. At most one stocktake is open at a time.

#include <QDateTime>
#include <QList>
#include <QString>

#include "ledger/list_read.h"
#include "ledger/result.h"

class DbConnection;

namespace ledger {

enum class StocktakeScope { AllGoods, Type, Supplier, Scanned };

struct Stocktake {
    qint64 id = 0;
    StocktakeScope scope = StocktakeScope::AllGoods;
    QString scopeValue;  // the type or the supplier
    QString startedBy;
    QDateTime startedAt;
    QString bookedBy;
    QDateTime bookedAt;  // invalid while the stocktake is open
    bool Booked() const { return bookedAt.isValid(); }
};

// The counted goods of a stocktake and their differences at purchase price: as counted while
// it is open (kept in its row by every count), as booked after.
struct StocktakeFigures {
    qint64 counted = 0;
    double gainQuantity = 0;
    double gainAmount = 0;
    double lossQuantity = 0;  // positive: what is missing
    double lossAmount = 0;
};

// Opens a stocktake of the scope; StocktakeOpen (with the open one's id) when one is open.
LedgerResult StartStocktake(DbConnection& db, StocktakeScope scope, const QString& scopeValue,
                            const QString& user);

// One more of the goods whose code was scanned (the exact code first, as the scan sale): its
// line keeps the book stock of its first count. A code that names no goods of the scope is
// stored with the stocktake's unknown codes, and result.goodsId is 0. AlreadyBooked after
// booking, RecordGone when the stocktake is not stored.
LedgerResult CountScanned(DbConnection& db, qint64 stocktakeId, const QString& code,
                          const QString& user);

// A typed count of a goods: the whole count from now on, against the stock stored now.
// NegativeAmount for a count below 0, RecordGone when the goods or the stocktake is gone.
LedgerResult SetCount(DbConnection& db, qint64 stocktakeId, qint64 goodsId, double counted,
                      const QString& user);

// Books the stocktake: each counted goods' stock moves by counted − the book stock when it was
// counted, relative to the stock stored now (never below 0, noted on the line), with the
// purchase figures so that stock = purchased − sold holds on, and the amounts at the stored
// purchase price. A goods deleted meanwhile is noted on its line and books nothing.
// AlreadyBooked the second time.
LedgerResult BookStocktake(DbConnection& db, qint64 stocktakeId, const QString& user);

// The open stocktake: *found false when there is none. False with *error when the read failed.
bool ReadOpenStocktake(DbConnection& db, Stocktake* stocktake, bool* found, QString* error);
bool ReadStocktake(DbConnection& db, qint64 id, Stocktake* stocktake, QString* error);
bool ReadStocktakeFigures(DbConnection& db, qint64 id, StocktakeFigures* figures, QString* error);
// The unknown codes scanned, each with how often.
struct UnknownCode {
    QString code;
    double count = 0;
};
bool ReadUnknownCodes(DbConnection& db, qint64 id, QList<UnknownCode>* codes, QString* error);
// The gain and loss of every stocktake booked; counted is the lines they booked.
bool ReadBookedGainLoss(DbConnection& db, StocktakeFigures* figures, QString* error);

// The columns of a stocktake's list: the goods in its scope with their lines (the open one),
// or its lines alone (the goods scanned, a booked stocktake).
enum StocktakeColumn {
    kTakeId,  // the goods' ID in the goods list, the line's in the lines list
    kTakeGoodsId,
    kTakeName,
    kTakeModel,
    kTakeCode,
    kTakeType,
    kTakeSupplier,
    kTakeBook,        // 账面数量
    kTakeCounted,     // 实盘数量, empty for goods not counted
    kTakeDifference,  // 盈亏数量
    kTakeCost,        // 进货单价
    kTakeValue,       // 盈亏金额
    kTakeTime,
    kTakeUser,
    kTakeState,
    kTakeColumns
};
// costs false: the purchase price and the value are not read at all.
ListSpec StocktakeGoodsSpec(bool costs);
ListCondition StocktakeGoodsCondition(const Stocktake& stocktake);
ListSpec StocktakeLinesSpec(bool costs);
ListCondition StocktakeLinesCondition(qint64 id);

// The booked stocktakes.
enum BookedColumn {
    kBookedId,
    kBookedScope,
    kBookedScopeValue,
    kBookedStartedBy,
    kBookedStartedAt,
    kBookedBy,
    kBookedAt,
    kBookedCounted,
    kBookedGain,
    kBookedGainAmount,
    kBookedLoss,
    kBookedLossAmount,
    kBookedColumns
};
ListSpec BookedStocktakesSpec(bool costs);
ListCondition BookedStocktakes();

QString ScopeText(StocktakeScope scope);

}  // namespace ledger
