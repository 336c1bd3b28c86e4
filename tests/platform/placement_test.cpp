#include "platform/placement.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QWidget>

TEST(KeepWindowsOnScreen, BringsEveryShownWindowFullyOntoItsOwnersScreen) {
    KeepWindowsOnScreen();
    QWidget main;
    main.setGeometry(50, 50, 300, 200);
    main.show();
    const QRect area = main.screen()->availableGeometry();

    auto* tool = new QWidget(&main, Qt::Tool);
    tool->setGeometry(-133, -40, 180, 420);
    tool->show();
    EXPECT_EQ(tool->frameGeometry().topLeft(), area.topLeft());

    QWidget wide;  // no owner, larger than the screen: its top left stays on it
    wide.setGeometry(area.right() - 10, 20, area.width() + 50, 100);
    wide.show();
    EXPECT_EQ(wide.frameGeometry().left(), area.left());
    EXPECT_EQ(wide.geometry().top(), 20);

    QWidget fits;  // already on the screen: not moved
    fits.setGeometry(area.left() + 50, area.top() + 60, 100, 100);
    fits.show();
    EXPECT_EQ(fits.geometry(), QRect(area.left() + 50, area.top() + 60, 100, 100));
}
