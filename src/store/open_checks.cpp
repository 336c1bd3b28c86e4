#include "store/open_checks.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>

#include "store/statement.h"

namespace {

quint32 Get4(const unsigned char* p) {
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
}
quint32 Get2(const unsigned char* p) {
    return (quint32(p[0]) << 8) | quint32(p[1]);
}

QString Damaged(const QString& finding) {
    return QStringLiteral("数据库文件已损坏：") + finding;
}

// The b-tree page types of SQLite's file format: interior and leaf pages of indexes and tables.
constexpr unsigned char kInteriorIndex = 2, kInteriorTable = 5, kLeafIndex = 10, kLeafTable = 13;

// The header of one root page, which SQLite reads before any row of its table or index.
QString RootPageProblem(sqlite3_file* file, quint32 root, quint32 pageSize, quint32 usable,
                        quint32 pages) {
    if (root < 1 || root > pages) return Damaged(QStringLiteral("第 %1 页超出文件").arg(root));
    const quint32 start = root == 1 ? 100 : 0;  // page 1 begins with the file header
    unsigned char b[12] = {};
    if (file->pMethods->xRead(file, b, sizeof b, qint64(root - 1) * pageSize + start) != SQLITE_OK)
        return Damaged(QStringLiteral("第 %1 页读不出").arg(root));
    const unsigned char type = b[0];
    if (type != kInteriorIndex && type != kInteriorTable && type != kLeafIndex &&
        type != kLeafTable)
        return Damaged(QStringLiteral("第 %1 页不是数据页").arg(root));
    const bool interior = type == kInteriorIndex || type == kInteriorTable;
    const quint32 pointersEnd = start + (interior ? 12 : 8) + 2 * Get2(b + 3);
    const quint32 contentStart = Get2(b + 5) == 0 ? 65536 : Get2(b + 5);
    const quint32 freeBlock = Get2(b + 1);
    const bool sound =
        pointersEnd <= contentStart && contentStart <= usable && b[7] <= 60 &&
        (freeBlock == 0 || (freeBlock >= pointersEnd && freeBlock + 4 <= usable)) &&
        (!interior || (Get4(b + 8) >= 2 && Get4(b + 8) <= pages && Get4(b + 8) != root));
    return sound ? QString() : Damaged(QStringLiteral("第 %1 页的页头不对").arg(root));
}

// Reads the header and the root pages through SQLite's own handle of the file: opening the
// file a second time and closing it would drop the locks SQLite holds on it.
QString RawStructureProblem(sqlite3* db, const QList<quint32>& roots) {
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods)
        return FullCheckProblem(db);
    sqlite3_int64 size = 0;
    unsigned char h[100] = {};
    if (file->pMethods->xFileSize(file, &size) != SQLITE_OK ||
        file->pMethods->xRead(file, h, sizeof h, 0) != SQLITE_OK)
        return Damaged(QStringLiteral("文件头读不出"));
    // In write-ahead mode the newest pages may still lie in the log beside the file, where
    // only SQLite's own reading finds them.
    if (h[18] == 2 || h[19] == 2) return FullCheckProblem(db);
    const quint32 pageSize = Get2(h + 16) == 1 ? 65536 : Get2(h + 16);
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0 || h[20] > pageSize - 480)
        return Damaged(QStringLiteral("页大小不对"));
    const quint32 usable = pageSize - h[20];
    const auto filePages = quint32(size / pageSize);
    // The page count of the header holds only when the writer that set it kept the
    // version number beside it.
    const bool countValid = Get4(h + 28) != 0 && std::memcmp(h + 24, h + 92, 4) == 0;
    if (countValid && Get4(h + 28) > filePages) return Damaged(QStringLiteral("文件不完整"));
    const quint32 pages = countValid ? Get4(h + 28) : filePages;
    const quint32 freeTrunk = Get4(h + 32), freeCount = Get4(h + 36);
    if (freeTrunk > pages || freeCount >= pages || (freeTrunk == 0 && freeCount != 0))
        return Damaged(QStringLiteral("空闲页记录不对"));
    for (const quint32 root : roots) {
        const QString problem = RootPageProblem(file, root, pageSize, usable, pages);
        if (!problem.isEmpty()) return problem;
    }
    return QString();
}

