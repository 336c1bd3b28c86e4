#include "platform/skin_images.h"

#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>

namespace {

QImage Transparent(const QSize& size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QColor White(int alpha) {
    return QColor(255, 255, 255, alpha);
}

struct PictureTheme {
    QColor top;
    QColor bottom;  // also the colour under the picture
};

// Indexed by picture number - 1. Each theme stays on one side of the dark/light text rule
// from top to bottom, so the caption stays readable.
const std::array<PictureTheme, kSkinPictureCount> kThemes = {{
    {QColor(58, 153, 213), QColor(58, 153, 213)},
    {QColor(25, 90, 160), QColor(45, 120, 195)},
    {QColor(30, 110, 60), QColor(60, 150, 90)},
    {QColor(80, 45, 130), QColor(120, 80, 170)},
    {QColor(240, 170, 90), QColor(250, 215, 160)},
    {QColor(15, 25, 50), QColor(40, 65, 100)},
    {QColor(235, 150, 180), QColor(250, 215, 228)},
    {QColor(45, 52, 62), QColor(85, 95, 110)},
    {QColor(120, 190, 180), QColor(190, 230, 220)},
}};

// Decorations of pictures 2 to 6, faded out towards the left so that the stretched left
// column joins the picture without a seam.
void PaintScenery(QPainter& p, int number) {
    switch (number) {
        case 2:  // soft bubbles
            for (int i = 0; i < 14; ++i) {
                const QPointF centre(300 + (i * 137) % 520, 20 + (i * 71) % 170);
                const qreal radius = 12 + (i * 29) % 38;
                QRadialGradient glow(centre, radius);
                glow.setColorAt(0, White(70));
                glow.setColorAt(1, White(0));
                p.setBrush(glow);
                p.setPen(Qt::NoPen);
                p.drawEllipse(centre, radius, radius);
            }
            break;
        case 3:  // rolling hills
            for (int layer = 0; layer < 3; ++layer) {
                QPainterPath hill;
                const int base = 130 + layer * 25;
                hill.moveTo(200, 205);
                hill.lineTo(200, base + 30);
                hill.cubicTo(380, base - 40 - layer * 10, 560, base + 40, 840, base - 20);
                hill.lineTo(840, 205);
                p.fillPath(hill, QColor(255, 255, 255, 30 + layer * 15));
            }
            break;
        case 4:  // rings
            p.setBrush(Qt::NoBrush);
            for (int i = 0; i < 7; ++i) {
                p.setPen(QPen(White(40 + i * 6), 2));
                const qreal r = 40 + i * 28;
                p.drawEllipse(QPointF(700, 100), r, r);
            }
            break;
        case 5: {  // sun and waves
            QRadialGradient sun(QPointF(690, 70), 70);
            sun.setColorAt(0, QColor(255, 250, 220, 200));
            sun.setColorAt(1, QColor(255, 240, 200, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(sun);
            p.drawEllipse(QPointF(690, 70), 70, 70);
            p.setBrush(Qt::NoBrush);
            for (int i = 0; i < 4; ++i) {
                QPainterPath wave;
                const int y = 80 + i * 12;
                wave.moveTo(200, y);
                for (int x = 200; x < 840; x += 80) {
                    wave.quadTo(x + 20, y - 6, x + 40, y);
                    wave.quadTo(x + 60, y + 6, x + 80, y);
                }
                p.setPen(QPen(White(90 - i * 15), 2));
                p.drawPath(wave);
            }
            break;
        }
        case 6:  // stars and a moon
            p.setPen(Qt::NoPen);
            for (int i = 0; i < 60; ++i) {
                const QPointF star(220 + (i * 193) % 620, 8 + (i * 89) % 160);
                const qreal r = 0.8 + (i % 3) * 0.6;
                p.setBrush(White(120 + (i * 37) % 130));
                p.drawEllipse(star, r, r);
            }
            p.setBrush(QColor(250, 245, 215, 230));
            p.drawEllipse(QPointF(740, 60), 26, 26);
            p.setBrush(QColor(15, 25, 50, 235));
            p.drawEllipse(QPointF(752, 52), 24, 24);
            break;
        default:
            break;
    }
}

// Patterns of pictures 7 to 9, with a horizontal period that divides 50, fading towards the
// bottom into the colour under the picture.
void PaintPattern(QPainter& p, int number) {
    switch (number) {
        case 7:
            for (int x = 0; x < 840; x += 10) p.fillRect(x, 0, 4, 205, White(45));
            break;
        case 8:
            p.setPen(QPen(White(28), 1));
            for (int x = 0; x < 840; x += 25)
                p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, 205));
            for (int y = 0; y < 205; y += 25)
                p.drawLine(QPointF(0, y + 0.5), QPointF(840, y + 0.5));
            break;
        case 9:
            p.setPen(QPen(White(70), 3));
            for (int x = -225; x < 840; x += 25) p.drawLine(QPointF(x, 205), QPointF(x + 205, 0));
            break;
        default:
            break;
    }
}

QImage DrawPicture(int number) {
    const PictureTheme& theme = kThemes[number - 1];
    QImage image(kSkinPictureSize, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient base(0, 0, 0, kSkinPictureSize.height() - 1);
    base.setColorAt(0, theme.top);
    base.setColorAt(1, theme.bottom);
    p.fillRect(image.rect(), base);

    QImage layer = Transparent(kSkinPictureSize);
    {
        QPainter lp(&layer);
        lp.setRenderHint(QPainter::Antialiasing);
        if (number <= 6) {
            PaintScenery(lp, number);
            QLinearGradient fade(220, 0, 420, 0);
            fade.setColorAt(0, QColor(0, 0, 0, 0));
            fade.setColorAt(1, QColor(0, 0, 0, 255));
            lp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            lp.fillRect(layer.rect(), fade);
        } else {
            PaintPattern(lp, number);
            QLinearGradient fade(0, 0, 0, kSkinPictureSize.height() - 1);
            fade.setColorAt(0, QColor(0, 0, 0, 255));
            fade.setColorAt(0.6, QColor(0, 0, 0, 160));
            fade.setColorAt(1, QColor(0, 0, 0, 0));
            lp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            lp.fillRect(layer.rect(), fade);
        }
    }
    p.drawImage(0, 0, layer);
    return image;
}

// The glyph of a caption button, centred in size.
void PaintGlyph(QPainter& p, CaptionGlyph glyph, const QSize& size, const QColor& color) {
    const QPointF c(size.width() / 2.0, size.height() / 2.0);
    p.setPen(QPen(color, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    switch (glyph) {
        case CaptionGlyph::Close:
            p.drawLine(c + QPointF(-4, -4), c + QPointF(4, 4));
            p.drawLine(c + QPointF(-4, 4), c + QPointF(4, -4));
            break;
        case CaptionGlyph::Maximize:
            p.drawRect(QRectF(c + QPointF(-4.5, -4), QSizeF(9, 8)));
            break;
        case CaptionGlyph::Restore:
            p.drawRect(QRectF(c + QPointF(-4.5, -2), QSizeF(7, 6)));
            p.drawPolyline(
                QPolygonF({c + QPointF(-2, -2), c + QPointF(-2, -4.5), c + QPointF(4.5, -4.5),
                           c + QPointF(4.5, 1.5), c + QPointF(2.5, 1.5)}));
            break;
        case CaptionGlyph::Minimize:
            p.drawLine(c + QPointF(-4.5, 3), c + QPointF(4.5, 3));
            break;
        case CaptionGlyph::Menu:
            for (int dy : {-3, 0, 3}) p.drawLine(c + QPointF(-5, dy), c + QPointF(5, dy));
            break;
        case CaptionGlyph::Help: {
            QPainterPath hook;
            hook.moveTo(c + QPointF(-3, -2.5));
            hook.cubicTo(c + QPointF(-3, -6.5), c + QPointF(3.5, -6.5), c + QPointF(3.5, -2.5));
            hook.cubicTo(c + QPointF(3.5, 0), c + QPointF(0, 0), c + QPointF(0, 2));
            p.drawPath(hook);
            p.drawPoint(c + QPointF(0, 5));
            break;
        }
    }
}

QImage DrawCaptionButton(CaptionGlyph glyph, int state, const QSize& size, bool onDark) {
    QImage image = Transparent(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (state > 0) {
        QColor fill = White(state == 1 ? 60 : 30);
        if (glyph == CaptionGlyph::Close)
            fill = state == 1 ? QColor(225, 60, 50, 220) : QColor(170, 35, 30, 230);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 2, 2);
    }
    const bool white = onDark || (glyph == CaptionGlyph::Close && state > 0);
    p.translate(0, 1);
    PaintGlyph(p, glyph, size, white ? QColor(0, 0, 0, 90) : QColor(255, 255, 255, 120));
    p.translate(0, -1);
    PaintGlyph(p, glyph, size, white ? QColor(Qt::white) : QColor(40, 45, 50));
    return image;
}

QImage DrawNavBackground(bool pressed) {
    QImage image = Transparent(QSize(76, 71));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, 71);
    fill.setColorAt(0, White(pressed ? 120 : 70));
    fill.setColorAt(1, White(pressed ? 60 : 25));
    p.setBrush(fill);
    p.setPen(QPen(White(pressed ? 190 : 120), 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, 75, 70), 4, 4);
    if (pressed) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0, 0, 0, 50), 1));
        p.drawRoundedRect(QRectF(1.5, 1.5, 73, 68), 3, 3);
    }
    return image;
}

