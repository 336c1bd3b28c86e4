#include "ledger/customers.h"

#include <algorithm>

#include "common/date_text.h"
#include "common/number_text.h"
#include "common/text.h"
#include "ledger/list_read.h"
#include "ledger/row_access.h"
#include "store/db_connection.h"
#include "store/statement.h"

namespace ledger {

namespace {

// The IDs the query finds, at most limit of them.
bool ReadIds(DbConnection& db, const QString& sql, const QVariantList& values, int limit,
             QList<qint64>* ids, LedgerResult* result) {
    Statement st(db, sql);
    st.Bind(values);
    while (ids->size() < limit && st.Next()) ids->append(st.Int64(0));
    if (st.Failed()) {
        result->outcome = LedgerResult::StoreFailed;
        result->error = st.Error();
        return false;
    }
    return true;
}

struct OpenSale {
    qint64 id;
    double debt;
};

// The customer's sales that still owe something, oldest first.
bool ReadOpenSales(DbConnection& db, qint64 customerId, QList<OpenSale>* sales, QString* error) {
    Statement st(db, ForChange(db, QStringLiteral("SELECT ID, 欠款额 FROM sell WHERE 客户ID=? AND "
                                                  "欠款额>0 ORDER BY 销售日期, ID")));
    st.Bind({customerId});
    while (st.Next()) {
        const double debt = st.Double(1);
        if (!IsZero(debt)) sales->append({st.Int64(0), debt});
    }
    if (st.Failed()) {
        *error = st.Error();
        return false;
    }
    return true;
}

// A figure in whole fen, and the sum of such: no binary fraction adds up a drift.
QString Fen(const QString& figure) {
    return QStringLiteral("CAST(round(%1*100) AS bigint)").arg(figure);
}
QString FenSum(const QString& figure) {
    return QStringLiteral("coalesce(sum(%1), 0)").arg(Fen(figure));
}

// What the customer's payments settle on no sale, money paid beyond its debts, as a statement
// of a customer's ID (customerColumn: a column, or "?").
QString CreditFen(const QString& customerColumn) {
    return QStringLiteral(
               "(SELECT %1 FROM payment_part p JOIN payment y ON y.ID = p.收款ID "
               "WHERE p.销售ID = 0 AND y.客户ID = %2)")
        .arg(FenSum(QStringLiteral("p.金额")), customerColumn);
}

// Adds amount to what payment paymentId settles on sale saleId (0: on no sale).
bool AddPart(DbConnection& db, qint64 paymentId, qint64 saleId, double amount,
             LedgerResult* result) {
    QVariantList part;
    LedgerResult lookup;
    if (ReadRow(db,
                ForChange(db, QStringLiteral("SELECT ID, 金额 FROM payment_part WHERE 收款ID=? AND "
                                             "销售ID=?")),
                {paymentId, saleId}, &part, &lookup))
        return ChangeRows(db, QStringLiteral("UPDATE payment_part SET 金额=? WHERE ID=?"),
                          {StoredNumber(part[1].toDouble() + amount), part[0]}, result);
    if (lookup.outcome != LedgerResult::RecordGone) {
        result->outcome = lookup.outcome;
        result->error = lookup.error;
        return false;
    }
    return InsertRow(
        db, QStringLiteral("payment_part"),
        {{u"收款ID", paymentId, u"062"}, {u"销售ID", saleId, u"062"}, {u"金额", amount, u"062"}},
        result);
}

// Takes amount of payment paymentId off the customer's open sale debts, oldest sale first, no
// debt below 0; what is left over stays the customer's credit.
bool Settle(DbConnection& db, qint64 paymentId, qint64 customerId, double amount,
            LedgerResult* result) {
    QList<OpenSale> sales;
    if (!ReadOpenSales(db, customerId, &sales, &result->error)) {
        result->outcome = LedgerResult::StoreFailed;
        return false;
    }
    double left = StoredNumber(amount);
    for (const OpenSale& s : sales) {
        if (IsZero(left)) break;
        // An amount within the tolerance of the debt settles it whole.
        const double part = IsGreater(s.debt, left) ? left : s.debt;
        const double rest = part == s.debt ? 0 : StoredNumber(s.debt - part);
        if (!ChangeRows(db, QStringLiteral("UPDATE sell SET 欠款额=? WHERE ID=?"), {rest, s.id},
                        result) ||
            !AddPart(db, paymentId, s.id, part, result))
            return false;
        left = StoredNumber(left - part);
    }
    return IsZero(left) || AddPart(db, paymentId, 0, left, result);
}

}  // namespace

bool CustomerForSale(DbConnection& db, const QString& name, const QString& phone,
                     const QString& address, qint64* id, LedgerResult* result) {
    *id = 0;
    if (TrimSpaces(name).isEmpty()) return true;
    // A text too long for its column links to nobody: the sales row then refuses it with the
    // code of its own field, in the order of its fields.
    if (name.size() > 50 || phone.size() > 50 || address.size() > 50) return true;
    QList<qint64> found;
    if (!ReadIds(db,
                 QStringLiteral("SELECT ID FROM customer WHERE 名称=? AND 联系方式=? ORDER BY ID"),
                 {name, phone}, 1, &found, result))
        return false;
    if (found.isEmpty() && phone.isEmpty()) {
        if (!ReadIds(db, QStringLiteral("SELECT ID FROM customer WHERE 名称=? ORDER BY ID"), {name},
                     2, &found, result))
            return false;
        if (found.size() > 1) found.clear();  // several of that name: none of them is meant
    } else if (found.isEmpty()) {
        if (!ReadIds(db,
                     QStringLiteral("SELECT ID FROM customer WHERE 名称=? AND 联系方式='' "
                                    "ORDER BY ID"),
                     {name}, 1, &found, result))
            return false;
        if (!found.isEmpty() &&
            !ChangeRows(db, QStringLiteral("UPDATE customer SET 联系方式=? WHERE ID=?"),
                        {phone, found[0]}, result))
            return false;
    }
    if (!found.isEmpty()) {
        *id = found[0];
        return true;
    }
    const QList<FieldValue> fields = {
        {u"名称", name, u"074"},
        {u"联系方式", phone, u"073"},
        {u"地址", address, u"072"},
    };
    if (!InsertRow(db, QStringLiteral("customer"), fields, result)) return false;
    *id = result->id;
    result->id = 0;
    // The number a new customer is known by is its ID until the shop gives it another.
    return ChangeRows(db, QStringLiteral("UPDATE customer SET 编号=ID WHERE ID=?"), {*id}, result);
}

bool ReadCustomerNames(DbConnection& db, QStringList* names, QString* error) {
    return ReadValues(db,
                      QStringLiteral("SELECT max(名称) FROM customer GROUP BY 名称 ORDER BY 名称"),
                      names, error);
}

bool ReadCustomerAddresses(DbConnection& db, QStringList* addresses, QString* error) {
    return ReadValues(db,
                      QStringLiteral("SELECT max(地址) FROM customer GROUP BY 名称 ORDER BY 名称"),
                      addresses, error);
}

bool ReadCustomerContact(DbConnection& db, const QString& name, QString* phone, QString* address,
                         QString* error) {
    phone->clear();
    address->clear();
    Statement st(db, QStringLiteral("SELECT 联系方式, 地址 FROM customer WHERE 名称 = ? LIMIT 2"));
    int found = 0;
    if (st.Bind({name}))
        while (st.Next())
            if (++found == 1) {
                *phone = st.Text(0);
                *address = st.Text(1);
            }
    if (st.Failed() || !st.Ok()) {
        *error = st.Error().isEmpty() ? db.GetErrorDescription() : st.Error();
        phone->clear();
        address->clear();
        return false;
    }
    if (found != 1) {
        phone->clear();
        address->clear();
    }
    return true;
}

LedgerResult RecordPayment(DbConnection& db, const PaymentInput& payment) {
    LedgerResult result;
    const double amount = StoredNumber(payment.金额);
    if (!IsGreater(amount, 0)) {
        result.outcome = LedgerResult::NegativeAmount;
        return result;
    }
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    QVariantList customer;
    if (!ReadRow(db, QStringLiteral("SELECT ID FROM customer WHERE ID=?"), {payment.customerId},
                 &customer, &result))
        return result;
    qint64 openFen = 0;
    if (!ReadOpenDebt(db, payment.customerId, &openFen, &result.error)) {
        result.outcome = LedgerResult::StoreFailed;
        return result;
    }
    const double open = static_cast<double>(openFen) / 100;
    if (IsGreater(amount, open)) {
        result.outcome = LedgerResult::OverPayment;
        result.figure = open;
        return result;
    }
    const QList<FieldValue> fields = {
        {u"客户ID", payment.customerId, u"062"},
        {u"日期", payment.日期, u"061"},
        {u"金额", amount, u"062"},
        {u"方式", payment.方式, u"063"},
        {u"备注", payment.备注, u"064"},
        {u"操作员", payment.user.left(50), u"065"},
        {u"收银台", payment.tillName.left(50), u"065"},
        {u"录入时间", CurrentDateTime(), u"065"},
    };
    if (!InsertRow(db, QStringLiteral("payment"), fields, &result)) return result;
    const qint64 paymentId = result.id;
    if (!Settle(db, paymentId, payment.customerId, amount, &result)) return result;
    result.id = paymentId;
    return Finish(db, transaction, result);
}

bool ResettlePayments(DbConnection& db, qint64 saleId, LedgerResult* result) {
    struct Part {
        qint64 id;
        qint64 paymentId;
        qint64 customerId;
        double amount;
    };
    QList<Part> parts;
    bool stored = false;  // the sale is still stored
    qint64 owner = 0;     // its customer
    double debt = 0;
    {
        // What was paid last is given back first.
        Statement st(db, QStringLiteral("SELECT p.ID, p.收款ID, y.客户ID, p.金额, s.ID, s.客户ID, "
                                        "s.欠款额 FROM payment_part p "
                                        "JOIN payment y ON y.ID = p.收款ID "
                                        "LEFT JOIN sell s ON s.ID = p.销售ID WHERE p.销售ID=? "
                                        "ORDER BY y.日期 DESC, y.ID DESC"));
        st.Bind({saleId});
        while (st.Next()) {
            parts.append({st.Int64(0), st.Int64(1), st.Int64(2), st.Double(3)});
            stored = !st.IsNull(4);
            owner = st.Int64(5);
            debt = st.Double(6);
        }
        if (st.Failed()) {
            result->outcome = LedgerResult::StoreFailed;
            result->error = st.Error();
            return false;
        }
    }
    // A debt below 0 is what the sale's own customer's payments took beyond the sale.
    double over = stored && IsGreater(0, debt) ? -debt : 0;
    bool raised = false;
    for (const Part& p : parts) {
        double back = p.amount;
        if (stored && p.customerId == owner) {
            back = IsGreater(p.amount, over) ? over : p.amount;
            over = StoredNumber(over - back);
            debt = StoredNumber(debt + back);
            raised = raised || !IsZero(back);
        }
        if (IsZero(back)) continue;
        const bool whole = back == p.amount;
        if (!ChangeRows(
                db,
                whole ? QStringLiteral("DELETE FROM payment_part WHERE ID=?")
                      : QStringLiteral("UPDATE payment_part SET 金额=? WHERE ID=?"),
                whole ? QVariantList{p.id} : QVariantList{StoredNumber(p.amount - back), p.id},
                result) ||
            !Settle(db, p.paymentId, p.customerId, back, result))
            return false;
    }
    return !raised || ChangeRows(db, QStringLiteral("UPDATE sell SET 欠款额=? WHERE ID=?"),
                                 {IsZero(debt) ? 0.0 : debt, saleId}, result);
}

LedgerResult DeletePayment(DbConnection& db, qint64 paymentId) {
    LedgerResult result;
    result.id = paymentId;
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    QVariantList payment;
    if (!ReadRow(db, QStringLiteral("SELECT ID FROM payment WHERE ID=?"), {paymentId}, &payment,
                 &result))
        return result;
    // Each sale gets back its part on top of the debt stored now, so that a correction of the
    // debt made after the payment stays. A sale deleted since has nothing to get back.
    QList<OpenSale> restored;
    {
        Statement st(db, ForChange(db, QStringLiteral("SELECT s.ID, s.欠款额 + p.金额 FROM "
                                                      "payment_part p JOIN sell s ON s.ID = "
                                                      "p.销售ID WHERE p.收款ID=?")));
        st.Bind({paymentId});
        while (st.Next()) restored.append({st.Int64(0), StoredNumber(st.Double(1))});
        if (st.Failed()) {
            result.outcome = LedgerResult::StoreFailed;
            result.error = st.Error();
            return result;
        }
    }
    for (const OpenSale& s : restored)
        if (!ChangeRows(db, QStringLiteral("UPDATE sell SET 欠款额=? WHERE ID=?"), {s.debt, s.id},
                        &result))
            return result;
    if (!db.Execute(QStringLiteral("DELETE FROM payment_part WHERE 收款ID=?"), {paymentId}) ||
        !ChangeRows(db, QStringLiteral("DELETE FROM payment WHERE ID=?"), {paymentId}, &result))
        return StoreFailure(db, &result), result;
    return Finish(db, transaction, result);
}

bool ReadCustomerDebts(DbConnection& db, const QString& filter, QList<CustomerDebt>* debts,
                       QString* error) {
    debts->clear();
    // The sums come from the partial index of open debts alone; the customers are joined to
    // the few rows that result.
    QString sql = QStringLiteral(
                      "SELECT c.ID, c.编号, c.名称, c.联系方式, c.地址, d.debt - %1, "
                      "d.n FROM (SELECT 客户ID, %2 AS debt, count(*) AS n FROM sell "
                      "WHERE 欠款额>0 GROUP BY 客户ID) d JOIN customer c ON c.ID = "
                      "d.客户ID")
                      .arg(CreditFen(QStringLiteral("c.ID")), FenSum(QStringLiteral("欠款额")));
    QVariantList values;
    if (!filter.isEmpty()) {
        sql += QStringLiteral(" WHERE instr(c.名称, ?1) > 0 OR instr(c.联系方式, ?1) > 0");
        values << filter;
    }
    sql += QStringLiteral(" ORDER BY c.名称, c.ID");
    Statement st(db, sql);
    st.Bind(values);
    while (st.Next()) {
        CustomerDebt d;
        d.customer.id = st.Int64(0);
        d.customer.编号 = st.Text(1);
        d.customer.名称 = st.Text(2);
        d.customer.联系方式 = st.Text(3);
        d.customer.地址 = st.Text(4);
        d.debtFen = st.Int64(5);
        d.sales = static_cast<int>(st.Int64(6));
        if (d.debtFen > 0) debts->append(d);
    }
    if (st.Failed()) {
        *error = st.Error();
        return false;
    }
    return true;
}

bool ReadCustomer(DbConnection& db, qint64 id, Customer* customer, QString* error) {
    Statement st(db,
                 QStringLiteral("SELECT ID, 编号, 名称, 联系方式, 地址 FROM customer WHERE ID=?"));
    st.Bind({id});
    if (!st.Next()) {
        *error = st.Failed() ? st.Error() : QStringLiteral("找不到这个客户");
        return false;
    }
    customer->id = id;
    customer->编号 = st.Text(1);
    customer->名称 = st.Text(2);
    customer->联系方式 = st.Text(3);
    customer->地址 = st.Text(4);
    return true;
}

bool ReadOpenDebt(DbConnection& db, qint64 customerId, qint64* debtFen, QString* error) {
    Statement st(db, QStringLiteral("SELECT (SELECT %1 FROM sell WHERE 客户ID=? AND 欠款额>0) - %2")
                         .arg(FenSum(QStringLiteral("欠款额")), CreditFen(QStringLiteral("?"))));
    if (!st.Bind({customerId, customerId}) || !st.Next()) {
        *error = st.Error().isEmpty() ? db.GetErrorDescription() : st.Error();
        return false;
    }
    *debtFen = st.Int64(0);
    return true;
}

bool ReadStatement(DbConnection& db, qint64 customerId, QList<StatementLine>* lines,
                   QString* error) {
    lines->clear();
    {
        // A sale's debt when it was made: what it owes now and what this customer's payments
        // took off it (another customer's payments on it are that customer's).
        Statement st(db, QStringLiteral("SELECT ID, 销售日期, 名称, 型号, 销售数量, %1, %2 + "
                                        "(SELECT %3 FROM payment_part p JOIN payment y ON y.ID "
                                        "= p.收款ID WHERE p.销售ID = sell.ID AND y.客户ID = "
                                        "sell.客户ID), 备注 FROM sell WHERE 客户ID=?")
                             .arg(Fen(QStringLiteral("销售金额")), Fen(QStringLiteral("欠款额")),
                                  FenSum(QStringLiteral("p.金额"))));
        st.Bind({customerId});
        while (st.Next()) {
            StatementLine line;
            line.id = st.Int64(0);
            line.date = st.Text(1);
            line.item = st.Text(2);
            const QString model = st.Text(3);
            if (!model.isEmpty()) line.item += QLatin1Char(' ') + model;
            line.quantity = st.Double(4);
            line.amountFen = st.Int64(5);
            line.debtFen = st.Int64(6);
            line.remark = st.Text(7);
            lines->append(line);
        }
        if (st.Failed()) {
            *error = st.Error();
            return false;
        }
    }
    {
        Statement st(db,
                     QStringLiteral("SELECT ID, 日期, %1, 方式, 备注 FROM payment WHERE 客户ID=?")
                         .arg(Fen(QStringLiteral("金额"))));
        st.Bind({customerId});
        while (st.Next()) {
            StatementLine line;
            line.isPayment = true;
            line.id = st.Int64(0);
            line.date = st.Text(1);
            line.paidFen = st.Int64(2);
            line.item = QStringLiteral("收款");
            const QString method = st.Text(3);
            if (!method.isEmpty()) line.item += QStringLiteral("（%1）").arg(method);
            line.remark = st.Text(4);
            lines->append(line);
        }
        if (st.Failed()) {
            *error = st.Error();
            return false;
        }
    }
    // Stored dates sort as text; on one day the sales come before the payments for them.
    std::stable_sort(lines->begin(), lines->end(),
                     [](const StatementLine& a, const StatementLine& b) {
                         if (a.date.left(10) != b.date.left(10)) return a.date < b.date;
                         if (a.isPayment != b.isPayment) return !a.isPayment;
                         if (a.date != b.date) return a.date < b.date;
                         return a.id < b.id;
                     });
    qint64 balance = 0;
    for (StatementLine& line : *lines) {
        // Credits (negative debts) are not owed, as the debt list has it.
        balance += line.isPayment ? -line.paidFen : std::max<qint64>(line.debtFen, 0);
        line.balanceFen = balance;
    }
    return true;
}

}  // namespace ledger
