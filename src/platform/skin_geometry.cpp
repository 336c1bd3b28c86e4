#include "platform/skin_geometry.h"

namespace {

struct CaptionButtonPlace {
    int fromRight;  // left = W - fromRight
    int width;
};

// Indexed by button number - 1.
constexpr CaptionButtonPlace kCaptionButtons[] = {
    {49, 39}, {76, 27}, {103, 27}, {130, 28}, {158, 27}};
constexpr int kCaptionButtonTop = 1;
constexpr int kCaptionButtonHeight = 19;

}  // namespace

QRect CaptionButtonRectAt(int number, const QSize& window) {
    if (number < 1 || number > 5) return QRect();
    const CaptionButtonPlace& place = kCaptionButtons[number - 1];
    return QRect(window.width() - place.fromRight, kCaptionButtonTop, place.width,
                 kCaptionButtonHeight);
}

QRect NavButtonRectAt(int index) {
    return QRect(8 + 78 * index, 30, 76, 71);
}

QRect SkinButtonRectAt(const QSize& window) {
    return QRect(window.width() - 30, 70, 28, 22);
}

QRect ContentRectAt(const QSize& window) {
    return QRect(2, 105, window.width() - 6, window.height() - 130);
}

Qt::Edges ResizeEdgesAt(const QPoint& pos, const QSize& window) {
    const bool nearTop = pos.y() < kResizeZone;
    const bool nearBottom = pos.y() >= window.height() - kResizeZone;
    if (pos.x() >= window.width() - kResizeZone) {
        if (nearTop) return Qt::RightEdge | Qt::TopEdge;
        if (nearBottom) return Qt::RightEdge | Qt::BottomEdge;
        return Qt::RightEdge;
    }
    if (nearTop) return Qt::TopEdge;
    if (nearBottom) return Qt::BottomEdge;
    return {};
}

QRegion WindowRegion(const QSize& window) {
    const int w = window.width();
    const int h = window.height();
    QRegion region(0, 0, w, h);
    if (w < 4 || h < 4) return region;
    // A 5 x 5 ellipse leaves two pixels off the outer row and one off the next.
    const QRect cuts[] = {QRect(0, 0, 2, 1),         QRect(0, 1, 1, 1),
                          QRect(w - 2, 0, 2, 1),     QRect(w - 1, 1, 1, 1),
                          QRect(0, h - 1, 2, 1),     QRect(0, h - 2, 1, 1),
                          QRect(w - 2, h - 1, 2, 1), QRect(w - 1, h - 2, 1, 1)};
    for (const QRect& cut : cuts) region -= QRegion(cut);
    return region;
}

QColor ColorFromWindows(qint64 value) {
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

qint64 WindowsFromColor(const QColor& color) {
    return static_cast<qint64>(color.red()) | (static_cast<qint64>(color.green()) << 8) |
           (static_cast<qint64>(color.blue()) << 16);
}

bool IsDarkColor(const QColor& color) {
    const int light = (color.red() >= 125) + (color.green() >= 125) + (color.blue() >= 125);
    return light < 2;
}
