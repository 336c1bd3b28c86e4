#include "common/program_dir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString& ChosenDir() {
    static QString dir;
    return dir;
}

QString DefaultDir() {
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (!exeDir.isEmpty() && QFileInfo(exeDir).isWritable()) return exeDir;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return data;
}
}  // namespace

QString ProgramDir() {
    QString& dir = ChosenDir();
    if (dir.isEmpty()) dir = DefaultDir();
    return dir;
}

void SetProgramDir(const QString& dir) { ChosenDir() = QDir::cleanPath(dir); }

QString ProgramFile(const QString& name) { return ProgramDir() + QLatin1Char('/') + name; }
