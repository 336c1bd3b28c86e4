#include "platform/placement.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <algorithm>

#include "common/date_text.h"

QLabel* PlaceLabel(QWidget* parent, const QString& text, int x, int y, int w, int h,
                   Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, w, h);
    label->setAlignment(alignment);
    return label;
}

namespace {

class TypedDateBox final : public QDateEdit {
  public:
    using QDateEdit::QDateEdit;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->text().size() == 1 && event->text().front().isDigit() &&
            lineEdit()->selectedText() == text())
            setSelectedSection(sectionAt(0));
        QDateEdit::keyPressEvent(event);
    }
};

}  // namespace

QDateEdit* NewDateBox(QWidget* parent, const QString& name, const QString& format) {
    auto* box = new TypedDateBox(parent);
    box->setObjectName(name);
    box->setCalendarPopup(true);
    box->setDisplayFormat(format);
    box->setDate(CurrentDateTime().date());
    return box;
}

QDateEdit* PlaceDateBox(QWidget* parent, const QString& name, int x, int y, int w, int h) {
    QDateEdit* box = NewDateBox(parent, name, QStringLiteral("yyyy-M-d"));
    box->setGeometry(x, y, w, h);
    return box;
}

QComboBox* PlaceSearchCombo(QWidget* parent, const QString& name, int x, int y, int w, int h) {
    auto* box = Place<QComboBox>(parent, name, x, y, w, h);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    return box;
}

void KeepOnScreen(QWidget* window) {
    QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    const QScreen* screen = owner ? owner->screen() : window->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    // Right and bottom first, so that a window too large for the area keeps its top left.
    const int x = std::max(area.left(), std::min(frame.left(), area.right() - frame.width() + 1));
    const int y = std::max(area.top(), std::min(frame.top(), area.bottom() - frame.height() + 1));
    if (x != frame.left() || y != frame.top()) window->move(x, y);
}

namespace {

// Show events reach a window before it is mapped: moved then, it never appears off screen.
class OnScreenKeeper final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            // Menus and pop-up lists place themselves.
            if (widget->isWindow() &&
                !(widget->windowType() == Qt::Popup || widget->windowType() == Qt::ToolTip))
                KeepOnScreen(widget);
        }
        return false;
    }
};

}  // namespace

void KeepWindowsOnScreen() {
    static OnScreenKeeper* keeper = nullptr;
    if (keeper || !qApp) return;
    keeper = new OnScreenKeeper(qApp);
    qApp->installEventFilter(keeper);
}
