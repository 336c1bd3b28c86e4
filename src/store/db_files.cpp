#include "store/db_files.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <filesystem>
#include <system_error>

#include "common/date_text.h"
#include "store/db_connection.h"
#include "store/migrate.h"
#include "store/server_session.h"
#include "store/statement.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <io.h>
#endif

namespace {

const QString kDailyPrefix = QStringLiteral("自动备份_");
const QString kDamagedPrefix = QStringLiteral("无法打开的数据库_");

bool Fail(QString* error, const QString& text) {
    if (error) *error = text;
    return false;
}

std::filesystem::path FsPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

// Flushes a file (or, on Unix, a folder's entries) to the disk.
bool SyncPath(const QString& path) {
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
#else
    QFile file(path);
    if (QFileInfo(path).isDir()) return true;
    if (!file.open(QIODevice::ReadWrite)) return false;
#ifdef Q_OS_WIN
    return _commit(file.handle()) == 0;
#else
    return file.flush();
#endif
#endif
}

// Renames from over to: afterwards to is either the old file or the new one, never a part.
bool RenameOver(const QString& from, const QString& to, QString* error) {
    std::error_code code;
    std::filesystem::rename(FsPath(from), FsPath(to), code);
    if (code) return Fail(error, QStringLiteral("无法替换文件 ") + to);
    SyncPath(QFileInfo(to).absolutePath());
    return true;
}

// Makes an empty file at path (which must not exist) readable and writable by its owner alone,
// whatever the umask: SQLite then writes the database into it, and gives its journal the same
// mode, instead of creating both readable by everyone.
bool CreatePrivateFile(const QString& path, QString* error) {
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0) return Fail(error, QStringLiteral("无法建立文件 ") + path);
    const bool ok = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0;
    ::close(fd);
    if (!ok) {
        QFile::remove(path);
        return Fail(error, QStringLiteral("无法设置文件权限 ") + path);
    }
    return true;
#else
    QFile file(path);
    if (!file.open(QIODevice::NewOnly)) return Fail(error, QStringLiteral("无法建立文件 ") + path);
    return true;
#endif
}

