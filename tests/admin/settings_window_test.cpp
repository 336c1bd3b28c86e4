#include "admin/settings_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include "admin_fixture.h"
#include "common/gbk.h"
#include "common/ini.h"
#include "common/session.h"
#include "common/settings.h"
#include "platform/color_box.h"

namespace {

class SettingsWindowTest : public AdminFixture {
  protected:
    static QByteArray Bytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
    }
    static void WriteFile(const QString& path, const QString& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(ToGbk(text));
    }
    // The key names of a file's lines, in order.
    static QStringList Keys(const QString& path) {
        QStringList keys;
        for (const QString& line : FromGbk(Bytes(path)).split("\r\n"))
            if (line.contains('=')) keys << line.section('=', 0, 0);
        return keys;
    }
    static QString Receipt(const QString& key) {
        return IniRead(ReceiptPath(), kReceiptSection, key);
    }
};

TEST_F(SettingsWindowTest, ReadsEveryKeyAsTheListsDoAndWritesItBackInItsOwnForm) {
    WriteFile(ConfigPath(),
              "[setup]\r\nline=7\r\nbeepview=true\r\nzero=ture\r\nbeepcolor=255.0\r\n"
              "lastcolor=abc\r\nname=岚山商店\r\ndqmc=我的店\r\n");
    SettingsWindow w;
    EXPECT_EQ(w.size(), QSize(738, 518));
    EXPECT_EQ(w.组合框1->currentIndex(), -1);
    EXPECT_FALSE(w.选择框1->isChecked());  // only "ture" counts
    EXPECT_TRUE(w.选择框2->isChecked());
    EXPECT_EQ(w.库存报警文字颜色->Color(), 255);
    EXPECT_EQ(w.底部合计行颜色->Color(), 0);
    EXPECT_EQ(w.偶数行颜色->Color(), 0);
    EXPECT_EQ(w.编辑框1->text(), "岚山商店");
    EXPECT_TRUE(w.编辑框2->text().isEmpty());
    EXPECT_EQ(w.编辑框6->text(), "我的店");
    EXPECT_EQ(w.票头->text(), "岚库通");
    EXPECT_EQ(w.宣传2->text(), "岚库通管理软件");

    QTest::mouseClick(w.按钮2, Qt::LeftButton);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_TRUE(dialogs_.Shown().isEmpty());  // no message on success
    EXPECT_EQ(ReadSetupKey("line"), "-1");
    EXPECT_EQ(ReadSetupKey("beepview"), "false");
    EXPECT_EQ(ReadSetupKey("zero"), "ture");
    EXPECT_EQ(ReadSetupKey("beepcolor"), "255");
    EXPECT_EQ(ReadSetupKey("lastcolor"), "0");
    EXPECT_EQ(ReadSetupKey("bgtwo"), "0");
    EXPECT_EQ(ReadSetupKey("adress"), "");
    // Keys the file did not have are added in the order the window writes them.
    EXPECT_EQ(Keys(ConfigPath()), (QStringList{"line", "beepview", "zero", "beepcolor", "lastcolor",
                                               "name", "dqmc", "adress", "tell", "zerocolor",
                                               "rmbcolor", "outcolor", "bgtwo", "bgone"}));
}

TEST_F(SettingsWindowTest, WhatTheUserChoosesIsStoredForTheListsToPickUp) {
    SettingsWindow w;
    w.组合框1->setCurrentIndex(2);
    w.选择框1->setChecked(true);
    dialogs_.AnswerColor(QColor(1, 2, 3));
    QTest::mouseClick(w.奇数行颜色, Qt::LeftButton);
    EXPECT_EQ(w.奇数行颜色->Color(), 0x030201);
    QTest::mouseClick(w.偶数行颜色, Qt::LeftButton);  // cancelled: the colour stays
    w.宣传1->setText("欢迎再来");
    w.编辑框3->setText("0571-1234");
    QTest::mouseClick(w.按钮2, Qt::LeftButton);
    EXPECT_EQ(ReadSetupKey("line"), "2");
    EXPECT_TRUE(SetupFlag(SetupKey::kBeepView));
    EXPECT_EQ(SetupColor(SetupKey::kBgOne), 0x030201);
    EXPECT_EQ(SetupColor(SetupKey::kBgTwo), 16777215);
    EXPECT_EQ(ReadSetupKey("tell"), "0571-1234");
    EXPECT_EQ(Receipt("宣传1"), "欢迎再来");
    EXPECT_EQ(Keys(ReceiptPath()).mid(Keys(ReceiptPath()).indexOf("宣传1")),
              (QStringList{"宣传1", "宣传2", "票头"}));
}

TEST_F(SettingsWindowTest, OnlyTheSuperAdministratorAllowsOrdinaryUsersToBookAStocktake) {
    for (const QString& role : {kOrdinaryUser, kSuperAdmin}) {
        CurrentSession().userRole = role;
        WriteSetupKey(SetupKey::kStocktakeBooking, FlagText(false));
        SettingsWindow w;
        EXPECT_EQ(!w.盘点确认框->isHidden(), role == kSuperAdmin);
        w.盘点确认框->setChecked(true);
        QTest::mouseClick(w.按钮2, Qt::LeftButton);
        CurrentSession().userRole = kOrdinaryUser;
        EXPECT_EQ(MayBookStocktakes(), role == kSuperAdmin) << role.toStdString();
    }
}

TEST_F(SettingsWindowTest, CancelLeavesBothFilesByteForByte) {
    const QByteArray config = Bytes(ConfigPath()), receipt = Bytes(ReceiptPath());
    SettingsWindow w;
    w.编辑框1->setText("改了");
    w.选择框2->setChecked(!w.选择框2->isChecked());
    QTest::mouseClick(w.按钮3, Qt::LeftButton);
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_EQ(Bytes(ConfigPath()), config);
    EXPECT_EQ(Bytes(ReceiptPath()), receipt);
}

TEST_F(SettingsWindowTest, AFileThatCannotBeWrittenIsReportedAndTheWindowStays) {
    SettingsWindow w;
    w.show();
    // A folder where the receipt texts belong: no file can be written there.
    ASSERT_TRUE(QFile::remove(ReceiptPath()));
    ASSERT_TRUE(QDir(Dir()).mkdir("配置.ini"));
    QTest::mouseClick(w.按钮2, Qt::LeftButton);
    EXPECT_EQ(SkinTexts(), QStringList{"系统设置保存失败：\r\n无法写入 配置.ini"});
    EXPECT_EQ(dialogs_.Shown().last().skinIcon, 3);
    EXPECT_TRUE(w.isVisible());
    EXPECT_NE(w.result(), QDialog::Accepted);
}

}  // namespace
