#pragma once
// Whole-file work on the ledger: copies, checks, compaction, replacement and the daily
// backup. Nothing here shows a message; each operation returns false and puts the reason
// into *error. A file that is replaced is replaced whole by a synced new file, or kept as it
// was.

#include <QDate>
#include <QString>

class DbConnection;

// Copies the database open on connection into target with SQLite's online backup, so that
// the copy is a consistent state even while another connection is writing. The copy is
// written beside target under a temporary name, synced, made readable by its owner only and
// then renamed over target.
bool BackupDatabase(DbConnection& connection, const QString& target, QString* error);
// The same for a database file that is not open here.
bool CopyDatabaseFile(const QString& source, const QString& target, QString* error);

// True when path is an SQLite file with every table and column of the program that passes
// PRAGMA integrity_check. The file is only read.
bool CheckLedgerFile(const QString& path, QString* error);

// Brings a checked ledger file of an earlier version up to the current schema in place, so
// that it opens at once when it replaces the database.
bool UpgradeLedgerFile(const QString& path, QString* error);

// A name for a temporary file in the folder of path that does not exist yet.
QString TemporaryPathBeside(const QString& path);

// Rewrites the open database compactly into a temporary file beside it, checks that file,
// then closes the connection, renames the file over the database and reopens it. The
// database file exists at every moment; on failure the old one is open again. On a server,
// VACUUM and ANALYZE its tables.
bool CompactDatabase(DbConnection& connection, QString* error);
// Closes the connection, renames replacement (a checked file in the same folder) over the
// database file and reopens it. When the rename fails the old database is reopened and
// replacement removed. On a server, the books of replacement take the place of the server's
// in one transaction (see ReplaceServerBooks), and replacement is removed.
bool ReplaceDatabase(DbConnection& connection, const QString& replacement, QString* error);
// Puts an empty ledger with its one user row in place of the open database (on a server too).
bool InitialiseDatabase(DbConnection& connection, QString* error);

// The folder of automatic and safety copies beside a database file: its folder + "/备份".
QString BackupFolder(const QString& databasePath);
// Copies the open database into folder (made when missing) as label + "_yyyyMMdd_HHmmss.db"
// (the current time); returns the copy's path, or "" on failure.
QString SafetyCopy(DbConnection& connection, const QString& folder, const QString& label,
                   QString* error);

// The automatic backup: at most one copy a day, "自动备份_yyyyMMdd.db" in the backup folder,
// the newest keep copies kept and older automatic copies removed. With a server's connection
// string, the copy is of the books on that server, in the same folder beside databasePath.
enum class DailyBackup { NotDue, Done, Failed };
DailyBackup RunDailyBackup(const QString& databasePath, const QDate& today, QString* error,
                           int keep = 10, const QString& server = QString());

// The newest copy in folder (by its time of change) that passes CheckLedgerFile; "" when
// there is none.
QString NewestSoundBackup(const QString& folder);
// Puts backup, checked and brought up to the current schema, in place of the database file at
// databasePath, which is not open. The old file is first copied byte for byte into the backup
// folder as "无法打开的数据库_yyyyMMdd_HHmmss.db" (its path in *kept, "" when there was no
// file); on failure the database file is as it was.
bool RestoreBackupOver(const QString& databasePath, const QString& backup, QString* kept,
                       QString* error);
