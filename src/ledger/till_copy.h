#pragma once
// A till's own copy of what it needs to sell while its server is away: the goods with their
// codes, prices and stock, and the customers, kept current from the server. The copy is a
// data.db file of its own; the sales made on it wait there, each under the number the till gave
// it (till_sale), until they are booked on the server, each exactly once.

#include <QString>
#include <functional>

class DbConnection;

namespace ledger {

// Opens the copy at path on copy, creating it first when there is none. False with *error.
bool OpenTillCopy(DbConnection& copy, const QString& path, QString* error);

// Brings the copy's goods and customers up to what the server holds: the rows the server's
// change log names since the last time, or both tables whole the first time and whenever the
// copy fell behind the log. While sales wait on the copy it is left as it is: they go to the
// server first (SendWaitingSales), whose stock then holds them. False with *error.
bool RefreshTillCopy(DbConnection& server, DbConnection& copy, QString* error);

// The copy holds what the server held at some moment: it was brought up to date once at least.
bool TillCopyReady(DbConnection& copy);

// The sales made on the copy that wait for the server; -1 when the copy cannot be read.
qint64 CountWaitingSales(DbConnection& copy);

struct SentSales {
    int sent = 0;      // booked on the server now
    int before = 0;    // the server had booked already (a send cut off after its commit)
    int oversold = 0;  // booked beyond the server's stock
    int refused = 0;   // the server would not book them (a field it refuses, say): still waiting
    QString refusal;   // why the first of those was refused
};

// Books every waiting sale on the server, oldest first, each in one server transaction under
// its number, so that a sale the server booked before is not booked again, and takes it off the
// copy once the server has it. A sale the server's stock no longer covers is booked all the
// same, its shortfall noted (the goods have left the shop). step is asked before each sale and
// may stop the sending. False with *error when the server or the copy failed; what was sent
// before stays sent.
bool SendWaitingSales(DbConnection& copy, DbConnection& server, SentSales* sent, QString* error,
                      const std::function<bool()>& step = {});

// A new number for a sale made at a till: unique across every till of the shop.
QString NewTillSaleId();

}  // namespace ledger