// Copies the main database of source into a new file at path, synced.
bool BackupInto(sqlite3* source, const QString& path, QString* error) {
    if (!CreatePrivateFile(path, error)) return false;
    sqlite3* target = nullptr;
    const QByteArray file = path.toUtf8();
    int rc = sqlite3_open_v2(file.constData(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                             nullptr);
    QString problem;
    if (rc == SQLITE_OK) {
        sqlite3_exec(target, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
        sqlite3_busy_timeout(target, 15000);
        sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main");
        if (!backup) {
            problem = QString::fromUtf8(sqlite3_errmsg(target));
        } else {
            // Another connection writing meanwhile only delays the copy; the whole copy is
            // taken in one step so that it is one consistent state.
            do {
                rc = sqlite3_backup_step(backup, -1);
                if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) sqlite3_sleep(50);
            } while (rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
            sqlite3_backup_finish(backup);
            if (rc != SQLITE_DONE) problem = QString::fromUtf8(sqlite3_errstr(rc));
        }
    } else {
        problem = QString::fromUtf8(sqlite3_errmsg(target));
    }
    if (sqlite3_close(target) != SQLITE_OK && problem.isEmpty())
        problem = QStringLiteral("无法关闭备份文件");
    if (problem.isEmpty() && !SyncPath(path)) problem = QStringLiteral("无法写入磁盘");
    if (!problem.isEmpty()) {
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
        return Fail(error, problem);
    }
    return true;
}

// Copies source into target by way of a temporary file beside target.
bool BackupToFile(sqlite3* source, const QString& target, QString* error) {
    const QString dir = QFileInfo(target).absolutePath();
    if (target.isEmpty() || QFileInfo(target).isDir() || !QDir(dir).exists())
        return Fail(error, QStringLiteral("备份位置不存在 ") + target);
    const QString temp = TemporaryPathBeside(target);
    if (!BackupInto(source, temp, error)) return false;
    if (!RenameOver(temp, target, error)) {
        QFile::remove(temp);
        return false;
    }
    return true;
}

}  // namespace

QString TemporaryPathBeside(const QString& path) {
    const QFileInfo info(path);
    const QString dir = info.absolutePath();
    QString candidate;
    do {
        candidate = QStringLiteral("%1/.%2.%3.tmp")
                        .arg(dir, info.fileName())
                        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    } while (QFileInfo::exists(candidate));
    return candidate;
}

bool BackupDatabase(DbConnection& connection, const QString& target, QString* error) {
    if (connection.Server()) {
        // The whole books hold the purchase prices and the password hashes, which the server
        // keeps from an ordinary user's login.
        if (!connection.Server()->SeesCosts())
            return Fail(error, QStringLiteral("服务器上的账本只能由超级管理员备份：请用超级管理员"
                                              "账号登录后再备份"));
        // The books on a server are backed up as a ledger file, which opens anywhere.
        const QString dir = QFileInfo(target).absolutePath();
        if (target.isEmpty() || QFileInfo(target).isDir() || !QDir(dir).exists())
            return Fail(error, QStringLiteral("备份位置不存在 ") + target);
        const QString temp = TemporaryPathBeside(target);
        QString problem;
        if (!CopyServerBooksToFile(connection, temp, &problem) || !SyncPath(temp) ||
            !RenameOver(temp, target, &problem)) {
            QFile::remove(temp);
            return Fail(error, problem.isEmpty() ? QStringLiteral("无法写入磁盘") : problem);
        }
        QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        return true;
    }
    if (!connection.IsOpen()) return Fail(error, QStringLiteral("数据库没有打开"));
    if (QFileInfo(target).absoluteFilePath() == QFileInfo(connection.Path()).absoluteFilePath())
        return Fail(error, QStringLiteral("不能备份到数据库文件自身"));
    return BackupToFile(connection.GetHandle(), target, error);
}

bool CopyDatabaseFile(const QString& source, const QString& target, QString* error) {
    if (!QFileInfo(source).isFile()) return Fail(error, QStringLiteral("找不到文件 ") + source);
    sqlite3* db = nullptr;
    const QByteArray file = source.toUtf8();
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const QString text = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return Fail(error, text);
    }
    sqlite3_busy_timeout(db, 15000);
    const bool ok = BackupToFile(db, target, error);
    sqlite3_close(db);
    return ok;
}

bool CheckLedgerFile(const QString& path, QString* error) {
    if (!QFileInfo(path).isFile()) return Fail(error, QStringLiteral("找不到文件 ") + path);
    sqlite3* db = nullptr;
    const QByteArray file = path.toUtf8();
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const QString text = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return Fail(error, text);
    }
    QString problem;
    {
        Statement st(db, QStringLiteral("PRAGMA integrity_check"));
        if (!st.Next()) {
            problem = st.Error();
        } else {
            const QString result = st.Text(0);
            if (result != QLatin1String("ok"))
                problem = QStringLiteral("数据库文件已损坏：") + result;
        }
    }
    if (problem.isEmpty()) problem = SchemaProblem(db);
    sqlite3_close(db);
    if (!problem.isEmpty()) return Fail(error, problem);
    return true;
}

bool UpgradeLedgerFile(const QString& path, QString* error) {
    DbConnection file;
    if (!file.OpenFile(path)) return Fail(error, file.GetErrorDescription());
    file.Close();
    return true;
}

namespace {

// The books on a server are no file: the books of replacement are loaded into it instead.
bool ReplaceServerDatabase(DbConnection& server, const QString& replacement, QString* error) {
    DbConnection file;
    bool ok = file.OpenFile(replacement);
    if (!ok)
        Fail(error, file.GetErrorDescription());
    else
        ok = ReplaceServerBooks(server, file, error);
    file.Close();
    QFile::remove(replacement);
    return ok;
}

}  // namespace

