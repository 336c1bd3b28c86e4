#pragma once
// What a change of the books came to. The window turns it into its own message; nothing in
// the ledger shows anything.

#include <QString>
#include <QVariant>

struct LedgerResult {
    enum Outcome {
        Done,
        FieldRefused,    // a value its column cannot hold; fieldCode names the field
        ZeroQuantity,    // a sale of nothing
        NotEnoughStock,  // the stored stock is below the quantity sold
        NegativeAmount,  // a bank amount typed with a minus sign, a payment of nothing
        OverPayment,     // a payment above the customer's open debt; figure holds that debt
        RecordGone,      // the row the change is for is not stored (any more)
        RecordChanged,   // another till changed what the window edits since it opened
        StocktakeOpen,   // a stocktake is open already; id is that one
        AlreadyBooked,   // the stocktake was booked; it is not changed again
        StoreFailed,     // a statement failed; error holds SQLite's text
        ServerNeeded,    // a change other than a sale while the till works without its server
    };

    Outcome outcome = StoreFailed;
    QString fieldCode;  // "[071]", as the windows show it after "错误代码 "
    QString fieldName;  // the refused field's column and the value it was given
    QVariant fieldValue;
    bool fieldIsNumber = false;
    QString error;
    qint64 id = 0;               // the row added, changed or deleted
    qint64 goodsId = 0;          // the goods row whose figures changed, 0 for none
    qint64 saleId = 0;           // the sales row added, changed or deleted, 0 for none
    double figure = 0;           // the stored figure a refusal was measured against
    double shortfall = 0;        // what the stock lacked for a sale made while offline
    bool alreadyBooked = false;  // a till's sale that was booked before

    bool IsDone() const { return outcome == Done; }
};

// "错误代码 [096]", followed by what is wrong in words when the user's input is the cause
// (数量不能为空): shop keepers cannot read codes.
QString RefusedFieldText(const LedgerResult& result);

// The words for ServerNeeded: what the till cannot do until its server is back.
QString ServerNeededText();
// A window's words for a change that was not made: failed, or why the till cannot make it now.
QString FailureText(const LedgerResult& result, const QString& failed);

// The words for RecordChanged, of a record named as "这件商品": the window's change was not
// stored, and a window opened again shows what is stored now.
QString RecordChangedText(const QString& record);
