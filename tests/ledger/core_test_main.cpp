// Test runner of the ledger: QtCore alone, no window system.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "store/password_hash.h"

int main(int argc, char** argv) {
    qputenv("TZ", "Asia/Shanghai");
    QCoreApplication app(argc, argv);
    // Every test makes books with a hashed password: at the interactive cost the suite would
    // spend minutes hashing.
    SetPasswordHashCost(PasswordHashCost::Least);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
