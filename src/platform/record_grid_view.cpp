// Geometry, scrolling, mouse, keyboard and cell editing of the record grid.
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>

#include "platform/record_grid.h"

namespace {

constexpr int kResizeGrip = 3;       // pixels either side of a header column edge
constexpr int kMinUserWidth = 2;     // a dragged column never vanishes
constexpr int kHorizontalStep = 20;  // pixels per scroll-bar step

int ButtonCode(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return RecordGrid::kLeftButton;
        case Qt::RightButton:
            return RecordGrid::kRightButton;
        case Qt::MiddleButton:
            return RecordGrid::kMiddleButton;
        default:
            return 0;
    }
}

int ShiftCode(Qt::KeyboardModifiers modifiers) {
    int code = 0;
    if (modifiers & Qt::ShiftModifier) code |= RecordGrid::kShiftKey;
    if (modifiers & Qt::ControlModifier) code |= RecordGrid::kCtrlKey;
    if (modifiers & Qt::AltModifier) code |= RecordGrid::kAltKey;
    return code;
}

}  // namespace

int RecordGrid::HeightOf(int row) const {
    // A source's rows are of the default height: measuring them reads none.
    const int own = OwnRow(row);
    const int height = own < 0 ? -1 : store_.Height(own);
    return height < 0 ? defaultRowHeight_ : height;
}

int RecordGrid::TotalWidth() const {
    int total = 0;
    for (const ColumnInfo& column : columns_) total += column.width;
    return total;
}

int RecordGrid::WidthOf(int col) const {
    int width = columns_[col].width;
    if (extendLastCol_ && col == Cols() - 1 && width > 0)
        width += std::max(0, viewport()->width() - TotalWidth());
    return width;
}

int RecordGrid::ColumnLeft(int col) const {
    if (col == 0) return 0;
    int x = columns_[0].width - horizontalScrollBar()->value();
    for (int c = 1; c < col; ++c) x += columns_[c].width;
    return x;
}

int RecordGrid::TopRow() const {
    return std::min(ScrollFirst() + verticalScrollBar()->value(), ScrollEnd());
}

int RecordGrid::AvailableHeight() const {
    int used = 0;
    for (int r = 0; r < ScrollFirst(); ++r) used += HeightOf(r);
    for (int r = ScrollEnd(); r < Rows(); ++r) used += HeightOf(r);
    return std::max(0, viewport()->height() - used);
}

std::vector<RecordGrid::Band> RecordGrid::Bands() const {
    const int viewHeight = viewport()->height();
    std::vector<Band> bands(3);
    Band& fixed = bands[0];
    int y = 0;
    for (int r = 0; r < ScrollFirst() && y < viewHeight; ++r) {
        fixed.rows.push_back({r, y, HeightOf(r)});
        y += HeightOf(r);
    }
    fixed.bottom = std::min(y, viewHeight);

    int frozenHeight = 0;
    for (int r = ScrollEnd(); r < Rows(); ++r) frozenHeight += HeightOf(r);
    const int limit = std::max(fixed.bottom, viewHeight - frozenHeight);
    Band& scrolling = bands[1];
    scrolling.top = fixed.bottom;
    y = scrolling.top;
    for (int r = TopRow(); r < ScrollEnd() && y < limit; ++r) {
        scrolling.rows.push_back({r, y, HeightOf(r)});
        y += HeightOf(r);
    }
    // The frozen rows follow the last row, or stay at the bottom when the rows overflow.
    scrolling.bottom = std::min(y, limit);

    Band& frozen = bands[2];
    frozen.top = scrolling.bottom;
    y = frozen.top;
    for (int r = ScrollEnd(); r < Rows() && y < viewHeight; ++r) {
        frozen.rows.push_back({r, y, HeightOf(r)});
        y += HeightOf(r);
    }
    frozen.bottom = std::min(y, viewHeight);
    return bands;
}

void RecordGrid::UpdateScrollBars() {
    const int available = AvailableHeight();
    int fitting = 0;
    int used = 0;
    for (int r = ScrollEnd() - 1; r >= ScrollFirst(); --r) {
        used += HeightOf(r);
        if (used > available) break;
        ++fitting;
    }
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, ScrollEnd() - ScrollFirst() - fitting);
    vertical->setPageStep(std::max(1, available / std::max(1, defaultRowHeight_)));
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, TotalWidth() - viewport()->width()));
    horizontal->setPageStep(std::max(1, viewport()->width()));
    horizontal->setSingleStep(kHorizontalStep);
}

