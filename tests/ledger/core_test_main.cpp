// Test runner of the ledger: QtCore alone, no window system.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    qputenv("TZ", "Asia/Shanghai");
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
