#pragma once
// Pictures the program draws for itself: its icon, the navigation icons, the welcome page.

#include <QIcon>
#include <QImage>

QIcon ProgramIcon();
// The program's icon drawn at size x size pixels (for the desktop's icon theme too).
QImage ProgramIconImage(int size);
// The icon of navigation button index (0-9): 64 x 64, or 32 x 32 for settings and data.
QImage NavIcon(int index);
QImage WelcomePicture();  // 640 x 416
