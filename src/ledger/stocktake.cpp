#include "ledger/stocktake.h"

#include <cmath>
#include <optional>
#include <vector>

#include "common/date_text.h"
#include "common/number_text.h"
#include "ledger/goods_code.h"
#include "ledger/row_access.h"
#include "store/db_connection.h"
#include "store/statement.h"

namespace ledger {

namespace {

constexpr int kFen = 100;
constexpr int kThousandths = 1000;

// A line whose booking differs from its count says why; the others book what they show.
const char16_t kStockToZero[] = u"库存按0入账";
const char16_t kGoodsGone[] = u"商品已删除";

struct ScopeName {
    StocktakeScope scope;
    const char16_t* text;
};
const ScopeName kScopeNames[] = {
    {StocktakeScope::AllGoods, u"全部商品"},
    {StocktakeScope::Type, u"类型"},
    {StocktakeScope::Supplier, u"供货商"},
    {StocktakeScope::Scanned, u"扫描的商品"},
};

StocktakeScope ScopeOf(const QString& text) {
    for (const ScopeName& s : kScopeNames)
        if (text == QString::fromUtf16(s.text)) return s.scope;
    return StocktakeScope::Scanned;
}

// The goods of the scope, as a condition on buy (or on a list with its column names).
ListCondition ScopeCondition(StocktakeScope scope, const QString& value) {
    switch (scope) {
        case StocktakeScope::Type:
            return {QStringLiteral("类型 = ?"), {value}};
        case StocktakeScope::Supplier:
            return {QStringLiteral("供货商 = ?"), {value}};
        case StocktakeScope::AllGoods:
        case StocktakeScope::Scanned:
            break;
    }
    return {};
}

bool ReadFailed(DbConnection& db, const Statement& st, QString* error) {
    *error = st.Error().isEmpty() ? db.GetErrorDescription() : st.Error();
    return false;
}

// Inside a change: the stocktake, when it is stored and open; else false with result
// AlreadyBooked, RecordGone or StoreFailed.
bool OpenStocktake(DbConnection& db, qint64 id, Stocktake* stocktake, LedgerResult* result) {
    QVariantList row;
    if (!ReadRow(db, QStringLiteral("SELECT 范围, 范围值, 确认时间 FROM stocktake WHERE ID=?"),
                 {id}, &row, result))
        return false;
    if (!row[2].isNull()) {
        result->outcome = LedgerResult::AlreadyBooked;
        return false;
    }
    stocktake->id = id;
    stocktake->scope = ScopeOf(row[0].toString());
    stocktake->scopeValue = row[1].toString();
    return true;
}

// A line's difference as the figures count it.
void Add(StocktakeFigures* f, double difference, double value) {
    f->counted += 1;
    if (difference > 0) {
        f->gainQuantity += difference;
        f->gainAmount += value;
    } else {
        f->lossQuantity -= difference;
        f->lossAmount -= value;
    }
}

// The figures of the stocktake as counted, kept in its row so that the window reads one row
// after every count: was taken out, now put in.
bool MoveFigures(DbConnection& db, qint64 id, const StocktakeFigures& was,
                 const StocktakeFigures& now, LedgerResult* result) {
    // The amounts at purchase price of a user who may not read it move on the server, with
    // the line's (the trigger of stocktake_line).
    if (!SeesCosts(db)) {
        QVariantList f;
        if (!ReadRow(
                db, QStringLiteral("SELECT 盘点种数, 盘盈数量, 盘亏数量 FROM stocktake WHERE ID=?"),
                {id}, &f, result))
            return false;
        return ChangeRows(
            db,
            QStringLiteral("UPDATE stocktake SET 盘点种数=?, 盘盈数量=?, 盘亏数量=? WHERE ID=?"),
            {f[0].toLongLong() - was.counted + now.counted,
             StoredNumber(f[1].toDouble() - was.gainQuantity + now.gainQuantity),
             StoredNumber(f[2].toDouble() - was.lossQuantity + now.lossQuantity), id},
            result);
    }
    QVariantList f;
    if (!ReadRow(db,
                 QStringLiteral("SELECT 盘点种数, 盘盈数量, 盘盈金额, 盘亏数量, 盘亏金额 FROM "
                                "stocktake WHERE ID=?"),
                 {id}, &f, result))
        return false;
    return ChangeRows(
        db,
        QStringLiteral("UPDATE stocktake SET 盘点种数=?, 盘盈数量=?, 盘盈金额=?, 盘亏数量=?, "
                       "盘亏金额=? WHERE ID=?"),
        {f[0].toLongLong() - was.counted + now.counted,
         StoredNumber(f[1].toDouble() - was.gainQuantity + now.gainQuantity),
         StoredNumber(f[2].toDouble() - was.gainAmount + now.gainAmount),
         StoredNumber(f[3].toDouble() - was.lossQuantity + now.lossQuantity),
         StoredNumber(f[4].toDouble() - was.lossAmount + now.lossAmount), id},
        result);
}

// Where the purchase price and the difference's amount stand among a line's figures.
constexpr qsizetype kPriceFigure = 8;
constexpr qsizetype kValueFigure = 9;

// One more of the goods (typed empty), or its whole count typed, on its line of the stocktake.
bool CountGoods(DbConnection& db, qint64 stocktakeId, qint64 goodsId, std::optional<double> typed,
                const QString& user, LedgerResult* result) {
    const bool seesCosts = SeesCosts(db);
    QVariantList g;
    if (!ReadRow(db,
                 QStringLiteral("SELECT 名称, 型号, 编码, 类型, 供货商, 存货数量, %1 FROM buy "
                                "WHERE ID=?")
                     .arg(seesCosts ? QStringLiteral("进货单价") : QStringLiteral("0")),
                 {goodsId}, &g, result))
        return false;
    QVariantList line;
    LedgerResult lookup;
    const bool counted =
        ReadRow(db,
                QStringLiteral("SELECT ID, 账面数量, 实盘数量, 盈亏数量, %1 FROM "
                               "stocktake_line WHERE 盘点ID=? AND 商品ID=?")
                    .arg(seesCosts ? QStringLiteral("盈亏金额") : QStringLiteral("0")),
                {stocktakeId, goodsId}, &line, &lookup);
    if (!counted && lookup.outcome != LedgerResult::RecordGone) {
        *result = lookup;
        return false;
    }
    // A scan adds to what was counted against the stock of the first count; a typed count is
    // the whole count at this moment.
    double book = g[5].toDouble();
    double count = typed.value_or(1);
    if (counted && !typed) {
        book = line[1].toDouble();
        count = StoredNumber(line[2].toDouble() + 1);
    }
    const double price = g[6].toDouble();
    const double difference = StoredNumber(count - book);
    // The stocktake's figures move by what the line's difference changed.
    StocktakeFigures was;
    if (counted) Add(&was, line[3].toDouble(), line[4].toDouble());
    StocktakeFigures now;
    Add(&now, difference, StoredNumber(difference * price));
    if (!MoveFigures(db, stocktakeId, was, now, result)) return false;
    const QVariantList figures = {g[0],
                                  g[1],
                                  g[2],
                                  g[3],
                                  g[4],
                                  StoredNumber(book),
                                  count,
                                  difference,
                                  price,
                                  StoredNumber(difference * price),
                                  CurrentDateTime(),
                                  user};
    result->goodsId = goodsId;
    const char16_t* const columns[] = {u"名称",     u"型号",     u"编码",     u"类型",
                                       u"供货商",   u"账面数量", u"实盘数量", u"盈亏数量",
                                       u"进货单价", u"盈亏金额", u"盘点时间", u"盘点人"};
    QList<FieldValue> fields;
    for (qsizetype c = 0; c < figures.size(); ++c)
        if (seesCosts || (c != kPriceFigure && c != kValueFigure))
            fields.append({columns[c], figures[c], u""});
    if (counted) {
        result->id = line[0].toLongLong();
        QStringList sets;
        QVariantList values;
        for (const FieldValue& f : fields) {
            sets << QString::fromUtf16(f.column) + QStringLiteral("=?");
            values << f.value;
        }
        return ChangeRows(db,
                          QStringLiteral("UPDATE stocktake_line SET %1 WHERE ID=?")
                              .arg(sets.join(QStringLiteral(", "))),
                          values << result->id, result);
    }
    fields.prepend({u"商品ID", goodsId, u""});
    fields.prepend({u"盘点ID", stocktakeId, u""});
    return InsertRow(db, QStringLiteral("stocktake_line"), fields, result);
}

// One UPDATE ... FROM (VALUES ...) for a chunk of rows at a time: a statement per row would
// cost a stocktake of the whole shop its time in statements.
class ChunkedUpdate {
  public:
    // sql holds %1 where the rows go; each row has columns values, the first the ID.
    ChunkedUpdate(DbConnection& db, QString sql, int columns)
        : db_(db), sql_(std::move(sql)), columns_(columns) {}

