#include "platform/color_box.h"

#include <QPainter>
#include <QStyleOptionButton>

#include "platform/dialogs.h"
#include "platform/record_grid.h"

ColorBox::ColorBox(QWidget* parent) : QPushButton(parent) {
    connect(this, &QPushButton::clicked, this, &ColorBox::Pick);
}

void ColorBox::SetColor(qint64 color) {
    color_ = color;
    update();
}

void ColorBox::Pick() {
    if (const std::optional<QColor> picked = Dialogs().PickColor(this, WinColor(color_)))
        SetColor(WinColorValue(*picked));
}

void ColorBox::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    QPainter painter(this);
    const QRect swatch = rect().adjusted(4, 4, -5, -5);
    painter.fillRect(swatch, WinColor(color_));
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(swatch);
}