void RecordGrid::ScrollToRow(int row) {
    if (row < ScrollFirst() || row >= ScrollEnd()) return;
    if (layoutPending_) UpdateScrollBars();
    if (row < TopRow()) {
        verticalScrollBar()->setValue(row - ScrollFirst());
        return;
    }
    const int available = AvailableHeight();
    int used = 0;
    for (int r = TopRow(); r <= row; ++r) used += HeightOf(r);
    if (used <= available) return;
    // Make row the last one that shows whole.
    int top = row;
    used = HeightOf(row);
    while (top > ScrollFirst() && used + HeightOf(top - 1) <= available) used += HeightOf(--top);
    verticalScrollBar()->setValue(top - ScrollFirst());
}

int RecordGrid::RowAt(int y) const {
    for (const Band& band : Bands()) {
        if (y < band.top || y >= band.bottom) continue;
        for (const BandRow& row : band.rows)
            if (y < row.top + row.height) return row.row;
    }
    return -1;
}

int RecordGrid::ColAt(int x) const {
    if (x < 0 || Cols() == 0) return -1;
    if (x < columns_[0].width) return 0;
    for (int c = 1; c < Cols(); ++c) {
        const int left = ColumnLeft(c);
        const int width = WidthOf(c);
        if (width > 0 && x >= left && x < left + width) return c;
    }
    return -1;
}

int RecordGrid::ResizeColumnAt(const QPoint& pos) const {
    if (!allowUserResizing_ || pos.y() < 0 || pos.y() >= Bands()[0].bottom) return -1;
    // Hidden columns are skipped: dragging must not bring a hidden column back.
    for (int c = Cols() - 1; c >= 0; --c) {
        const int width = WidthOf(c);
        if (width == 0) continue;
        const int right = ColumnLeft(c) + width;
        if (c > 0 && right <= columns_[0].width) continue;  // scrolled under column 0
        if (std::abs(pos.x() - right) <= kResizeGrip) return c;
    }
    return -1;
}

QRect RecordGrid::AreaRect(const CellArea& area, const Band& band) const {
    const int left = ColumnLeft(area.left);
    const int right = ColumnLeft(area.right) + WidthOf(area.right);
    const auto inside = std::find_if(band.rows.begin(), band.rows.end(), [&](const BandRow& r) {
        return r.row >= area.top && r.row <= area.bottom;
    });
    if (inside == band.rows.end()) return {};
    int top = inside->top;
    for (int r = inside->row - 1; r >= area.top; --r) top -= HeightOf(r);
    int bottom = inside->top;
    for (int r = inside->row; r <= area.bottom; ++r) bottom += HeightOf(r);
    return QRect(left, top, right - left, bottom - top);
}

QRect RecordGrid::CellRect(int row, int col) const {
    if (row < 0 || row >= Rows() || col < 0 || col >= Cols()) return {};
    const CellArea area = MergeAreaOf(row, col);
    for (const Band& band : Bands()) {
        const bool holds = std::any_of(band.rows.begin(), band.rows.end(),
                                       [row](const BandRow& r) { return r.row == row; });
        if (!holds) continue;
        const QRect rect = AreaRect(area, band);
        return rect.width() > 0 ? rect.translated(viewport()->pos()) : QRect();
    }
    return {};
}

QString RecordGrid::ShownText(int row, int col) const {
    const QRect rect = CellRect(row, col);
    if (rect.isEmpty()) return {};
    const CellArea area = MergeAreaOf(row, col);
    QFont cellFont = font();
    cellFont.setBold(StyleAt(area.top, area.left).bold);
    const int width = TextRect(area, rect).width();
    cellFont = CellFont(area.top, area.left, cellFont, width);
    bool cut = false;
    return FittedText(area.top, area.left, TextAt(area.top, area.left), cellFont, width, &cut);
}

QString RecordGrid::CellToolTip(int row, int col) const {
    const CellArea area = MergeAreaOf(row, col);
    const QString text = TextAt(area.top, area.left);
    return ShownText(row, col) == text ? QString() : text;
}

bool RecordGrid::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QAbstractScrollArea::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const int row = RowAt(help->pos().y());
    const int col = ColAt(help->pos().x());
    const QString tip = row >= 0 && col >= 0 ? CellToolTip(row, col) : QString();
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), tip, viewport());
    return true;
}

void RecordGrid::UpdateMouseCell(const QPoint& viewportPos) {
    mouseRow_ = RowAt(viewportPos.y());
    mouseCol_ = ColAt(viewportPos.x());
    if (mouseRow_ < 0 || mouseCol_ < 0) mouseRow_ = mouseCol_ = -1;
}

