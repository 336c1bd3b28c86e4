#pragma once
// Where the skin puts things on a window of a given outer size, and how it reads colours.

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>

// Height of the title band and of the status strip.
inline constexpr int kTitleBandHeight = 30;
inline constexpr int kStatusStripHeight = 19;
// A double-click toggles maximise only left of this distance from the right edge.
inline constexpr int kCaptionDoubleClickMargin = 149;
// Pointer distance from an edge that starts a resize.
inline constexpr int kResizeZone = 10;

// Caption button number: 1 close, 2 maximise/restore, 3 minimise, 4 and 5 the menu buttons.
QRect CaptionButtonRectAt(int number, const QSize& window);
QRect NavButtonRectAt(int index);  // index from 0
QRect SkinButtonRectAt(const QSize& window);
QRect ContentRectAt(const QSize& window);

// The edges a left press at pos resizes from; none means the press moves the window.
// The left edge never resizes.
Qt::Edges ResizeEdgesAt(const QPoint& pos, const QSize& window);

// The window rectangle with its four corners rounded off.
QRegion WindowRegion(const QSize& window);

// Windows colour integers are 0x00BBGGRR.
QColor ColorFromWindows(qint64 value);
qint64 WindowsFromColor(const QColor& color);

// Dark unless at least two of red, green and blue are 125 or more; text on it is white.
bool IsDarkColor(const QColor& color);
