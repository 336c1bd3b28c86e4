#include "app/app_images.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

QFont GlyphFont(int pixels, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("sans-serif")});
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A rounded tile in a colour with one white glyph on it.
QImage Tile(int size, const QColor& colour, const QString& glyph) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, size);
    fill.setColorAt(0, colour.lighter(135));
    fill.setColorAt(1, colour.darker(115));
    QPainterPath tile;
    const qreal margin = size / 16.0;
    tile.addRoundedRect(QRectF(margin, margin, size - 2 * margin, size - 2 * margin), size / 5.0,
                        size / 5.0);
    p.fillPath(tile, fill);
    p.setPen(QPen(colour.darker(150), 1));
    p.drawPath(tile);
    p.setPen(Qt::white);
    p.setFont(GlyphFont(size * 9 / 16, true));
    p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, glyph);
    return image;
}

}  // namespace

QImage ProgramIconImage(int size) {
    return Tile(size, QColor(58, 153, 213), QStringLiteral("岚"));
}

QIcon ProgramIcon() {
    static const QIcon icon = [] {
        QIcon i;
        for (int size : {16, 32, 64}) i.addPixmap(QPixmap::fromImage(ProgramIconImage(size)));
        return i;
    }();
    return icon;
}

QImage NavIcon(int index) {
    static const struct {
        const char16_t* glyph;
        QRgb colour;
    } icons[] = {
        {u"库", 0x2f8fd8}, {u"销", 0xe0752d}, {u"图", 0x3fae5a}, {u"收", 0xc9a227},
        {u"存", 0x8a5cc2}, {u"汇", 0x2aa198}, {u"设", 0x6c7a89}, {u"用", 0xd0485a},
        {u"数", 0x4a6fa5}, {u"关", 0x7fa33a},
    };
    if (index < 0 || index > 9) return QImage();
    const int size = (index == 6 || index == 8) ? 32 : 64;
    return Tile(size, QColor(icons[index].colour), QString::fromUtf16(icons[index].glyph));
}

QImage WelcomePicture() {
    QImage image(640, 416, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 416);
    sky.setColorAt(0, QColor(224, 239, 250));
    sky.setColorAt(1, QColor(150, 196, 232));
    p.fillRect(image.rect(), sky);
    p.drawImage(QPoint(288, 90), ProgramIconImage(64));
    p.setPen(QColor(30, 70, 120));
    p.setFont(GlyphFont(30, true));
    p.drawText(QRect(0, 180, 640, 50), Qt::AlignCenter, QStringLiteral("岚库通进销存管理系统"));
    p.setFont(GlyphFont(16, false));
    p.drawText(QRect(0, 240, 640, 30), Qt::AlignCenter,
               QStringLiteral("商品入库 · 销售开单 · 收支存款 · 统计报表"));
    p.drawText(QRect(0, 340, 640, 30), Qt::AlignCenter, QStringLiteral("岚库通团队制作"));
    return image;
}
