// Painting of the record grid: only the rows in view, band by band, and the row markers.
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "common/number_text.h"
#include "platform/record_grid.h"

namespace {

const QColor kFixedBack(0xF0, 0xF0, 0xF0);
const QColor kFixedLine(0xA0, 0xA0, 0xA0);
const QColor kBorderLine(0x40, 0x40, 0x40);
constexpr int kTextMargin = 3;
constexpr int kMarkerSize = 16;

Qt::Alignment QtAlignment(int alignment) {
    Qt::Alignment result;
    switch (alignment & 12) {
        case 8:
            result = Qt::AlignHCenter;
            break;
        case 12:
            result = Qt::AlignRight;
            break;
        default:
            result = Qt::AlignLeft;
            break;
    }
    switch (alignment & 3) {
        case 1:
            return result | Qt::AlignTop;
        case 3:
            return result | Qt::AlignBottom;
        default:
            return result | Qt::AlignVCenter;
    }
}

// A right-pointing arrow: the goods list.
QPixmap StockMarker() {
    QPixmap pixmap(kMarkerSize, kMarkerSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    arrow.moveTo(2, 5.5);
    arrow.lineTo(8, 5.5);
    arrow.lineTo(8, 2);
    arrow.lineTo(14.5, 8);
    arrow.lineTo(8, 14);
    arrow.lineTo(8, 10.5);
    arrow.lineTo(2, 10.5);
    arrow.closeSubpath();
    QLinearGradient fill(0, 2, 0, 14);
    fill.setColorAt(0, QColor(0x66, 0xBB, 0x6A));
    fill.setColorAt(1, QColor(0x1B, 0x5E, 0x20));
    p.setPen(QPen(QColor(0x10, 0x40, 0x14), 1));
    p.setBrush(fill);
    p.drawPath(arrow);
    return pixmap;
}

// A pencil: the sales and the income and expense lists.
QPixmap RecordMarker() {
    QPixmap pixmap(kMarkerSize, kMarkerSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QPolygonF body{{2.5, 10.5}, {10, 3}, {13, 6}, {5.5, 13.5}};
    const QPolygonF eraser{{10, 3}, {11.5, 1.5}, {14.5, 4.5}, {13, 6}};
    const QPolygonF tip{{2.5, 10.5}, {5.5, 13.5}, {1.5, 14.5}};
    p.setPen(QPen(QColor(0x6D, 0x4C, 0x00), 1));
    p.setBrush(QColor(0xF2, 0xC9, 0x4C));
    p.drawPolygon(body);
    p.setBrush(QColor(0xE5, 0x73, 0x73));
    p.drawPolygon(eraser);
    p.setBrush(QColor(0x42, 0x42, 0x42));
    p.drawPolygon(tip);
    return pixmap;
}

}  // namespace

void RecordGrid::paintEvent(QPaintEvent*) {
    if (!autoRedraw_) return;
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), WinColor(backColorBkg_));
    if (Cols() == 0) return;
    const int viewWidth = viewport()->width();
    const int fixedWidth = std::min(columns_[0].width, viewWidth);
    for (const Band& band : Bands()) {
        if (band.rows.empty() || band.bottom <= band.top) continue;
        const int height = band.bottom - band.top;
        PaintBand(painter, band, QRect(fixedWidth, band.top, viewWidth - fixedWidth, height),
                  false);
        PaintBand(painter, band, QRect(0, band.top, fixedWidth, height), true);
    }
}

void RecordGrid::PaintBand(QPainter& painter, const Band& band, const QRect& clip,
                           bool fixedColumn) {
    if (clip.isEmpty()) return;
    std::vector<int> cols;
    if (fixedColumn) {
        cols.push_back(0);
    } else {
        for (int c = 1; c < Cols(); ++c) {
            const int left = ColumnLeft(c);
            const int width = WidthOf(c);
            if (left > clip.right()) break;
            if (width > 0 && left + width > clip.left()) cols.push_back(c);
        }
    }
    painter.save();
    painter.setClipRect(clip);
    const std::vector<CellArea> merges = Merges();
    std::vector<bool> mergePainted(merges.size());
    for (const BandRow& bandRow : band.rows) {
        for (int c : cols) {
            const int merge = MergeIndex(bandRow.row, c);
            CellArea area{bandRow.row, c, bandRow.row, c};
            QRect rect(ColumnLeft(c), bandRow.top, WidthOf(c), bandRow.height);
            if (merge >= 0) {
                if (mergePainted[merge]) continue;
                mergePainted[merge] = true;
                area = merges[merge];
                rect = AreaRect(area, band);
            }
            if (rect.width() <= 0 || rect.height() <= 0) continue;
            PaintCell(painter, area, rect);
            painter.save();
            emit OwnerDrawCell(area.top, area.left, painter, rect);
            painter.restore();
        }
    }
    if (!fixedColumn) PaintSelectionFrame(painter, band);
    painter.restore();
}

QColor RecordGrid::CellBackground(int row, int col, const CellStyle& style, bool* own) const {
    *own = style.back >= 0;
    if (*own) return WinColor(style.back);
    if (row < fixedRows_ || col == 0) return kFixedBack;
    return WinColor((row - fixedRows_) % 2 == 0 ? backColor1_ : backColor2_);
}

int RecordGrid::EffectiveAlignment(int col, const CellStyle& style) const {
    if (style.align > 0) return style.align;
    return columns_[col].alignment;
}