QImage DrawSkinButtonIcon() {
    QImage image = Transparent(QSize(14, 14));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A small shirt.
    const QPolygonF shirt({{4.5, 1.5},
                           {1, 4},
                           {2.5, 6.5},
                           {3.5, 6},
                           {3.5, 12.5},
                           {10.5, 12.5},
                           {10.5, 6},
                           {11.5, 6.5},
                           {13, 4},
                           {9.5, 1.5},
                           {7, 3}});
    p.setPen(QPen(QColor(0, 0, 0, 120), 1));
    p.setBrush(Qt::white);
    p.drawPolygon(shirt);
    return image;
}

QImage DrawSkinButtonBackground(bool pressed) {
    QImage image = Transparent(QSize(28, 22));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(White(pressed ? 110 : 60));
    p.setPen(QPen(White(pressed ? 200 : 130), 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, 27, 21), 3, 3);
    return image;
}

QImage DrawResizeGrip() {
    QImage image = Transparent(QSize(9, 8));
    for (int y = 0; y < 8; y += 3) {
        for (int x = 0; x < 9; x += 3) {
            if (x + y < 6) continue;  // dots along the lower right triangle
            image.setPixelColor(x + 1, y + 1, QColor(255, 255, 255, 200));
            image.setPixelColor(x, y, QColor(0, 0, 0, 110));
        }
    }
    return image;
}

