#pragma once
// The shifts of the users at the tills: what each booked from the start of its shift, the cash
// expected in the drawer, the handover that stores it; and the same figures of one day.

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include "ledger/list_read.h"
#include "ledger/result.h"

class DbConnection;

namespace ledger {

// The ways a sale, payment or income or expense entry is paid, in the order the boxes list them;
// the first is what an empty or older row was paid in.
const QStringList& PayMethods();
// method trimmed, or 现金 when empty.
QString PayMethodOrCash(const QString& method);

// The bookings of one user at one till in a time range, in whole fen (goods in thousandths).
struct ShiftFigures {
    QString tillName;
    QString user;
    qint64 sales = 0;
    qint64 goodsMilli = 0;
    qint64 chargedFen = 0;
    qint64 debtFen = 0;
    qint64 profitFen = 0;  // for the super administrator's close of the day only
    qint64 payments = 0;
    qint64 paymentsFen = 0;
    qint64 incomeFen = 0;
    qint64 expenseFen = 0;
    // Of the sales booked in the range: those deleted since, with what they charged, and those
    // whose debt was modified since.
    qint64 deletedSales = 0;
    qint64 deletedFen = 0;
    qint64 modifiedSales = 0;
    // Per PayMethods(): what came in at the counter (sales less their debt, payments, income)
    // less the expenses paid out, in that method; a method not listed counts as the last.
    QList<qint64> byMethodFen;
    qint64 CashFen() const { return byMethodFen.value(0); }
};

struct Shift {
    qint64 id = 0;
    QString tillName;
    QString user;
    QDateTime start;
    QDateTime end;  // invalid while the shift is open
    qint64 floatFen = 0;
    qint64 countedFen = 0;  // the cash counted at the handover
    ShiftFigures figures;   // from start to end, or to now while open
    qint64 ExpectedCashFen() const { return floatFen + figures.CashFen(); }
    qint64 DifferenceFen() const { return countedFen - ExpectedCashFen(); }
};

// The open shift of user at till, started now with the opening float when there is none: a
// user who logs in again before handing over goes on with the shift. result.id is the shift's.
LedgerResult StartShift(DbConnection& db, const QString& tillName, const QString& user,
                        double openingFloat);

// The open shift of user at till: *shiftId 0 when there is none. False with error set when it
// cannot be read.
bool FindOpenShift(DbConnection& db, const QString& tillName, const QString& user, qint64* shiftId,
                   QString* error);

// Shift id with its figures: a closed shift as stored at its handover, an open one from its
// start to now. False with error set when it cannot be read or is not stored.
bool ReadShift(DbConnection& db, qint64 shiftId, Shift* shift, QString* error);

// Hands shift id over with the cash counted: its figures from its start to now, the cash
// expected and the difference are stored and the shift is closed, in one transaction. RecordGone
// when the shift is not stored, RecordChanged when it was handed over already. *handedOver is
// the shift as stored.
LedgerResult HandOverShift(DbConnection& db, qint64 shiftId, double cashCounted, Shift* handedOver);

// The close of a day: the figures of every till and user that booked on day, ordered by till
// and user, and the shifts handed over that day.
bool ReadDayFigures(DbConnection& db, const QDate& day, QList<ShiftFigures>* figures,
                    QList<Shift>* shifts, QString* error);

// The shifts handed over, as the list of past shifts shows them.
enum ShiftColumn {
    kShiftId,
    kShiftTill,
    kShiftUser,
    kShiftStart,
    kShiftEnd,
    kShiftSales,
    kShiftCharged,
    kShiftDebt,
    kShiftPayments,
    kShiftIncome,
    kShiftExpense,
    kShiftFirstMethod,  // then one column per PayMethods()
    kShiftFloat = kShiftFirstMethod + 5,
    kShiftExpected,
    kShiftCounted,
    kShiftDifference,
    kShiftColumnCount
};
ListSpec HandedOverShiftsSpec(bool costs);
// Handed over from day from to day to, both included; at till and by user where not empty.
ListCondition HandedOverShifts(const QDate& from, const QDate& to, const QString& tillName,
                               const QString& user);

}  // namespace ledger