bool ReplaceDatabase(DbConnection& connection, const QString& replacement, QString* error) {
    if (connection.Server()) return ReplaceServerDatabase(connection, replacement, error);
    const QString path = connection.Path();
    if (path.isEmpty()) return Fail(error, QStringLiteral("数据库没有打开"));
    connection.Close();
    QString renameError;
    if (!RenameOver(replacement, path, &renameError)) {
        QFile::remove(replacement);
        connection.OpenFile(path);
        return Fail(error, renameError);
    }
    if (!connection.OpenFile(path)) return Fail(error, connection.GetErrorDescription());
    return true;
}

bool CompactDatabase(DbConnection& connection, QString* error) {
    // A server rewrites its tables in place; ANALYZE brings its plans up to date as well.
    if (connection.Server()) {
        // The server skips, with a mere warning, every table the login does not own.
        Statement owns(connection,
                       QStringLiteral("SELECT CASE WHEN pg_has_role(session_user, relowner, "
                                      "'MEMBER') THEN 1 ELSE 0 END FROM pg_class WHERE oid = "
                                      "'public.buy'::regclass"));
        if (!owns.Next()) return Fail(error, owns.Error());
        if (owns.Int64(0) == 0)
            return Fail(error,
                        QStringLiteral("这个登录不是服务器上账本的所有者，服务器不让它整理数据"
                                       "表：请店主用自己的登录（在连接中写上 user=...）"
                                       "压缩一次"));
        if (connection.Execute(QStringLiteral("VACUUM (ANALYZE)"))) return true;
        return Fail(error, connection.GetErrorDescription());
    }
    const QString path = connection.Path();
    if (!connection.IsOpen()) return Fail(error, QStringLiteral("数据库没有打开"));
    const QString temp = TemporaryPathBeside(path);
    if (!CreatePrivateFile(temp, error)) return false;
    if (!connection.Execute(QStringLiteral("VACUUM INTO ?"), {temp})) {
        QFile::remove(temp);
        return Fail(error, connection.GetErrorDescription());
    }
    if (!SyncPath(temp)) {
        QFile::remove(temp);
        return Fail(error, QStringLiteral("无法写入磁盘"));
    }
    if (!CheckLedgerFile(temp, error)) {
        QFile::remove(temp);
        return false;
    }
    return ReplaceDatabase(connection, temp, error);
}

bool InitialiseDatabase(DbConnection& connection, QString* error) {
    if (connection.Server()) {
        const QTemporaryDir dir;
        const QString empty = dir.filePath(QStringLiteral("data.db"));
        if (!dir.isValid()) return Fail(error, QStringLiteral("无法建立临时文件夹"));
        return CreateDatabaseFile(empty, error) && ReplaceDatabase(connection, empty, error);
    }
    const QString path = connection.Path();
    if (!connection.IsOpen()) return Fail(error, QStringLiteral("数据库没有打开"));
    const QString temp = TemporaryPathBeside(path);
    if (!CreateDatabaseFile(temp, error)) return false;
    return ReplaceDatabase(connection, temp, error);
}

QString BackupFolder(const QString& databasePath) {
    return QFileInfo(databasePath).absolutePath() + QStringLiteral("/备份");
}

namespace {

// Creates the backup folder, readable by its owner only.
bool MakeBackupFolder(const QString& folder, QString* error) {
    if (QFileInfo(folder).isDir()) return true;
    if (!QDir().mkpath(folder)) return Fail(error, QStringLiteral("无法建立文件夹 ") + folder);
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return true;
}

}  // namespace