void FillDisc(QPainter& p, const QColor& light, const QColor& dark) {
    QLinearGradient fill(0, 2, 0, 38);
    fill.setColorAt(0, light);
    fill.setColorAt(1, dark);
    p.setPen(QPen(dark.darker(120), 1));
    p.setBrush(fill);
    p.drawEllipse(QRectF(2.5, 2.5, 35, 35));
}

QImage DrawMessageIcon(int number) {
    QImage image = Transparent(QSize(40, 40));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen stroke(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (number) {
        case 1:
            FillDisc(p, QColor(90, 200, 100), QColor(35, 140, 55));
            p.setPen(stroke);
            p.drawPolyline(QPolygonF({{11, 21}, {17.5, 27}, {29, 14}}));
            break;
        case 2: {
            QPainterPath triangle;
            triangle.moveTo(20, 3);
            triangle.lineTo(38, 36);
            triangle.lineTo(2, 36);
            triangle.closeSubpath();
            QLinearGradient fill(0, 3, 0, 36);
            fill.setColorAt(0, QColor(255, 214, 80));
            fill.setColorAt(1, QColor(235, 160, 20));
            p.setPen(QPen(QColor(190, 120, 10), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(fill);
            p.drawPath(triangle);
            p.setPen(QPen(QColor(60, 40, 0), 4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(20, 14), QPointF(20, 24));
            p.drawPoint(QPointF(20, 30.5));
            break;
        }
        case 3:
            FillDisc(p, QColor(240, 100, 90), QColor(185, 35, 30));
            p.setPen(stroke);
            p.drawLine(QPointF(13.5, 13.5), QPointF(26.5, 26.5));
            p.drawLine(QPointF(13.5, 26.5), QPointF(26.5, 13.5));
            break;
        case 4: {
            FillDisc(p, QColor(110, 170, 235), QColor(40, 100, 190));
            QPainterPath hook;
            hook.moveTo(14, 15);
            hook.cubicTo(14, 7.5, 26, 7.5, 26, 15);
            hook.cubicTo(26, 20, 20, 20, 20, 25);
            p.setPen(stroke);
            p.setBrush(Qt::NoBrush);
            p.drawPath(hook);
            p.drawPoint(QPointF(20, 31));
            break;
        }
        default:
            FillDisc(p, QColor(100, 165, 240), QColor(30, 95, 200));
            p.setPen(stroke);
            p.drawPoint(QPointF(20, 11.5));
            p.drawLine(QPointF(20, 18), QPointF(20, 29));
            break;
    }
    return image;
}

}  // namespace

QImage SkinPicture(int number) {
    if (number < 1 || number > kSkinPictureCount) number = 1;
    return DrawPicture(number);
}

QImage SkinThumbnail(int number) {
    static std::array<QImage, kSkinPictureCount> thumbnails;
    if (number < 1 || number > kSkinPictureCount) number = 1;
    QImage& thumbnail = thumbnails[number - 1];
    if (thumbnail.isNull()) {
        // The right end of the picture, where its decoration is, in the thumbnail's shape.
        const int width = 200 * kSkinThumbnailSize.width() / kSkinThumbnailSize.height();
        thumbnail =
            SkinPicture(number)
                .copy(kSkinPictureSize.width() - width, 5, width, 200)
                .scaled(kSkinThumbnailSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return thumbnail;
}

QImage CaptionButtonImage(CaptionGlyph glyph, int state, const QSize& size, bool onDark) {
    static QHash<quint64, QImage> cache;
    const quint64 key = (static_cast<quint64>(onDark) << 56) | (static_cast<quint64>(glyph) << 48) |
                        (static_cast<quint64>(state) << 40) |
                        (static_cast<quint64>(size.width()) << 20) |
                        static_cast<quint64>(size.height());
    auto it = cache.find(key);
    if (it == cache.end()) it = cache.insert(key, DrawCaptionButton(glyph, state, size, onDark));
    return *it;
}

QImage NavHoverBackground() {
    static const QImage image = DrawNavBackground(false);
    return image;
}

QImage NavPressedBackground() {
    static const QImage image = DrawNavBackground(true);
    return image;
}

QImage SkinButtonIcon() {
    static const QImage image = DrawSkinButtonIcon();
    return image;
}

QImage SkinButtonBackground(bool pressed) {
    static const QImage hover = DrawSkinButtonBackground(false);
    static const QImage down = DrawSkinButtonBackground(true);
    return pressed ? down : hover;
}

QImage ResizeGripImage() {
    static const QImage image = DrawResizeGrip();
    return image;
}

QImage MessageIcon(int number) {
    static std::array<QImage, 5> icons;
    if (number < 0 || number > 4) number = 0;
    if (icons[number].isNull()) icons[number] = DrawMessageIcon(number);
    return icons[number];
}

QFont SkinFont(int pixelSize, bool bold) {
    QFont font;
    font.setFamilies(
        {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Zen Hei")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}
