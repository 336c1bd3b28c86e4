// Test runner: a QApplication on the offscreen platform, a fixed time zone and locale, and
// the standard paths in test mode.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>
#include <QStandardPaths>

#include "store/password_hash.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "Asia/Shanghai");
    QStandardPaths::setTestModeEnabled(true);
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QApplication app(argc, argv);
    // Every test makes books with a hashed password: at the interactive cost the suite would
    // spend minutes hashing.
    SetPasswordHashCost(PasswordHashCost::Least);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