QString SafetyCopy(DbConnection& connection, const QString& folder, const QString& label,
                   QString* error) {
    if (!MakeBackupFolder(folder, error)) return QString();
    const QString target =
        QStringLiteral("%1/%2_%3.db")
            .arg(folder, label, CurrentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss")));
    if (!BackupDatabase(connection, target, error)) return QString();
    return target;
}

DailyBackup RunDailyBackup(const QString& databasePath, const QDate& today, QString* error,
                           int keep, const QString& server) {
    const QString folder = BackupFolder(databasePath);
    const QString target =
        QStringLiteral("%1/%2%3.db")
            .arg(folder, kDailyPrefix, today.toString(QStringLiteral("yyyyMMdd")));
    if (QFileInfo::exists(target)) return DailyBackup::NotDue;
    if (!MakeBackupFolder(folder, error)) return DailyBackup::Failed;
    if (server.isEmpty()) {
        if (!CopyDatabaseFile(databasePath, target, error)) return DailyBackup::Failed;
    } else {
        // A connection of its own: the copy runs beside the program's work on the books.
        DbConnection books;
        if (!books.OpenServer(server)) {
            Fail(error, books.GetErrorDescription());
            return DailyBackup::Failed;
        }
        // The tills of ordinary users leave the day's copy to the owner's and the super
        // administrators'.
        if (!books.Server()->SeesCosts()) return DailyBackup::NotDue;
        if (!BackupDatabase(books, target, error)) return DailyBackup::Failed;
    }
    // Names carry the date, so their order is the order of the days.
    QStringList copies =
        QDir(folder).entryList({kDailyPrefix + QStringLiteral("*.db")}, QDir::Files, QDir::Name);
    while (copies.size() > keep) QFile::remove(folder + QLatin1Char('/') + copies.takeFirst());
    return DailyBackup::Done;
}

QString NewestSoundBackup(const QString& folder) {
    const QFileInfoList copies =
        QDir(folder).entryInfoList({QStringLiteral("*.db")}, QDir::Files, QDir::Time);
    for (const QFileInfo& copy : copies)
        if (!copy.fileName().startsWith(kDamagedPrefix) &&
            CheckLedgerFile(copy.absoluteFilePath(), nullptr))
            return copy.absoluteFilePath();
    return QString();
}

bool RestoreBackupOver(const QString& databasePath, const QString& backup, QString* kept,
                       QString* error) {
    if (!CheckLedgerFile(backup, error)) return false;
    const QString folder = BackupFolder(databasePath);
    if (!MakeBackupFolder(folder, error)) return false;
    // The replacement is made whole before the file that would not open is moved: a failure
    // up to the last rename leaves everything as it was.
    const QString replacement = TemporaryPathBeside(databasePath);
    if (!CopyDatabaseFile(backup, replacement, error) || !UpgradeLedgerFile(replacement, error)) {
        QFile::remove(replacement);
        return false;
    }
    const QString copy = QStringLiteral("%1/%2%3.db")
                             .arg(folder, kDamagedPrefix,
                                  CurrentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss")));
    if (QFileInfo::exists(databasePath)) {
        const QString temp = TemporaryPathBeside(copy);
        QString problem;
        if (!QFile::copy(databasePath, temp) ||
            !QFile::setPermissions(temp, QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
            !SyncPath(temp) || !RenameOver(temp, copy, &problem)) {
            QFile::remove(temp);
            QFile::remove(replacement);
            return Fail(error, problem.isEmpty() ? QStringLiteral("无法写入备份文件夹 ") + folder
                                                 : problem);
        }
    }
    // A journal left beside the old file would be rolled back into the restored one.
    const QString journal = databasePath + QStringLiteral("-journal");
    if (QFileInfo::exists(journal) &&
        !RenameOver(journal, copy + QStringLiteral("-journal"), error)) {
        QFile::remove(replacement);
        return false;
    }
    if (!RenameOver(replacement, databasePath, error)) {
        QFile::remove(replacement);
        return false;
    }
    if (kept) *kept = QFileInfo::exists(copy) ? copy : QString();
    return true;
}
