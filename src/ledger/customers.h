#pragma once
// Customer accounts: the customer a sale belongs to, payments that settle a customer's open
// sale debts oldest first, and what the debt list and a customer's statement show.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include "ledger/result.h"

class DbConnection;

namespace ledger {

// Inside the caller's write transaction: the customer of a sale to name with phone. A blank
// name is nobody (*id = 0). The customer of that exact name and phone is found; without a
// phone, the only customer of that name; with a phone new to the name, its customer without
// a phone takes the phone. Otherwise a customer is added. A text longer than its column
// links to nobody (the sales row refuses it).
bool CustomerForSale(DbConnection& db, const QString& name, const QString& phone,
                     const QString& address, qint64* id, LedgerResult* result);

// The pick lists of a sale's customer boxes: every customer's name once, in order, and the
// address of each of those names in the same order; empty ones left out.
bool ReadCustomerNames(DbConnection& db, QStringList* names, QString* error);
bool ReadCustomerAddresses(DbConnection& db, QStringList* addresses, QString* error);
// The phone and address of the only customer of that name; both empty when there is none, or
// namesakes told apart by their phones.
bool ReadCustomerContact(DbConnection& db, const QString& name, QString* phone, QString* address,
                         QString* error);

// Inside the caller's write transaction, after sale saleId was deleted, moved to another customer
// or given a debt below 0: a payment settles only what the sale owes its own customer. The rest
// of what the payment took off the sale (the whole part of a sale deleted or moved away; of a
// debt below 0, as much as brings it to 0) goes to that customer's other open sales, oldest
// first as a payment settles them; what none of them owes stays the customer's credit.
bool ResettlePayments(DbConnection& db, qint64 saleId, LedgerResult* result);

struct PaymentInput {
    qint64 customerId = 0;
    QDateTime 日期;
    double 金额 = 0;
    QString 方式;  // 现金, 微信, 支付宝, 银行 ...
    QString 备注;
    QString user;      // who took the payment
    QString tillName;  // and at which till
};

// Records a payment and takes it off the customer's open sale debts, oldest sale first, no
// debt below 0: NegativeAmount for an amount of 0 or less, RecordGone for a customer not
// stored, OverPayment (figure = the open debt less the credit, exact to the fen) for more than
// the customer owes.
// Refused fields: "[061]" date, "[062]" amount, "[063]" method, "[064]" remark, "[065]" user
// or till.
LedgerResult RecordPayment(DbConnection& db, const PaymentInput& payment);

// Deletes a payment and gives back to each sale exactly what the payment took off it; what it
// left as credit goes with it.
LedgerResult DeletePayment(DbConnection& db, qint64 paymentId);

struct Customer {
    qint64 id = 0;
    QString 编号;
    QString 名称;
    QString 联系方式;
    QString 地址;
};

// The figures of the customer accounts are whole fen, summed as such by the store: a sum of
// thousands of sales carries no binary fraction.
struct CustomerDebt {
    Customer customer;
    qint64 debtFen = 0;  // the sum of its sales' positive debts less its credit
    int sales = 0;       // how many sales carry them
};

// Every customer who owes something, by name; filter (when not empty) keeps those whose name
// or phone contains it as typed.
bool ReadCustomerDebts(DbConnection& db, const QString& filter, QList<CustomerDebt>* debts,
                       QString* error);

bool ReadCustomer(DbConnection& db, qint64 id, Customer* customer, QString* error);

// What the customer owes now: the sum of its sales' positive debts less its credit; below 0
// when the credit is more.
bool ReadOpenDebt(DbConnection& db, qint64 customerId, qint64* debtFen, QString* error);

struct StatementLine {
    bool isPayment = false;
    qint64 id = 0;  // the sale's or the payment's ID
    QString date;   // as stored: "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS"
    QString item;   // goods name and model, or the payment's method
    double quantity = 0;
    qint64 amountFen = 0;   // the sale's amount
    qint64 debtFen = 0;     // what the sale left owing when it was made
    qint64 paidFen = 0;     // the payment's amount
    qint64 balanceFen = 0;  // owed after this line
    QString remark;
};

// The customer's sales and payments in date order with the running balance.
bool ReadStatement(DbConnection& db, qint64 customerId, QList<StatementLine>* lines,
                   QString* error);

}  // namespace ledger
