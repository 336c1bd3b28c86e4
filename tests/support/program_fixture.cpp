#include "support/program_fixture.h"

#include <QDateTime>

#include "app/open_database.h"
#include "app/provision.h"
#include "common/date_text.h"
#include "common/ini.h"
#include "common/program_dir.h"
#include "common/session.h"
#include "common/settings.h"
#include "common/workers.h"
#include "store/server_roles.h"
#include "store/shared_db.h"
#include "support/test_server.h"

void ProgramFixture::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    SetProgramDir(dir_.path());
    SetDialogs(&dialogs_);
    SetNowForTest(QDateTime(QDate(2012, 6, 15), QTime(9, 3, 7)));
    CurrentSession() = Session{};
    SharedRecordSet().Close();
    SharedConnection().Close();
    SetDatabaseOpener(OpenDatabase);
}

void ProgramFixture::TearDown() {
    dialogs_.ExpectAllUsed();
    // A worker the test started ends before the test's directory and settings go.
    StopWorkers();
    SharedRecordSet().Close();
    SharedConnection().Close();
    ClearServerLogin();
    SetDialogs(nullptr);
    SetNowForTest(QDateTime());
}

void ProgramFixture::Provision() {
    ProvisionFiles();
    // The update check at start asks a port where nothing answers: tests never reach the
    // network.
    IniWrite(ConfigPath(), QStringLiteral("setup"), QStringLiteral("官方网站"),
             QStringLiteral("http://127.0.0.1:9/"));
    if (store_ == StoreKind::Server) {
        // No server is a failure, never a skip: CI installs PostgreSQL for these tests.
        TestServer& server = TestServer::Instance();
        ASSERT_TRUE(server.Running()) << server.Error().toStdString();
        server_ = server.NewDatabase();
        ASSERT_FALSE(server_.isEmpty()) << server.Error().toStdString();
        IniWrite(ConfigPath(), kServerSection, ServerKey::kStore, kServerStore);
        IniWrite(ConfigPath(), kServerSection, ServerKey::kConnection, server_);
    }
    OpenDatabase();
    ASSERT_TRUE(SharedConnection().IsOpen()) << dialogs_.Texts().join(u'\n').toStdString();
    dialogs_.Clear();
}

bool ProgramFixture::OpenTill(DbConnection& till) const {
    return store_ == StoreKind::Server ? till.OpenServer(server_)
                                       : till.OpenFile(SharedConnection().Path());
}

void ProgramFixture::Refuse(const QString& table, const QString& event) {
    const QString trigger = QStringLiteral("refuse_%1_%2").arg(event, table);
    if (store_ == StoreKind::File) {
        ASSERT_TRUE(SharedConnection().Execute(
            QStringLiteral("create trigger %1 before %2 on %3 begin select raise(abort, '拒绝'); "
                           "end")
                .arg(trigger, event, table)))
            << SharedConnection().GetErrorDescription().toStdString();
        return;
    }
    ASSERT_TRUE(SharedConnection().Execute(
        "create or replace function refuse() returns trigger language plpgsql as "
        "$$begin raise exception '拒绝'; end$$"))
        << SharedConnection().GetErrorDescription().toStdString();
    ASSERT_TRUE(SharedConnection().Execute(
        QStringLiteral("create trigger %1 before %2 on %3 for each row execute function refuse()")
            .arg(trigger, event, table)))
        << SharedConnection().GetErrorDescription().toStdString();
}

void ProgramFixture::Allow(const QString& table, const QString& event) {
    const QString trigger = QStringLiteral("refuse_%1_%2").arg(event, table);
    ASSERT_TRUE(SharedConnection().Execute(
        store_ == StoreKind::File ? QStringLiteral("drop trigger %1").arg(trigger)
                                  : QStringLiteral("drop trigger %1 on %2").arg(trigger, table)))
        << SharedConnection().GetErrorDescription().toStdString();
}