QString StructureInTransaction(sqlite3* db) {
    QList<quint32> roots;
    Statement st(db, QStringLiteral("SELECT rootpage FROM sqlite_master WHERE rootpage > 0"));
    while (st.Next()) roots.append(quint32(st.Int64(0)));
    if (st.Failed()) return st.Error();
    roots.append(1);  // sqlite_master itself
    return RawStructureProblem(db, roots);
}

QByteArray Encoded(const QString& path) {
    return QFile::encodeName(path);
}

// True when no connection holds the marker open on fd: it was left behind. The lock, when
// taken, stays until fd is closed.
bool TakeLeftBehind(int fd) {
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

}  // namespace

QString StructureProblem(sqlite3* db) {
    // A read transaction: no other connection writes the file while its pages are read, and
    // a journal left by a crash has been rolled back before the first of them.
    if (sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(db));
    const QString problem = StructureInTransaction(db);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    return problem;
}

QString FullCheckProblem(sqlite3* db) {
    Statement st(db, QStringLiteral("PRAGMA quick_check"));
    if (!st.Next()) return st.Error();
    const QString result = st.Text(0);
    return result == QLatin1String("ok") ? QString() : Damaged(result);
}

QString CheckEveryPage(const QString& path, const QStringList& markers,
                       const std::atomic<bool>* stop) {
    sqlite3* db = nullptr;
    const QByteArray file = path.toUtf8();
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        return QString();
    }
    // The program's own writes wait for the check as for another till, never the other way.
    sqlite3_busy_timeout(db, 15000);
    sqlite3_progress_handler(
        db, 10000,
        [](void* flag) { return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0; },
        const_cast<std::atomic<bool>*>(stop));
    bool ran = false;
    int code = SQLITE_OK;
    QString finding;
    {
        Statement st(db, QStringLiteral("PRAGMA quick_check"));
        ran = st.Next();
        code = sqlite3_errcode(db);
        finding = ran ? st.Text(0) : st.Error();
    }
    sqlite3_close_v2(db);
    if (ran && finding == QLatin1String("ok")) {
        OpenMarker::Clear(markers);
        return QString();
    }
    if (ran || code == SQLITE_CORRUPT || code == SQLITE_NOTADB) return Damaged(finding);
    return QString();
}

OpenMarker::OpenMarker(const QString& databasePath) : databasePath_(databasePath) {
    const QFileInfo database(databasePath);
    const QByteArray pattern = Encoded(database.absolutePath() + QStringLiteral("/.") +
                                       database.fileName() + QStringLiteral("-open-XXXXXX"));
    for (int attempt = 0; attempt < 3; ++attempt) {
        QByteArray name = pattern;
        // Not inherited by programs started from here: they would hold the lock after this
        // program ended.
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) return;
        // Another copy may find the new file before it is locked and take it for one left
        // behind: the marker counts only once it is locked here and still has its name.
        struct stat info {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &info) == 0 && info.st_nlink > 0) {
            fd_ = fd;
            path_ = QFile::decodeName(name);
            return;
        }
        ::unlink(name.constData());
        ::close(fd);
    }
}

OpenMarker::~OpenMarker() {
    if (fd_ < 0) return;
    // Removed while still locked, so that no other copy takes it for one left behind.
    ::unlink(Encoded(path_).constData());
    ::close(fd_);
}

QStringList OpenMarker::LeftBehind() const {
    const QFileInfo database(databasePath_);
    const QString prefix = QStringLiteral(".") + database.fileName() + QStringLiteral("-open-");
    const QDir folder = database.absoluteDir();
    QStringList left;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString path = folder.filePath(name);
        if (!name.startsWith(prefix) || path == path_) continue;
        const int fd = ::open(Encoded(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        if (TakeLeftBehind(fd)) left.append(path);
        ::close(fd);
    }
    return left;
}

void OpenMarker::Clear(const QStringList& markers) {
    for (const QString& path : markers) {
        const QByteArray file = Encoded(path);
        const int fd = ::open(file.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        // A copy that started meanwhile may hold a marker of its own, never this one.
        if (TakeLeftBehind(fd)) ::unlink(file.constData());
        ::close(fd);
    }
}
