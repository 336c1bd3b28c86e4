#include "support/test_server.h"

#include <libpq-fe.h>
#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

// The directory of the server's programs: pg_config's answer, else the newest Debian one.
QString ServerBinDir() {
    QProcess config;
    config.start(QStringLiteral("pg_config"), {QStringLiteral("--bindir")});
    if (config.waitForFinished() && config.exitCode() == 0) {
        const QString dir = QString::fromLocal8Bit(config.readAllStandardOutput()).trimmed();
        if (QFileInfo::exists(dir + QStringLiteral("/initdb"))) return dir;
    }
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(found.begin(), found.end(),
              [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& v : found) {
        const QString dir = versions.filePath(v + QStringLiteral("/bin"));
        if (QFileInfo::exists(dir + QStringLiteral("/initdb"))) return dir;
    }
    return QString();
}

}  // namespace

TestServer& TestServer::Instance() {
    static TestServer server;
    return server;
}

TestServer::TestServer() {
    running_ = Start();
}

bool TestServer::Start() {
    bin_ = ServerBinDir();
    if (bin_.isEmpty()) {
        error_ = QStringLiteral(
            "PostgreSQL is not installed (no initdb found): scripts/setup.sh "
            "installs it");
        return false;
    }
    QTemporaryDir temp(QDir::tempPath() + QStringLiteral("/lk-pg-XXXXXX"));
    if (!temp.isValid()) {
        error_ = QStringLiteral("no temporary directory");
        return false;
    }
    temp.setAutoRemove(false);
    dir_ = temp.path();
    // The server refuses to run as root: then it runs as the postgres user, which owns the
    // directory.
    asPostgres_ = geteuid() == 0;
    if (asPostgres_) {
        const passwd* user = getpwnam("postgres");
        if (!user || chown(dir_.toLocal8Bit().constData(), user->pw_uid, user->pw_gid) != 0) {
            error_ = QStringLiteral(
                "running as root, and there is no postgres user to run the "
                "server as");
            return false;
        }
    }
    const QString data = dir_ + QStringLiteral("/data");
    // No fsync: the cluster lives for one test program, and speed is all that matters.
    return Run(QStringLiteral("initdb"),
               {QStringLiteral("-D"), data, QStringLiteral("-U"), QStringLiteral("lk"),
                QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-E"),
                QStringLiteral("UTF8"), QStringLiteral("--locale=C"), QStringLiteral("-N")}) &&
           WriteAccessRules() && StartCluster();
}

bool TestServer::Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (asPostgres_)
        process.start(QStringLiteral("runuser"),
                      QStringList{QStringLiteral("-u"), QStringLiteral("postgres"),
                                  QStringLiteral("--"), bin_ + u'/' + program} +
                          arguments);
    else
        process.start(bin_ + u'/' + program, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        error_ = program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAll());
        return false;
    }
    return true;
}

bool TestServer::WriteAccessRules() {
    // The tests' own login needs no password; every other role logs in with its own, as the
    // program's users do on a shop's server.
    QFile rules(dir_ + QStringLiteral("/hba.conf"));
    if (!rules.open(QIODevice::WriteOnly) ||
        rules.write("local all lk trust\nlocal all all scram-sha-256\n") < 0 ||
        !rules.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ReadGroup | QFileDevice::ReadOther)) {
        error_ = QStringLiteral("cannot write the access rules: ") + rules.errorString();
        return false;
    }
    return true;
}

bool TestServer::StartCluster() {
    return Run(QStringLiteral("pg_ctl"),
               {QStringLiteral("-D"), dir_ + QStringLiteral("/data"), QStringLiteral("-l"),
                dir_ + QStringLiteral("/log"), QStringLiteral("-w"), QStringLiteral("-o"),
                QStringLiteral("-k %1 -c listen_addresses= -c hba_file=%1/hba.conf -F").arg(dir_),
                QStringLiteral("start")});
}

QString TestServer::KillCommand() const {
    return QStringLiteral("kill -QUIT $(head -1 %1/data/postmaster.pid)").arg(dir_);
}

void TestServer::Stop() {
    // A server still ending after its kill is waited for; one already gone is no failure.
    Run(QStringLiteral("pg_ctl"),
        {QStringLiteral("-D"), dir_ + QStringLiteral("/data"), QStringLiteral("-m"),
         QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")});
}

bool TestServer::Restart() {
    Stop();
    running_ = StartCluster();
    return running_;
}

TestServer::~TestServer() {
    if (dir_.isEmpty()) return;
    if (running_)
        Run(QStringLiteral("pg_ctl"),
            {QStringLiteral("-D"), dir_ + QStringLiteral("/data"), QStringLiteral("-m"),
             QStringLiteral("immediate"), QStringLiteral("stop")});
    QDir(dir_).removeRecursively();
}

bool TestServer::Admin(const QString& sql) {
    const QByteArray info = QStringLiteral("host=%1 user=lk dbname=postgres").arg(dir_).toUtf8();
    PGconn* conn = PQconnectdb(info.constData());
    bool ok = PQstatus(conn) == CONNECTION_OK;
    if (ok) {
        PGresult* result = PQexec(conn, sql.toUtf8().constData());
        ok = PQresultStatus(result) == PGRES_COMMAND_OK;
        if (!ok) error_ = QString::fromUtf8(PQresultErrorMessage(result));
        PQclear(result);
    } else {
        error_ = QString::fromUtf8(PQerrorMessage(conn));
    }
    PQfinish(conn);
    return ok;
}

QString TestServer::NewDatabase() {
    if (!running_) return QString();
    const QString name = QStringLiteral("test%1").arg(++databases_);
    if (!Admin(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0").arg(name))) return QString();
    return QStringLiteral("host=%1 user=lk dbname=%2").arg(dir_, name);
}
