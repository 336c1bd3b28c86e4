#include "ledger/shift.h"

#include <QMap>
#include <cmath>
#include <utility>

#include "common/date_text.h"
#include "common/number_text.h"
#include "ledger/row_access.h"
#include "store/db_connection.h"
#include "store/statement.h"

namespace ledger {

namespace {

const QString kShiftColumns = QStringLiteral(
    "ID,收银台,操作员,开始时间,结束时间,备用金,实点现金,销售笔数,销售数量,销售金额,欠款额,"
    "收款笔数,收款金额,收入,支出,现金,微信,支付宝,银行卡,其他");

double Yuan(qint64 fen) {
    return StoredNumber(static_cast<double>(fen) / 100);
}

int MethodIndex(const QString& method) {
    // Payments of older versions were taken in "银行".
    if (method.trimmed() == QStringLiteral("银行"))
        return static_cast<int>(PayMethods().indexOf(QStringLiteral("银行卡")));
    const qsizetype index = PayMethods().indexOf(PayMethodOrCash(method));
    return static_cast<int>(index < 0 ? PayMethods().size() - 1 : index);
}

bool Failed(DbConnection& db, const Statement& st, QString* error) {
    *error = st.Error().isEmpty() ? db.GetErrorDescription() : st.Error();
    return false;
}

// The bookings that meet where (over 录入时间, 收银台 and 操作员), per till and user in that
// order. Every amount is summed in whole fen by the store.
bool ReadFigures(DbConnection& db, const QString& where, const QVariantList& values,
                 QList<ShiftFigures>* figures, QString* error) {
    QMap<std::pair<QString, QString>, ShiftFigures> byTillUser;
    auto of = [&](const Statement& st) -> ShiftFigures& {
        ShiftFigures& f = byTillUser[{st.Text(0), st.Text(1)}];
        f.tillName = st.Text(0);
        f.user = st.Text(1);
        if (f.byMethodFen.isEmpty()) f.byMethodFen.fill(0, PayMethods().size());
        return f;
    };
    const QString keys = QStringLiteral("coalesce(收银台,''),coalesce(操作员,'')");
    {
        Statement st(
            db, QStringLiteral("SELECT %1,coalesce(付款方式,''),count(*),"
                               "sum(cast(round(销售数量*1000) as bigint)),"
                               "sum(cast(round(销售金额*100) as bigint)),"
                               "sum(cast(round(原欠款额*100) as bigint)),"
                               "%3 FROM sell WHERE %2 GROUP BY 1,2,3")
                    .arg(keys, where,
                         // A login that may not read the profit sums none.
                         SeesCosts(db) ? QStringLiteral("sum(cast(round(净利润*100) as bigint))")
                                       : QStringLiteral("0")));
        if (!st.Bind(values)) return Failed(db, st, error);
        while (st.Next()) {
            ShiftFigures& f = of(st);
            f.sales += st.Int64(3);
            f.goodsMilli += st.Int64(4);
            f.chargedFen += st.Int64(5);
            f.debtFen += st.Int64(6);
            f.profitFen += st.Int64(7);
            f.byMethodFen[MethodIndex(st.Text(2))] += st.Int64(5) - st.Int64(6);
        }
        if (st.Failed()) return Failed(db, st, error);
    }
    {
        Statement st(db, QStringLiteral("SELECT %1,coalesce(方式,''),count(*),"
                                        "sum(cast(round(金额*100) as bigint)) "
                                        "FROM payment WHERE %2 GROUP BY 1,2,3")
                             .arg(keys, where));
        if (!st.Bind(values)) return Failed(db, st, error);
        while (st.Next()) {
            ShiftFigures& f = of(st);
            f.payments += st.Int64(3);
            f.paymentsFen += st.Int64(4);
            f.byMethodFen[MethodIndex(st.Text(2))] += st.Int64(4);
        }
        if (st.Failed()) return Failed(db, st, error);
    }
    {
        Statement st(db, QStringLiteral("SELECT %1,coalesce(付款方式,''),类型,"
                                        "sum(cast(round(金额*100) as bigint)) "
                                        "FROM other WHERE %2 GROUP BY 1,2,3,4")
                             .arg(keys, where));
        if (!st.Bind(values)) return Failed(db, st, error);
        while (st.Next()) {
            ShiftFigures& f = of(st);
            const bool expense = st.Text(3) == QStringLiteral("支出");
            (expense ? f.expenseFen : f.incomeFen) += st.Int64(4);
            f.byMethodFen[MethodIndex(st.Text(2))] += expense ? -st.Int64(4) : st.Int64(4);
        }
        if (st.Failed()) return Failed(db, st, error);
    }
    {
        Statement st(db, QStringLiteral("SELECT %1,操作,count(*),"
                                        "sum(cast(round(销售金额*100) as bigint)) "
                                        "FROM sale_edit WHERE %2 GROUP BY 1,2,3")
                             .arg(keys, where));
        if (!st.Bind(values)) return Failed(db, st, error);
        while (st.Next()) {
            ShiftFigures& f = of(st);
            if (st.Text(2) == QStringLiteral("删除")) {
                f.deletedSales += st.Int64(3);
                f.deletedFen += st.Int64(4);
            } else {
                f.modifiedSales += st.Int64(3);
            }
        }
        if (st.Failed()) return Failed(db, st, error);
    }
    *figures = byTillUser.values();
    return true;
}

// A shift's bookings: after its start, up to and with its end. A handover and the next login
// never fall in one second, so no booking counts in two shifts.
bool ReadShiftFigures(DbConnection& db, const QString& tillName, const QString& user,
                      const QDateTime& start, const QDateTime& end, ShiftFigures* figures,
                      QString* error) {
    QList<ShiftFigures> found;
    if (!ReadFigures(db, QStringLiteral("收银台=? AND 操作员=? AND 录入时间>? AND 录入时间<=?"),
                     {tillName, user, StoredDateText(start), StoredDateText(end)}, &found, error))
        return false;
    *figures = found.isEmpty() ? ShiftFigures{} : found.first();
    figures->tillName = tillName;
    figures->user = user;
    if (figures->byMethodFen.isEmpty()) figures->byMethodFen.fill(0, PayMethods().size());
    return true;
}

// A shift row read with kShiftColumns; its figures as stored.
Shift StoredShift(const Statement& st) {
    Shift s;
    s.id = st.Int64(0);
    s.tillName = s.figures.tillName = st.Text(1);
    s.user = s.figures.user = st.Text(2);
    s.start = ParseDateText(st.Text(3));
    if (!st.IsNull(4) && !st.Text(4).isEmpty()) s.end = ParseDateText(st.Text(4));
    s.floatFen = Fen(st.Double(5));
    s.countedFen = Fen(st.Double(6));
    ShiftFigures& f = s.figures;
    f.sales = st.Int64(7);
    f.goodsMilli = std::llround(st.Double(8) * 1000);
    f.chargedFen = Fen(st.Double(9));
    f.debtFen = Fen(st.Double(10));
    f.payments = st.Int64(11);
    f.paymentsFen = Fen(st.Double(12));
    f.incomeFen = Fen(st.Double(13));
    f.expenseFen = Fen(st.Double(14));
    for (int m = 0; m < PayMethods().size(); ++m) f.byMethodFen << Fen(st.Double(15 + m));
    return s;
}

}  // namespace

const QStringList& PayMethods() {
    static const QStringList methods = {QStringLiteral("现金"), QStringLiteral("微信"),
                                        QStringLiteral("支付宝"), QStringLiteral("银行卡"),
                                        QStringLiteral("其他")};
    return methods;
}

QString PayMethodOrCash(const QString& method) {
    const QString trimmed = method.trimmed();
    return trimmed.isEmpty() ? PayMethods().first() : trimmed;
}

LedgerResult StartShift(DbConnection& db, const QString& tillName, const QString& user,
                        double openingFloat) {
    LedgerResult result;
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    QVariantList open;
    LedgerResult lookup;
    if (ReadRow(db,
                QStringLiteral("SELECT ID FROM shift WHERE 收银台=? AND 操作员=? AND 结束时间 IS "
                               "NULL ORDER BY ID DESC"),
                {tillName.left(50), user}, &open, &lookup)) {
        result.id = open[0].toLongLong();
        return Finish(db, transaction, result);
    }
    if (lookup.outcome != LedgerResult::RecordGone) return lookup;
    if (!InsertRow(db, QStringLiteral("shift"),
                   {{u"收银台", tillName.left(50), u"0801"},
                    {u"操作员", user, u"0801"},
                    {u"开始时间", CurrentDateTime(), u"0801"},
                    {u"备用金", StoredNumber(openingFloat), u"0802"}},
                   &result))
        return result;
    return Finish(db, transaction, result);
}

bool FindOpenShift(DbConnection& db, const QString& tillName, const QString& user, qint64* shiftId,
                   QString* error) {
    Statement st(db, QStringLiteral("SELECT ID FROM shift WHERE 收银台=? AND 操作员=? AND "
                                    "结束时间 IS NULL ORDER BY ID DESC"));
    if (!st.Bind({tillName.left(50), user})) return Failed(db, st, error);
    *shiftId = st.Next() ? st.Int64(0) : 0;
    return st.Failed() ? Failed(db, st, error) : true;
}

bool ReadShift(DbConnection& db, qint64 shiftId, Shift* shift, QString* error) {
    Statement st(db, QStringLiteral("SELECT %1 FROM shift WHERE ID=?").arg(kShiftColumns));
    if (!st.Bind({shiftId})) return Failed(db, st, error);
    if (!st.Next()) {
        if (st.Failed()) return Failed(db, st, error);
        *error = QStringLiteral("这个班次已不存在");
        return false;
    }
    *shift = StoredShift(st);
    if (!shift->end.isValid())
        return ReadShiftFigures(db, shift->tillName, shift->user, shift->start, CurrentDateTime(),
                                &shift->figures, error);
    // The stored figures, and what was taken off the shift's sales since.
    ShiftFigures now;
    if (!ReadShiftFigures(db, shift->tillName, shift->user, shift->start, shift->end, &now, error))
        return false;
    shift->figures.deletedSales = now.deletedSales;
    shift->figures.deletedFen = now.deletedFen;
    shift->figures.modifiedSales = now.modifiedSales;
    return true;
}

LedgerResult HandOverShift(DbConnection& db, qint64 shiftId, double cashCounted,
                           Shift* handedOver) {
    LedgerResult result;
    result.id = shiftId;
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    QVariantList row;
    if (!ReadRow(db,
                 ForChange(db, QStringLiteral("SELECT 收银台,操作员,开始时间,结束时间,备用金 "
                                              "FROM shift WHERE ID=?")),
                 {shiftId}, &row, &result))
        return result;
    if (!row[3].isNull() && !row[3].toString().isEmpty()) {
        result.outcome = LedgerResult::RecordChanged;
        return result;
    }
    Shift s;
    s.id = shiftId;
    s.tillName = row[0].toString();
    s.user = row[1].toString();
    s.start = ParseDateText(row[2].toString());
    s.end = CurrentDateTime();
    s.floatFen = Fen(row[4].toDouble());
    s.countedFen = Fen(cashCounted);
    if (!ReadShiftFigures(db, s.tillName, s.user, s.start, s.end, &s.figures, &result.error)) {
        result.outcome = LedgerResult::StoreFailed;
        return result;
    }
    const ShiftFigures& f = s.figures;
    QVariantList values = {StoredDateText(s.end),
                           Yuan(s.countedFen),
                           Yuan(s.ExpectedCashFen()),
                           Yuan(s.DifferenceFen()),
                           f.sales,
                           StoredNumber(static_cast<double>(f.goodsMilli) / 1000),
                           Yuan(f.chargedFen),
                           Yuan(f.debtFen),
                           f.payments,
                           Yuan(f.paymentsFen),
                           Yuan(f.incomeFen),
                           Yuan(f.expenseFen)};
    for (const qint64 fen : f.byMethodFen) values << Yuan(fen);
    values << shiftId;
    if (!ChangeRows(db,
                    QStringLiteral("UPDATE shift SET 结束时间=?,实点现金=?,应有现金=?,差额=?,"
                                   "销售笔数=?,销售数量=?,销售金额=?,欠款额=?,收款笔数=?,"
                                   "收款金额=?,收入=?,支出=?,现金=?,微信=?,支付宝=?,银行卡=?,"
                                   "其他=? WHERE ID=?"),
                    values, &result))
        return result;
    result = Finish(db, transaction, result);
    if (result.IsDone()) *handedOver = s;
    return result;
}

bool ReadDayFigures(DbConnection& db, const QDate& day, QList<ShiftFigures>* figures,
                    QList<Shift>* shifts, QString* error) {
    const QVariantList range = {StoredDateText(day), StoredDateText(day.addDays(1))};
    if (!ReadFigures(db, QStringLiteral("录入时间>=? AND 录入时间<?"), range, figures, error))
        return false;
    shifts->clear();
    Statement st(db, QStringLiteral("SELECT %1 FROM shift WHERE 结束时间>=? AND 结束时间<? "
                                    "ORDER BY 结束时间, ID")
                         .arg(kShiftColumns));
    if (!st.Bind(range)) return Failed(db, st, error);
    while (st.Next()) shifts->append(StoredShift(st));
    return st.Failed() ? Failed(db, st, error) : true;
}

ListSpec HandedOverShiftsSpec(bool) {
    static_assert(kShiftFloat - kShiftFirstMethod == 5, "one column per payment method");
    ListSpec layout;
    layout.table = QStringLiteral("shift");
    const char* const names[kShiftColumnCount] = {
        "ID",     "收银台",   "操作员", "开始时间", "结束时间", "销售笔数", "销售金额",
        "欠款额", "收款金额", "收入",   "支出",     "现金",     "微信",     "支付宝",
        "银行卡", "其他",     "备用金", "应有现金", "实点现金", "差额"};
    for (int c = 0; c < kShiftColumnCount; ++c) {
        ListColumn column;
        column.name = QString::fromUtf8(names[c]);
        column.date = c == kShiftStart || c == kShiftEnd;
        if (c == kShiftSales) column.totalScale = 1;
        if (c >= kShiftCharged) column.totalScale = 100;
        layout.columns << column;
    }
    return layout;
}

ListCondition HandedOverShifts(const QDate& from, const QDate& to, const QString& tillName,
                               const QString& user) {
    QString sql = QStringLiteral("结束时间>=? AND 结束时间<?");
    QVariantList values = {StoredDateText(from), StoredDateText(to.addDays(1))};
    if (!tillName.isEmpty()) {
        sql += QStringLiteral(" AND 收银台=?");
        values << tillName;
    }
    if (!user.isEmpty()) {
        sql += QStringLiteral(" AND 操作员=?");
        values << user;
    }
    return {sql, values};
}

}  // namespace ledger
