#include "common/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace {

WriteCall& InstalledWrite() {
    static WriteCall call;
    return call;
}

long WriteSome(int fd, const char* data, long size) {
    if (InstalledWrite()) return InstalledWrite()(fd, data, size);
    return static_cast<long>(::write(fd, data, static_cast<size_t>(size)));
}

QString ReasonOf(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("磁盘空间不足");
        case EACCES:
        case EPERM:
            return QStringLiteral("没有写入权限");
        case EROFS:
            return QStringLiteral("磁盘只读");
        case EIO:
            return QStringLiteral("磁盘读写出错");
        default:
            return QStringLiteral("写入出错（错误号 %1）").arg(error);
    }
}

bool Fail(QString* error, int code) {
    if (error) *error = ReasonOf(code);
    return false;
}

}  // namespace

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error) {
    const QFileInfo info(path);
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    const QByteArray dir = QFile::encodeName(info.absolutePath());
    mode_t mode = S_IRUSR | S_IWUSR;
    struct stat old {};
    if (::stat(target.constData(), &old) == 0) mode = old.st_mode & 07777;

    QByteArray temporary = dir + "/." + QFile::encodeName(info.fileName()) + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return Fail(error, errno);
    auto abandon = [&](int code) {
        ::close(fd);
        ::unlink(temporary.constData());
        return Fail(error, code);
    };
    if (::fchmod(fd, mode) != 0) return abandon(errno);
    for (qsizetype done = 0; done < bytes.size();) {
        const long n = WriteSome(fd, bytes.constData() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return abandon(n == 0 ? ENOSPC : errno);
        done += n;
    }
    if (::fsync(fd) != 0) return abandon(errno);
    if (::close(fd) != 0) {
        const int code = errno;
        ::unlink(temporary.constData());
        return Fail(error, code);
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        const int code = errno;
        ::unlink(temporary.constData());
        return Fail(error, code);
    }
    // The rename itself lasts only once the directory is synced.
    const int dirFd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

FileRead ReadWholeFile(const QString& path, QByteArray* bytes) {
    bytes->clear();
    QFile file(path);
    if (!file.exists()) return FileRead::Missing;
    if (!file.open(QIODevice::ReadOnly)) return FileRead::Unreadable;
    *bytes = file.readAll();
    return file.error() == QFileDevice::NoError ? FileRead::Read : FileRead::Unreadable;
}

void SetWriteCallForTest(WriteCall call) {
    InstalledWrite() = std::move(call);
}
