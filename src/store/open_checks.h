#pragma once
// What a database file must pass before this program writes it. Reading every page of a large
// ledger at each start would make the start grow with the file, so an opening reads only the
// header and the first page of each table and index; the full check of every page runs, on a
// connection and thread of its own, when a copy of the program ended with the file open (a
// crash, a power cut, a kill), which the open marker tells.

#include <QString>
#include <QStringList>
#include <atomic>

struct sqlite3;

// Empty when the file's header and the first page of each table and index are as SQLite
// writes them, else what is wrong. Reads a few pages, whatever the size of the file.
QString StructureProblem(sqlite3* db);

// Empty when SQLite's quick check of every page passes, else its first finding.
QString FullCheckProblem(sqlite3* db);

// The quick check of every page of the database file at path on a read-only connection of
// its own, for a worker thread. When the pages are sound the markers (DbConnection::
// FullCheckDue) are cleared. Empty unless it found damage: a check that stop ended or that
// could not read the file leaves the markers, and the next opening checks again.
QString CheckEveryPage(const QString& path, const QStringList& markers,
                       const std::atomic<bool>* stop);

// A hidden file beside the database, held locked while one connection has the database open
// and removed when that connection closes. A marker found unlocked was left by a connection
// that never closed.
class OpenMarker {
  public:
    // Creates this connection's marker; in a folder that cannot be written there is none,
    // and nothing can be written to the database there either.
    explicit OpenMarker(const QString& databasePath);
    ~OpenMarker();
    OpenMarker(const OpenMarker&) = delete;
    OpenMarker& operator=(const OpenMarker&) = delete;

    // Markers of the database left by connections that ended without closing it.
    QStringList LeftBehind() const;
    // Removes those of markers that are still left behind: the file passed its full check.
    static void Clear(const QStringList& markers);

  private:
    QString databasePath_;
    QString path_;  // empty without a marker
    int fd_ = -1;
};
