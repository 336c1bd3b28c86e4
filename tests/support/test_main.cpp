// Test runner: a QApplication on the offscreen platform, a fixed time zone and locale, the
// standard paths in test mode, and the per-user data directory in a temporary one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "store/password_hash.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "Asia/Shanghai");
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QApplication app(argc, argv);
    // Every test makes books with a hashed password: at the interactive cost the suite would
    // spend minutes hashing.
    SetPasswordHashCost(PasswordHashCost::Least);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
