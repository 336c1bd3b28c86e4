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
        bool bin;            // the executable in a folder "bin", as installed programs are
        QStringList files;   // beside the executable
        const char* xdg;     // XDG_DATA_HOME, relative to the temporary home; nullptr: unset
        const char* expect;  // "" beside the executable, else relative to the temporary home
    };
    const Case cases[] = {
        {"copied alone into an empty folder", false, {}, "xdg", ""},
        {"bin folder, XDG_DATA_HOME set", true, {}, "xdg", "xdg/lankutong"},
        {"bin folder, XDG_DATA_HOME unset", true, {}, nullptr, ".local/share/lankutong"},
        {"relative XDG_DATA_HOME is ignored", true, {}, "!rel", ".local/share/lankutong"},
        {"bin folder with the marker file", true, {QStringLiteral("portable")}, "xdg", ""},
        {"bin folder with a ledger", true, {QStringLiteral("data.db")}, "xdg", ""},
        {"bin folder with settings", true, {QStringLiteral("config.ini")}, nullptr, ""},
        {"bin folder, other files only",
         true,
         {QStringLiteral("notes.txt")},
         nullptr,
         ".local/share/lankutong"},
        {"build tree with a ledger",
         false,
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
        const QString folder = c.bin ? exe.path() + QStringLiteral("/bin") : exe.path();
        QDir().mkpath(folder);
        for (const QString& file : c.files) Touch(folder + '/' + file);

        const QString chosen = ChooseProgramDir(folder);
        if (*c.expect == 0) {
            EXPECT_EQ(chosen, folder);
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