void RecordGrid::PaintCell(QPainter& painter, const CellArea& area, const QRect& rect) {
    const int row = area.top;
    const int col = area.left;
    const CellStyle style = StyleAt(row, col);
    const bool fixed = row < fixedRows_ || col == 0;
    bool own = false;
    QColor back = CellBackground(row, col, style, &own);
    if (!fixed && row >= selFirst_ && row <= selLast_ && selFirst_ >= 0)
        back = WinColor(row == activeRow_ && col == activeCol_ ? backColorActiveCellSel_
                                                               : backColorSel_);
    painter.fillRect(rect, back);

    if (fixed || !(hideGridLines_ && own)) {
        painter.setPen(fixed ? kFixedLine : WinColor(gridColor_));
        painter.drawLine(rect.topRight(), rect.bottomRight());
        painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    }
    painter.setPen(kBorderLine);
    if (style.rightBorder) painter.drawLine(rect.topRight(), rect.bottomRight());
    if (style.bottomBorder) painter.drawLine(rect.bottomLeft(), rect.bottomRight());

    const QRect textRect = TextRect(area, rect);
    const int indicator = columns_[col].sortIndicator;
    if (ShowsSortIndicator(area)) {
        // A small triangle at the right of the lowest header cell.
        const int cx = rect.right() - 7;
        const int cy = rect.center().y();
        const QPolygon triangle =
            indicator == cellSortIndicatorAscending
                ? QPolygon({QPoint(cx - 4, cy + 2), QPoint(cx + 4, cy + 2), QPoint(cx, cy - 2)})
                : QPolygon({QPoint(cx - 4, cy - 2), QPoint(cx + 4, cy - 2), QPoint(cx, cy + 2)});
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x60, 0x60, 0x60));
        painter.drawPolygon(triangle);
        painter.restore();
    }

    if (EmptyAt(row, col)) return;
    QFont cellFont = font();
    cellFont.setBold(style.bold);
    cellFont = CellFont(row, col, cellFont, textRect.width());
    painter.setFont(cellFont);
    painter.setPen(style.fore >= 0 ? WinColor(style.fore) : QColor(Qt::black));
    bool cut = false;
    const QString shown = FittedText(row, col, TextAt(row, col), cellFont, textRect.width(), &cut);
    painter.drawText(textRect,
                     int(QtAlignment(EffectiveAlignment(col, style))) | Qt::TextSingleLine, shown);
}

QRect RecordGrid::TextRect(const CellArea& area, const QRect& rect) const {
    QRect textRect = rect.adjusted(kTextMargin, 0, -kTextMargin, -1);
    if (ShowsSortIndicator(area)) textRect.setRight(textRect.right() - 12);
    return textRect;
}

bool RecordGrid::ShowsSortIndicator(const CellArea& area) const {
    return columns_[area.left].sortIndicator != cellSortIndicatorNone && area.left == area.right &&
           area.top <= fixedRows_ - 1 && area.bottom >= fixedRows_ - 1;
}

bool RecordGrid::IsFigure(int row, int col) const {
    if (CellKindAt(row, col) == CellKind::Number) return true;
    return row >= fixedRows_ && columns_[col].mask == cellValue &&
           CellKindAt(row, col) == CellKind::Text && IsNumberText(RawTextAt(row, col).toString());
}

QFont RecordGrid::CellFont(int row, int col, QFont font, int width) const {
    if (row < Rows() - frozenBottomRows_ || !IsFigure(row, col)) return font;
    const QString text = TextAt(row, col);
    if (font.pointSizeF() <= 0) font.setPointSizeF(QFontInfo(font).pointSizeF());
    while (QFontMetrics(font).horizontalAdvance(text) > width && font.pointSizeF() > 5)
        font.setPointSizeF(std::max(5.0, font.pointSizeF() - 0.5));
    return font;
}

QString RecordGrid::FittedText(int row, int col, const QString& text, const QFont& font, int width,
                               bool* cut) const {
    const QFontMetrics metrics(font);
    *cut = metrics.horizontalAdvance(text) > width;
    if (!*cut) return text;
    // A figure cut to the digits that fit would be a different figure.
    if (IsFigure(row, col)) {
        const int hash = std::max(metrics.horizontalAdvance(u'#'), 1);
        return QString(std::max(1, width / hash), u'#');
    }
    return metrics.elidedText(text, Qt::ElideRight, width);
}

void RecordGrid::PaintSelectionFrame(QPainter& painter, const Band& band) {
    if (selFirst_ < 0) return;
    int top = -1;
    int bottom = -1;
    for (const BandRow& r : band.rows) {
        if (r.row < selFirst_ || r.row > selLast_) continue;
        if (top < 0) top = r.top;
        bottom = r.top + r.height;
    }
    if (top < 0) return;
    const int left = ColumnLeft(1);
    const int right = ColumnLeft(Cols() - 1) + WidthOf(Cols() - 1);
    if (right <= left) return;
    painter.setPen(QPen(WinColor(selectionBorderColor_), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(left, top, right - left, bottom - top).adjusted(1, 1, -1, -1));
}

bool RecordGrid::DrawRowMarker(int row, int col, QPainter& painter, const QRect& cell,
                               RowMarker marker) const {
    if (col != 0 || row <= 0 || row != selFirst_) return false;
    static const QPixmap stock = StockMarker();
    static const QPixmap record = RecordMarker();
    painter.drawPixmap(cell.x() + (cell.width() - kMarkerSize) / 2,
                       cell.y() + (cell.height() - kMarkerSize) / 2,
                       marker == RowMarker::Stock ? stock : record);
    return true;
}
