#include "common/program_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
void Touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

bool OwnerOnly(const QString& dir) {
    struct stat st {};
    return stat(QFile::encodeName(dir).constData(), &st) == 0 && (st.st_mode & 0777) == 0700;
}
}  // namespace

// Only a folder chosen for a portable copy keeps the files beside the program; an executable
// installed for one user (~/.local/bin), a build tree or a system folder keeps them in the
// user's data directory, wherever XDG_DATA_HOME points, else under ~/.local/share.
TEST(ProgramDirRule, OnlyAPortableCopyKeepsItsFilesBesideItself) {
    struct Case {
        const char* name;
        QStringList files;   // beside the executable
        const char* xdg;     // XDG_DATA_HOME, relative to the temporary home; nullptr: unset
        const char* expect;  // "" beside the executable, else relative to the temporary home
    };
    const Case cases[] = {
        {"empty folder, XDG_DATA_HOME set", {}, "xdg", "xdg/lankutong"},
        {"empty folder, XDG_DATA_HOME unset", {}, nullptr, ".local/share/lankutong"},
        {"relative XDG_DATA_HOME is ignored", {}, "!rel", ".local/share/lankutong"},
        {"marker file", {QStringLiteral("portable")}, "xdg", ""},
        {"ledger already there", {QStringLiteral("data.db")}, "xdg", ""},
        {"settings already there", {QStringLiteral("config.ini")}, nullptr, ""},
        {"other files only", {QStringLiteral("notes.txt")}, nullptr, ".local/share/lankutong"},
        {"build tree with a ledger",
         {QStringLiteral("CMakeCache.txt"), QStringLiteral("data.db")},
         "xdg",
         "xdg/lankutong"},
    };
    const QByteArray savedHome = qgetenv("HOME"), savedXdg = qgetenv("XDG_DATA_HOME");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir home, exe;
        qputenv("HOME", QFile::encodeName(home.path()));
        if (!c.xdg)
            qunsetenv("XDG_DATA_HOME");
        else if (c.xdg[0] == '!')
            qputenv("XDG_DATA_HOME", c.xdg + 1);
        else
            qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + '/' + c.xdg));
        for (const QString& file : c.files) Touch(exe.path() + '/' + file);

        const QString chosen = ChooseProgramDir(exe.path());
        if (*c.expect == 0) {
            EXPECT_EQ(chosen, exe.path());
        } else {
            EXPECT_EQ(chosen, home.path() + '/' + c.expect);
            EXPECT_TRUE(OwnerOnly(chosen));
        }
    }
    qputenv("HOME", savedHome);
    qputenv("XDG_DATA_HOME", savedXdg);
    // A system folder, even when root may write it.
    EXPECT_EQ(ChooseProgramDir(QStringLiteral("/usr/bin")), UserDataDir());
}

// An installed copy run by another account: the ledger beside it cannot be used, and the user
// is told where it is rather than finding an empty ledger.
TEST(ProgramDirRule, ALedgerSetAsideIsNamedToTheUser) {
    QTemporaryDir installed;
    const QString dir = installed.path();
    EXPECT_EQ(SetAsideDataNotice(dir), "");  // usable, and no ledger anyway
    QFile database(dir + QStringLiteral("/data.db"));
    ASSERT_TRUE(database.open(QIODevice::WriteOnly));
    database.close();
    EXPECT_EQ(SetAsideDataNotice(dir), "");  // used where it is
    const QByteArray path = QFile::encodeName(dir);
    ASSERT_EQ(
        geteuid() == 0 ? chown(path.constData(), 65534, 65534) : chmod(path.constData(), 0500), 0);
    const QString notice = SetAsideDataNotice(dir);
    EXPECT_TRUE(notice.contains(dir + QStringLiteral("/data.db"))) << notice.toStdString();
    EXPECT_TRUE(notice.contains(ChooseProgramDir(dir)));
    chmod(path.constData(), 0700);
    if (geteuid() == 0) {
        EXPECT_EQ(chown(path.constData(), 0, 0), 0);
    }
}
