#pragma once
// Every copy of the program on one ledger sees what the others change. Triggers note each
// row added, changed or deleted in the listed tables in change_log, in the same transaction
// as the change; a copy reads what came after the last entry it saw when the ledger tells it
// another connection committed.

#include <QList>
#include <QString>

class DbConnection;

// The log and its triggers; every statement may run again over a file that has them. The log
// keeps the last kChangesKept entries: a copy that fell further behind refills its lists.
QString ChangeLogText();
// The same log and triggers on a database server.
QString ServerChangeLogText();
// The server's trigger function that notes a change (part of ServerChangeLogText), as the
// version 4 upgrade puts it in place of an earlier one.
QString ServerLogChangeFunctionText();
// The server's trigger function that trims the log (part of ServerChangeLogText), put in place
// again at each open by the owner of the books.
QString ServerTrimFunctionText();
constexpr int kChangesKept = 10000;

struct RowChange {
    QString table;  // "buy", "sell", "other", "bank", "customer" or "payment"
    qint64 id = 0;
};

// The changes noted after entry `after`, oldest first, at most `limit` of them.
struct ChangesRead {
    bool ok = false;
    // False when entries after `after` were already dropped from the log, or there are more
    // than limit: the reader cannot follow row by row and refills.
    bool complete = true;
    qint64 last = 0;  // the last entry read (or `after` when there was none)
    QList<RowChange> changes;
};
ChangesRead ReadChanges(DbConnection& db, qint64 after, int limit);

// The number of the newest entry in the log, 0 when it is empty; -1 when it cannot be read.
qint64 LastChange(DbConnection& db);

// A number that differs from the one read before once another connection committed a change.
// -1 when it cannot be read.
qint64 DataVersion(DbConnection& db);

// On a server: listens for the notice every committed change of the books sends, and returns
// the connection's socket, which becomes readable when one arrives; -1 for a file or when
// the server would not listen.
int ListenForChanges(DbConnection& db);
// The socket the notices come on now: it changes when a lost connection is made again.
int ChangeSocket(DbConnection& db);
// Takes the notices that arrived (also those that came with other answers); true when there
// was at least one.
bool TakeChangeNotices(DbConnection& db);