void RecordGrid::HitTest(int x, int y) {
    UpdateMouseCell(QPoint(x, y) - viewport()->pos());
}

std::pair<int, int> RecordGrid::CellAt(int x, int y) const {
    const QPoint pos = QPoint(x, y) - viewport()->pos();
    return {RowAt(pos.y()), ColAt(pos.x())};
}

void RecordGrid::resizeEvent(QResizeEvent* event) {
    FinishEdit(true);
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void RecordGrid::scrollContentsBy(int, int) {
    FinishEdit(true);
    viewport()->update();
}

void RecordGrid::UserSort(int row, int col) {
    if (!allowUserSort_ || col < 1) return;
    const CellArea merge = MergeAreaOf(row, col);
    // A group caption over several columns names no one column to sort by.
    if (merge.left != merge.right) return;
    const int order =
        columns_[col].sortIndicator == cellSortIndicatorAscending ? cellDescending : cellAscending;
    for (ColumnInfo& column : columns_) column.sortIndicator = cellSortIndicatorNone;
    columns_[col].sortIndicator =
        order == cellAscending ? cellSortIndicatorAscending : cellSortIndicatorDescending;
    SortRows(col, order, true);
    viewport()->update();
}

void RecordGrid::mousePressEvent(QMouseEvent* event) {
    FinishEdit(true);
    const QPoint pos = event->position().toPoint();
    UpdateMouseCell(pos);
    pressedHeaderRow_ = pressedHeaderCol_ = -1;
    if (event->button() != Qt::LeftButton) return;
    const int resizeCol = ResizeColumnAt(pos);
    if (resizeCol >= 0) {
        resizingCol_ = resizeCol;
        resizeStartX_ = pos.x();
        resizeStartWidth_ = WidthOf(resizeCol);
        return;
    }
    if (mouseRow_ < 0) return;
    if (mouseRow_ < fixedRows_) {
        pressedHeaderRow_ = mouseRow_;
        pressedHeaderCol_ = mouseCol_;
        return;
    }
    // The lists select one record at a time: Shift and a drag select the row under the mouse.
    Cell(mouseRow_, mouseCol_).SetFocus();
}

void RecordGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (resizingCol_ >= 0) {
        columns_[resizingCol_].width =
            std::max(kMinUserWidth, resizeStartWidth_ + pos.x() - resizeStartX_);
        Changed();
        return;
    }
    UpdateMouseCell(pos);
    if (event->buttons() == Qt::NoButton) {
        if (ResizeColumnAt(pos) >= 0)
            viewport()->setCursor(Qt::SplitHCursor);
        else
            viewport()->unsetCursor();
    }
}

void RecordGrid::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    UpdateMouseCell(pos);
    if (resizingCol_ >= 0) {
        resizingCol_ = -1;
    } else if (event->button() == Qt::LeftButton && pressedHeaderRow_ >= 0 &&
               mouseRow_ == pressedHeaderRow_ && mouseCol_ == pressedHeaderCol_) {
        UserSort(mouseRow_, mouseCol_);
    }
    pressedHeaderRow_ = pressedHeaderCol_ = -1;
    const QPoint gridPos = pos + viewport()->pos();
    emit MouseUp(ButtonCode(event->button()), ShiftCode(event->modifiers()), gridPos.x(),
                 gridPos.y());
}

void RecordGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    FinishEdit(true);
    const QPoint pos = event->position().toPoint();
    UpdateMouseCell(pos);
    if (event->button() != Qt::LeftButton || ResizeColumnAt(pos) >= 0) return;
    if (IsSelectable(mouseRow_)) Cell(mouseRow_, mouseCol_).SetFocus();
    emit DblClick();
}

void RecordGrid::MoveToRow(int row) {
    if (Rows() <= fixedRows_) return;
    row = std::clamp(row, fixedRows_, Rows() - 1);
    int col = activeCol_;
    if (col < 0) {
        col = 1;
        while (col < Cols() - 1 && columns_[col].width == 0) ++col;
    }
    Cell(row, std::min(col, Cols() - 1)).SetFocus();
}

void RecordGrid::MoveToCol(int step) {
    if (activeRow_ < 0) return;
    for (int c = activeCol_ + step; c >= 1 && c < Cols(); c += step) {
        if (columns_[c].width > 0) {
            SelectRows(selFirst_, selLast_, activeRow_, c);
            return;
        }
    }
}

