#include "app/provision.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "app/open_database.h"
#include "common/gbk.h"
#include "common/session.h"
#include "common/settings.h"
#include "store/shared_db.h"
#include "support/program_fixture.h"

namespace {

class Provisioning : public ProgramFixture {
  protected:
    QByteArray Bytes(const QString& name) {
        QFile f(File(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList Files() { return QDir(Dir()).entryList(QDir::Files, QDir::Name); }
};

TEST_F(Provisioning, AFreshDirectoryGetsTheThreeFilesAndOneQuestion) {
    ProvisionFiles();
    EXPECT_EQ(Files(), (QStringList{"config.ini", "data.db", QStringLiteral("配置.ini")}));
    EXPECT_EQ(Bytes("config.ini").size(), 288);
    EXPECT_EQ(Bytes(QStringLiteral("配置.ini")).size(), 63);
    EXPECT_TRUE(Bytes("config.ini").startsWith("[setup]\r\npassword=\r\nbeep=2\r\n"));
    EXPECT_TRUE(Bytes("config.ini").endsWith("[Skin]\r\nstyle=1\r\ncolor=13998394\r\npicid=6\r\n"));
    EXPECT_EQ(Bytes(QStringLiteral("配置.ini")),
              ToGbk(QStringLiteral(
                  "[程序配置]\r\n宣传1=管理软件\r\n宣传2=岚库通管理软件\r\n票头=岚库通\r\n")));
    ASSERT_EQ(dialogs_.Shown().size(), 1);
    const ShownBox& box = dialogs_.Shown()[0];
    EXPECT_EQ(box.text, QStringLiteral("第一次使用是否需要“视频教程”"));
    EXPECT_EQ(box.caption, "提示");
    EXPECT_EQ(box.icon, BoxIcon::Question);
    EXPECT_EQ(box.buttons, BoxButtons::OkCancel);

    // The next start writes nothing and asks nothing.
    WriteSetupKey("beep", "7");
    const QByteArray config = Bytes("config.ini");
    dialogs_.Clear();
    ProvisionFiles();
    EXPECT_EQ(Bytes("config.ini"), config);
    EXPECT_TRUE(dialogs_.Shown().isEmpty());
}

TEST_F(Provisioning, ADeletedDatabaseAloneIsWrittenAgainAndTheQuestionAskedAgain) {
    ProvisionFiles();
    WriteSetupKey("beep", "9");
    const QByteArray config = Bytes("config.ini");
    QFile::remove(File("data.db"));
    dialogs_.Clear();
    ProvisionFiles();
    EXPECT_EQ(Bytes("config.ini"), config);
    EXPECT_TRUE(QFile::exists(File("data.db")));
    EXPECT_EQ(dialogs_.Shown().size(), 1);
}

TEST_F(Provisioning, ADamagedDatabaseIsReportedAndNeverOverwritten) {
    ProvisionFiles();
    QFile f(File("data.db"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(5000, '\x01'));
    f.close();
    dialogs_.Clear();
    ProvisionFiles();
    OpenDatabase();
    EXPECT_EQ(dialogs_.Texts(), QStringList{"打开数据库失败！"});
    EXPECT_EQ(Bytes("data.db"), QByteArray(5000, '\x01'));
}

TEST_F(Provisioning, TheTitleDefaultsAndIsWrittenBack) {
    ProvisionFiles();
    EXPECT_EQ(LoadAppTitle(), kDefaultTitle);
    EXPECT_TRUE(Bytes("config.ini").contains(ToGbk("dqmc=" + kDefaultTitle + "\r\n[System]")));
    WriteSetupKey("dqmc", QStringLiteral("小店"));
    EXPECT_EQ(LoadAppTitle(), QStringLiteral("小店"));
    EXPECT_EQ(CurrentSession().appTitle, QStringLiteral("小店"));
    WriteSetupKey("dqmc", "");
    EXPECT_EQ(LoadAppTitle(), kDefaultTitle);
    EXPECT_EQ(ReadSetupKey("dqmc"), kDefaultTitle);
}

TEST_F(Provisioning, FlagsAreOnOnlyForTure) {
    ProvisionFiles();
    WriteSetupKey("beepview", "true");
    EXPECT_FALSE(SetupFlag("beepview"));
    WriteSetupKey("beepview", "ture");
    EXPECT_TRUE(SetupFlag("beepview"));
    EXPECT_EQ(SetupColor("bgone"), 55512);
    EXPECT_EQ(SetupNumber("beep"), 2);
    EXPECT_EQ(SetupNumber("nosuch"), 0);
}

}  // namespace
