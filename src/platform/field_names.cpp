#include "platform/field_names.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTextEdit>
#include <limits>

namespace {

// How far a label may stand from its field, in pixels.
constexpr int kBeside = 80;
constexpr int kAbove = 24;
constexpr int kSlack = 4;

bool IsCheck(const QWidget* widget) {
    return qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget);
}

bool IsField(const QWidget* widget) {
    const QWidget* parent = widget->parentWidget();
    if (qobject_cast<const QLineEdit*>(widget))  // not the edit box inside a combo or spin box
        return !qobject_cast<const QComboBox*>(parent) &&
               !qobject_cast<const QAbstractSpinBox*>(parent);
    if (IsCheck(widget)) return static_cast<const QAbstractButton*>(widget)->text().isEmpty();
    return qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget) ||
           qobject_cast<const QTextEdit*>(widget) || qobject_cast<const QPlainTextEdit*>(widget);
}

QString LabelName(const QLabel* label) {
    QString text = label->text();
    text.remove(QLatin1Char('&'));
    text = text.simplified();
    // Blanks that spread out a short caption ("密  码"), not those between words.
    text.replace(QRegularExpression(QStringLiteral("(?<=[^\\x00-\\x7f]) (?=[^\\x00-\\x7f])")),
                 QString());
    while (text.endsWith(u'：') || text.endsWith(u':')) text.chop(1);
    return text;
}

QLabel* LabelFor(const QWidget* field) {
    const QRect f = field->geometry();
    const bool check = IsCheck(field);
    QLabel* best = nullptr;
    int bestDistance = std::numeric_limits<int>::max();
    QLabel* above = nullptr;
    int aboveDistance = std::numeric_limits<int>::max();
    for (QLabel* label : field->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->isHidden() || LabelName(label).isEmpty()) continue;
        const QRect l = label->geometry();
        const int middle = l.center().y();
        if (middle >= f.top() - kSlack && middle <= f.bottom() + kSlack) {
            const int distance = check ? l.left() - f.right() : f.left() - l.right();
            if (distance >= -kSlack && distance <= kBeside && distance < bestDistance) {
                best = label;
                bestDistance = distance;
            }
        }
        const int gap = f.top() - l.bottom();
        if (gap >= -kSlack && gap <= kAbove && l.left() < f.right() && l.right() > f.left() &&
            gap < aboveDistance) {
            above = label;
            aboveDistance = gap;
        }
    }
    return best ? best : above;
}

class FieldNamer : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->isWindow()) NameFieldsByLabels(widget);
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void NameFieldsByLabels(QWidget* window) {
    for (QWidget* field : window->findChildren<QWidget*>()) {
        if (!field->accessibleName().isEmpty() || !IsField(field)) continue;
        QLabel* label = LabelFor(field);
        if (!label) continue;
        field->setAccessibleName(LabelName(label));
        // A reader on Linux names a combo box by its text and says its label from the buddy.
        if (!label->buddy()) label->setBuddy(field);
    }
}

void NameFieldsOfEveryWindow() {
    static FieldNamer* namer = nullptr;
    if (namer || !qApp) return;
    namer = new FieldNamer(qApp);
    qApp->installEventFilter(namer);
}