void RecordGrid::keyPressEvent(QKeyEvent* event) {
    const int page = verticalScrollBar()->pageStep();
    const int current = activeRow_ < 0 ? fixedRows_ - 1 : activeRow_;
    switch (event->key()) {
        case Qt::Key_Up:
            MoveToRow(activeRow_ < 0 ? fixedRows_ : current - 1);
            return;
        case Qt::Key_Down:
            MoveToRow(current + 1);
            return;
        case Qt::Key_PageUp:
            MoveToRow(current - page);
            return;
        case Qt::Key_PageDown:
            MoveToRow(current + page);
            return;
        case Qt::Key_Home:
            MoveToRow(fixedRows_);
            return;
        case Qt::Key_End:
            MoveToRow(Rows() - 1);
            return;
        case Qt::Key_Left:
            MoveToCol(-1);
            return;
        case Qt::Key_Right:
            MoveToCol(1);
            return;
        case Qt::Key_F2:
            BeginEdit(QString());
            return;
        case Qt::Key_Menu:
            OpenMenuByKey();
            return;
        case Qt::Key_F10:
            if (event->modifiers() & Qt::ShiftModifier) {
                OpenMenuByKey();
                return;
            }
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (IsSelectable(activeRow_)) {
                emit DblClick();
                return;
            }
            break;
        default:
            break;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && typed[0].isPrint() && !(event->modifiers() & Qt::ControlModifier) &&
        CanEdit(activeRow_, activeCol_)) {
        BeginEdit(typed);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

// The list's context menu for keyboard users: the pages open it on a right button release, so
// one is reported at the centre of the current cell, or of the first row below the header
// when none is current (an empty list still has its totals row there).
void RecordGrid::OpenMenuByKey() {
    FinishEdit(true);
    const int row = IsSelectable(activeRow_) ? activeRow_ : fixedRows_;
    if (row >= Rows()) return;
    int col = activeCol_;
    if (col < 1 || col >= Cols() || columns_[col].width == 0) {
        col = 1;
        while (col < Cols() - 1 && columns_[col].width == 0) ++col;
    }
    ScrollToRow(row);
    const QPoint centre = CellRect(row, col).center();
    HitTest(centre.x(), centre.y());
    emit MouseUp(kRightButton, 0, centre.x(), centre.y());
}

bool RecordGrid::CanEdit(int row, int col) const {
    return !readOnly_ && IsSelectable(row) && col >= 1 && col < Cols() && columns_[col].width > 0 &&
           !StyleAt(row, col).locked && MergeIndex(row, col) < 0;
}

// typed: the first character typed, which replaces the text; null keeps the text (F2).
void RecordGrid::BeginEdit(const QString& typed) {
    if (editor_ || !CanEdit(activeRow_, activeCol_)) return;
    ScrollToRow(activeRow_);
    const QRect rect = CellRect(activeRow_, activeCol_).translated(-viewport()->pos());
    if (rect.isEmpty()) return;
    auto* editor = new QLineEdit(viewport());
    if (columns_[activeCol_].mask == cellValue) {
        const int decimals = columns_[activeCol_].decimalLength;
        const QString pattern = decimals > 0 ? QStringLiteral("-?\\d*(\\.\\d{0,%1})?").arg(decimals)
                                             : QStringLiteral("-?\\d*(\\.\\d*)?");
        editor->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), editor));
        QString probe = typed;
        int at = 0;
        if (!typed.isNull() && editor->validator()->validate(probe, at) == QValidator::Invalid) {
            delete editor;
            return;
        }
    }
    editor->setFrame(false);
    editor->setFont(font());
    editor->setGeometry(rect);
    editor->setText(typed.isNull() ? CellText(activeRow_, activeCol_) : typed);
    editRow_ = activeRow_;
    editCol_ = activeCol_;
    editor_ = editor;
    editor->installEventFilter(this);
    connect(editor, &QLineEdit::editingFinished, this, [this] { FinishEdit(true); });
    editor->show();
    editor->setFocus();
}

void RecordGrid::FinishEdit(bool commit) {
    if (!editor_) return;
    QLineEdit* editor = editor_;
    editor_ = nullptr;
    editor->disconnect(this);
    editor->removeEventFilter(this);
    const bool hadFocus = editor->hasFocus();
    const QString text = editor->text();
    editor->hide();
    editor->deleteLater();
    if (commit) SetCellText(editRow_, editCol_, text);
    if (hadFocus) setFocus();
}

bool RecordGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        FinishEdit(false);
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}
