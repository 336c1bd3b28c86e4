#pragma once
// The skin's images, drawn in code the first time they are asked for, and its fonts.

#include <QFont>
#include <QImage>
#include <QSize>

inline constexpr int kSkinPictureCount = 9;
inline constexpr QSize kSkinPictureSize{840, 205};
inline constexpr QSize kSkinThumbnailSize{68, 43};

// Background picture 1 to 9 (anything else gives picture 1), 840 x 205. The drawn part is
// (0, 5) 840 x 200; pictures 2 to 6 are uniform across their left columns, which are
// stretched to widen them, and pictures 7 to 9 repeat every 50 pixels from the left.
QImage SkinPicture(int number);
QImage SkinThumbnail(int number);

enum class CaptionGlyph { Close, Maximize, Restore, Minimize, Menu, Help };
// state 0 normal, 1 hovered, 2 pressed; the glyph is white on a dark background and dark
// on a light one.
QImage CaptionButtonImage(CaptionGlyph glyph, int state, const QSize& size, bool onDark);

QImage NavHoverBackground();                // 76 x 71
QImage NavPressedBackground();              // 76 x 71
QImage SkinButtonIcon();                    // 14 x 14
QImage SkinButtonBackground(bool pressed);  // 28 x 22
QImage ResizeGripImage();                   // 9 x 8

// 40 x 40: 0 information, 1 success, 2 warning, 3 error, 4 question; anything else
// gives information.
QImage MessageIcon(int number);

// "宋体" where it exists, else a Chinese font of Linux desktops, at pixelSize pixels.
QFont SkinFont(int pixelSize, bool bold);