    bool Add(const QVariantList& row, LedgerResult* result) {
        values_ += row;
        return values_.size() < kRows * columns_ || Flush(result);
    }

    bool Flush(LedgerResult* result) {
        if (values_.isEmpty()) return true;
        const qsizetype rows = values_.size() / columns_;
        const QString row = QLatin1Char('(') +
                            QStringList(columns_, QStringLiteral("?")).join(QLatin1Char(',')) +
                            QLatin1Char(')');
        const bool done =
            db_.Execute(sql_.arg(QStringList(rows, row).join(QLatin1Char(','))), values_);
        values_.clear();
        return done || StoreFailure(db_, result);
    }

  private:
    static constexpr int kRows = 500;
    DbConnection& db_;
    QString sql_;
    int columns_;
    QVariantList values_;
};

// Sums of figures in whole units of 1/scale, as the lists total them.
qint64 Units(double value, int scale) {
    return static_cast<qint64>(std::llround(value * scale));
}

}  // namespace

QString ScopeText(StocktakeScope scope) {
    for (const ScopeName& s : kScopeNames)
        if (s.scope == scope) return QString::fromUtf16(s.text);
    return {};
}

LedgerResult StartStocktake(DbConnection& db, StocktakeScope scope, const QString& scopeValue,
                            const QString& user) {
    LedgerResult result;
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    QVariantList open;
    if (!ReadRow(db, QStringLiteral("SELECT min(ID) FROM stocktake WHERE 确认时间 IS NULL"), {},
                 &open, &result))
        return result;
    if (!open[0].isNull()) {
        result.outcome = LedgerResult::StocktakeOpen;
        result.id = open[0].toLongLong();
        return result;
    }
    const bool valued = scope == StocktakeScope::Type || scope == StocktakeScope::Supplier;
    const QList<FieldValue> fields = {
        {u"范围", ScopeText(scope), u""},
        {u"范围值", valued ? scopeValue : QString(), u""},
        {u"开始人", user, u""},
        {u"开始时间", CurrentDateTime(), u""},
    };
    if (!InsertRow(db, QStringLiteral("stocktake"), fields, &result)) return result;
    return Finish(db, transaction, result);
}

LedgerResult CountScanned(DbConnection& db, qint64 stocktakeId, const QString& code,
                          const QString& user) {
    LedgerResult result;
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    Stocktake stocktake;
    if (!OpenStocktake(db, stocktakeId, &stocktake, &result)) return result;
    CodeLookup lookup;
    lookup.among = ScopeCondition(stocktake.scope, stocktake.scopeValue);
    CodedGoods goods;
    if (!FindGoodsByCode(db, code, lookup, &goods, &result.error)) {
        result.outcome = LedgerResult::StoreFailed;
        return result;
    }
    if (goods.id != 0) {
        if (!CountGoods(db, stocktakeId, goods.id, std::nullopt, user, &result)) return result;
        return Finish(db, transaction, result);
    }
    qint64 changed = 0;
    const QDateTime now = CurrentDateTime();
    if (!db.Execute(QStringLiteral("UPDATE stocktake_code SET 数量 = 数量 + 1, 盘点时间 = ? "
                                   "WHERE 盘点ID = ? AND 编码 = ?"),
                    {now, stocktakeId, code}, &changed))
        return StoreFailure(db, &result), result;
    if (changed == 0 && !InsertRow(db, QStringLiteral("stocktake_code"),
                                   {{u"盘点ID", stocktakeId, u""},
                                    {u"编码", code, u""},
                                    {u"数量", 1.0, u""},
                                    {u"盘点时间", now, u""}},
                                   &result))
        return result;
    result.id = stocktakeId;
    result.goodsId = 0;
    return Finish(db, transaction, result);
}

LedgerResult SetCount(DbConnection& db, qint64 stocktakeId, qint64 goodsId, double counted,
                      const QString& user) {
    LedgerResult result;
    if (counted < 0 && !IsZero(counted)) {
        result.outcome = LedgerResult::NegativeAmount;
        return result;
    }
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    Stocktake stocktake;
    if (!OpenStocktake(db, stocktakeId, &stocktake, &result) ||
        !CountGoods(db, stocktakeId, goodsId, StoredNumber(std::max(counted, 0.0)), user, &result))
        return result;
    return Finish(db, transaction, result);
}

LedgerResult BookStocktake(DbConnection& db, qint64 stocktakeId, const QString& user) {
    LedgerResult result;
    result.id = stocktakeId;
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    // Booking moves the goods' purchase amounts, which only the super administrators' logins
    // may write on a server.
    if (!SeesCosts(db)) {
        result.outcome = LedgerResult::StoreFailed;
        result.error = QStringLiteral("在服务器上，确认盘点需要用超级管理员账号登录");
        return result;
    }
    Stocktake stocktake;
    if (!OpenStocktake(db, stocktakeId, &stocktake, &result)) return result;

    struct Line {
        qint64 id;
        double book;
        double counted;
        bool goodsStored;
        qint64 goodsId;
        double bought;
        double boughtAmount;
        double stock;
        double price;
        double countedDifference;
        double countedPrice;
    };
    std::vector<Line> lines;
    {
        Statement st(
            db,
            QStringLiteral("SELECT l.ID, l.账面数量, l.实盘数量, b.ID, b.进货数量, b.进货金额, "
                           "b.存货数量, b.进货单价, l.盈亏数量, l.进货单价 FROM stocktake_line l "
                           "LEFT JOIN buy b ON b.ID = l.商品ID WHERE l.盘点ID = ? ORDER BY l.ID"));
        st.Bind({stocktakeId});
        while (st.Next())
            lines.push_back({st.Int64(0), st.Double(1), st.Double(2), !st.IsNull(3), st.Int64(3),
                             st.Double(4), st.Double(5), st.Double(6), st.Double(7), st.Double(8),
                             st.Double(9)});
        if (st.Failed() || !st.Ok()) {
            result.outcome = LedgerResult::StoreFailed;
            ReadFailed(db, st, &result.error);
            return result;
        }
    }

    // Rows of new figures, written a few hundred at a time by one statement each.
    ChunkedUpdate goods(
        db,
        QStringLiteral("UPDATE buy SET 进货数量=v.column2, 进货金额=v.column3, "
                       "存货数量=v.column4, 存货金额=v.column5 FROM (VALUES %1) AS v "
                       "WHERE buy.ID=v.column1"),
        5);
    ChunkedUpdate booked(db,
                         QStringLiteral("UPDATE stocktake_line SET 盈亏数量=v.column2, "
                                        "进货单价=v.column3, 盈亏金额=v.column4, 状态=v.column5 "
                                        "FROM (VALUES %1) AS v WHERE stocktake_line.ID=v.column1"),
                         5);
    qint64 gain = 0, gainFen = 0, loss = 0, lossFen = 0;
    for (const Line& l : lines) {
        if (!l.goodsStored) {
            if (!booked.Add({l.id, 0.0, 0.0, 0.0, QString::fromUtf16(kGoodsGone)}, &result))
                return result;
            continue;
        }
        // What was sold or bought since the count stays: the difference moves the stock now.
        const double stock = StoredNumber(std::max(0.0, l.stock + (l.counted - l.book)));
        const double moved = StoredNumber(stock - l.stock);
        const double value = StoredNumber(moved * l.price);
        if (!IsZero(moved) &&
            !goods.Add({l.goodsId, StoredNumber(l.bought + moved),
                        StoredNumber(l.boughtAmount + value), stock, StoredNumber(stock * l.price)},
                       &result))
            return result;
        // Only a line booked otherwise than counted is written again: at a changed purchase
        // price, or with a stock that cannot go below 0.
        const bool toZero = !IsZero(moved - l.countedDifference);
        if ((toZero || !IsZero(l.price - l.countedPrice)) &&
            !booked.Add({l.id, moved, l.price, value,
                         toZero ? QString::fromUtf16(kStockToZero) : QString()},
                        &result))
            return result;
        if (moved > 0) {
            gain += Units(moved, kThousandths);
            gainFen += Units(value, kFen);
        } else {
            loss -= Units(moved, kThousandths);
            lossFen -= Units(value, kFen);
        }
    }
    if (!goods.Flush(&result) || !booked.Flush(&result)) return result;
    if (!ChangeRows(
            db,
            QStringLiteral("UPDATE stocktake SET 确认人=?, 确认时间=?, 盘点种数=?, 盘盈数量=?, "
                           "盘盈金额=?, 盘亏数量=?, 盘亏金额=? WHERE ID=?"),
            {user, CurrentDateTime(), static_cast<qint64>(lines.size()),
             double(gain) / kThousandths, double(gainFen) / kFen, double(loss) / kThousandths,
             double(lossFen) / kFen, stocktakeId},
            &result))
        return result;
    return Finish(db, transaction, result);
}

namespace {

bool ReadHeader(DbConnection& db, const QString& where, const QVariantList& values,
                Stocktake* stocktake, bool* found, QString* error) {
    Statement st(db, QStringLiteral("SELECT ID, 范围, 范围值, 开始人, 开始时间, 确认人, 确认时间 "
                                    "FROM stocktake WHERE ") +
                         where);
    st.Bind(values);
    *found = st.Next();
    if (*found) {
        stocktake->id = st.Int64(0);
        stocktake->scope = ScopeOf(st.Text(1));
        stocktake->scopeValue = st.Text(2);
        stocktake->startedBy = st.Text(3);
        stocktake->startedAt = ParseDateText(st.Text(4));
        stocktake->bookedBy = st.Text(5);
        stocktake->bookedAt = st.IsNull(6) ? QDateTime() : ParseDateText(st.Text(6));
    }
    return (st.Ok() && !st.Failed()) || ReadFailed(db, st, error);
}

}  // namespace

bool ReadOpenStocktake(DbConnection& db, Stocktake* stocktake, bool* found, QString* error) {
    return ReadHeader(db, QStringLiteral("确认时间 IS NULL ORDER BY ID LIMIT 1"), {}, stocktake,
                      found, error);
}

bool ReadStocktake(DbConnection& db, qint64 id, Stocktake* stocktake, QString* error) {
    bool found = false;
    if (!ReadHeader(db, QStringLiteral("ID = ?"), {id}, stocktake, &found, error)) return false;
    if (!found) *error = QStringLiteral("这次盘点的记录已不存在");
    return found;
}

bool ReadStocktakeFigures(DbConnection& db, qint64 id, StocktakeFigures* figures, QString* error) {
    Statement st(db, SeesCosts(db)
                         ? QStringLiteral("SELECT 盘点种数, 盘盈数量, 盘盈金额, 盘亏数量, "
                                          "盘亏金额 FROM stocktake WHERE ID = ?")
                         : QStringLiteral("SELECT 盘点种数, 盘盈数量, 0, 盘亏数量, 0 "
                                          "FROM stocktake WHERE ID = ?"));
    st.Bind({id});
    if (!st.Next()) {
        if (st.Failed() || !st.Ok()) return ReadFailed(db, st, error);
        *error = QStringLiteral("这次盘点的记录已不存在");
        return false;
    }
    figures->counted = st.Int64(0);
    figures->gainQuantity = st.Double(1);
    figures->gainAmount = st.Double(2);
    figures->lossQuantity = st.Double(3);
    figures->lossAmount = st.Double(4);
    return true;
}

bool ReadUnknownCodes(DbConnection& db, qint64 id, QList<UnknownCode>* codes, QString* error) {
    codes->clear();
    Statement st(db, QStringLiteral("SELECT 编码, 数量 FROM stocktake_code WHERE 盘点ID = ? "
                                    "ORDER BY ID"));
    st.Bind({id});
    while (st.Next()) codes->append({st.Text(0), st.Double(1)});
    return (st.Ok() && !st.Failed()) || ReadFailed(db, st, error);
}

bool ReadBookedGainLoss(DbConnection& db, StocktakeFigures* figures, QString* error) {
    // A login that may not read the amounts sums none.
    const bool seesCosts = SeesCosts(db);
    auto amount = [&](const QString& column) { return seesCosts ? column : QStringLiteral("0"); };
    Statement st(db,
                 QStringLiteral("SELECT coalesce(sum(盘点种数), 0), "
                                "coalesce(sum(cast(round(盘盈数量*1000) AS bigint)), 0), "
                                "coalesce(sum(cast(round(%1*100) AS bigint)), 0), "
                                "coalesce(sum(cast(round(盘亏数量*1000) AS bigint)), 0), "
                                "coalesce(sum(cast(round(%2*100) AS bigint)), 0) "
                                "FROM stocktake WHERE 确认时间 IS NOT NULL")
                     .arg(amount(QStringLiteral("盘盈金额")), amount(QStringLiteral("盘亏金额"))));
    if (!st.Next()) return ReadFailed(db, st, error);
    figures->counted = st.Int64(0);
    figures->gainQuantity = double(st.Int64(1)) / kThousandths;
    figures->gainAmount = double(st.Int64(2)) / kFen;
    figures->lossQuantity = double(st.Int64(3)) / kThousandths;
    figures->lossAmount = double(st.Int64(4)) / kFen;
    return true;
}

namespace {

const char* const kTakeNames[kTakeColumns] = {
    "ID",       "商品ID",   "名称",     "型号",     "编码",     "类型",   "供货商", "账面数量",
    "实盘数量", "盈亏数量", "进货单价", "盈亏金额", "盘点时间", "盘点人", "状态"};

ListSpec TakeSpec(const QString& table, bool costs, bool totals) {
    ListSpec layout;
    layout.table = table;
    for (int c = 0; c < kTakeColumns; ++c) {
        ListColumn column;
        column.name = QString::fromUtf8(kTakeNames[c]);
        column.date = c == kTakeTime;
        column.withheld = !costs && (c == kTakeCost || c == kTakeValue);
        if (totals && c == kTakeDifference) column.totalScale = kThousandths;
        if (totals && c == kTakeValue) column.totalScale = kFen;
        layout.columns << column;
    }
    return layout;
}

}  // namespace

ListSpec StocktakeGoodsSpec(bool costs) {
    // Every goods with its line of the open stocktake, if it was counted: the store steps
    // through the goods in ID order and looks each line up by its unique index, so a page
    // costs what it costs at any size. Nothing is summed here (see ReadStocktakeFigures).
    // Without the costs the inner read names none of them either.
    ListSpec layout = TakeSpec(
        QStringLiteral(
            "(SELECT b.ID AS ID, b.ID AS 商品ID, b.名称 AS 名称, b.型号 AS 型号, b.编码 AS 编码, "
            "b.类型 AS 类型, b.供货商 AS 供货商, coalesce(l.账面数量, b.存货数量) AS 账面数量, "
            "l.实盘数量 AS 实盘数量, l.盈亏数量 AS 盈亏数量, %1 AS 进货单价, "
            "%2 AS 盈亏金额, l.盘点时间 AS 盘点时间, l.盘点人 AS 盘点人, l.状态 AS 状态 "
            "FROM buy b LEFT JOIN stocktake_line l ON l.商品ID = b.ID AND l.盘点ID = "
            "(SELECT min(ID) FROM stocktake WHERE 确认时间 IS NULL)) g")
            .arg(costs ? QStringLiteral("b.进货单价") : QStringLiteral("0"),
                 costs ? QStringLiteral("l.盈亏金额") : QStringLiteral("0")),
        costs, false);
    // One row per goods: all of them are counted as the goods list counts them.
    layout.keptTotals = QStringLiteral("buy_totals");
    return layout;
}

ListCondition StocktakeGoodsCondition(const Stocktake& stocktake) {
    return ScopeCondition(stocktake.scope, stocktake.scopeValue);
}

ListSpec StocktakeLinesSpec(bool costs) {
    return TakeSpec(QStringLiteral("stocktake_line"), costs, true);
}

ListCondition StocktakeLinesCondition(qint64 id) {
    return {QStringLiteral("盘点ID = ?"), {id}};
}

ListSpec BookedStocktakesSpec(bool costs) {
    ListSpec layout;
    layout.table = QStringLiteral("stocktake");
    const char* const names[kBookedColumns] = {"ID",       "范围",     "范围值",   "开始人",
                                               "开始时间", "确认人",   "确认时间", "盘点种数",
                                               "盘盈数量", "盘盈金额", "盘亏数量", "盘亏金额"};
    for (int c = 0; c < kBookedColumns; ++c) {
        ListColumn column;
        column.name = QString::fromUtf8(names[c]);
        column.date = c == kBookedStartedAt || c == kBookedAt;
        column.withheld = !costs && (c == kBookedGainAmount || c == kBookedLossAmount);
        if (c == kBookedGain || c == kBookedLoss) column.totalScale = kThousandths;
        if (c == kBookedGainAmount || c == kBookedLossAmount) column.totalScale = kFen;
        layout.columns << column;
    }
    return layout;
}

ListCondition BookedStocktakes() {
    return {QStringLiteral("确认时间 IS NOT NULL"), {}};
}

}  // namespace ledger
