#include "support/program_fixture.h"

#include <QDateTime>

#include "app/open_database.h"
#include "app/provision.h"
#include "common/date_text.h"
#include "common/ini.h"
#include "common/program_dir.h"
#include "common/session.h"
#include "common/settings.h"
#include "store/shared_db.h"

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
    SharedRecordSet().Close();
    SharedConnection().Close();
    SetDialogs(nullptr);
    SetNowForTest(QDateTime());
}

void ProgramFixture::Provision() {
    ProvisionFiles();
    // The update check at start asks a port where nothing answers: tests never reach the
    // network.
    IniWrite(ConfigPath(), QStringLiteral("setup"), QStringLiteral("官方网站"),
             QStringLiteral("http://127.0.0.1:9/"));
    OpenDatabase();
    dialogs_.Clear();
}
