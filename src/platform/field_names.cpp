#include "platform/field_names.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
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

// A control the keyboard reaches that a reader would say nothing of: a field, list or
// drawn control without a name, or a button without a text. A combo box's text is its value,
// which Linux readers say as its name: only its own name counts.
bool NeedsName(QWidget* widget) {
    if (!(widget->focusPolicy() & Qt::TabFocus) || widget->focusProxy() ||
        !widget->accessibleName().isEmpty())
        return false;
    const QWidget* parent = widget->parentWidget();
    if (!parent || qobject_cast<const QComboBox*>(parent) ||
        qobject_cast<const QAbstractSpinBox*>(parent))  // the edit box inside one
        return false;
    if (qobject_cast<const QComboBox*>(widget)) return true;
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(widget);
    return read && read->text(QAccessible::Name).trimmed().isEmpty();
}

// A caption as a reader should say it: without its mnemonic, the blanks that spread out a
// short caption ("密  码"; not those between words), its colon, nor the dashes of "--至--".
QString Caption(QString text) {
    text.remove(QLatin1Char('&'));
    text = text.simplified();
    static const QRegularExpression kSpread(
        QStringLiteral("(?<=[^\\x00-\\x7f]) (?=[^\\x00-\\x7f])"));
    text.replace(kSpread, QString());
    while (text.endsWith(u'：') || text.endsWith(u':')) text.chop(1);
    static const QRegularExpression kDashes(QStringLiteral("^-+|-+$"));
    return text.remove(kDashes);
}

QString LabelName(const QLabel* label) {
    return Caption(label->text());
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
        // Above, a caption starts about where its field starts: one further right names the
        // field below it, one far to the left shows a value over the whole row.
        if (gap >= -kSlack && gap <= kAbove && l.left() >= f.left() - kAbove &&
            l.left() <= f.left() + f.width() / 4 && l.right() > f.left() && gap < aboveDistance) {
            above = label;
            aboveDistance = gap;
        }
    }
    return best ? best : above;
}

QString PlaceholderOf(const QWidget* widget) {
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->placeholderText();
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
        return combo->lineEdit() ? combo->lineEdit()->placeholderText() : QString();
    if (const auto* text = qobject_cast<const QTextEdit*>(widget)) return text->placeholderText();
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(widget))
        return plain->placeholderText();
    return QString();
}

// A control's name in the window's own words ("商品编码编辑框" is the box for 商品编码), or ""
// when it says only what kind of control it is ("组合框1").
QString NameInObjectName(const QWidget* widget) {
    QString name = widget->objectName();
    static const QRegularExpression kChinese(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
    if (!name.contains(kChinese)) return QString();
    while (!name.isEmpty() && name.back().isDigit()) name.chop(1);
    static const char16_t* const kKinds[] = {u"编辑框", u"组合框", u"列表框", u"文本框", u"选择框",
                                             u"单选框", u"复选框", u"树型框", u"按钮",   u"框"};
    for (const char16_t* kind : kKinds) {
        const QString suffix = QString::fromUtf16(kind);
        if (name.endsWith(suffix)) {
            name.chop(suffix.size());
            break;
        }
    }
    return name;
}

// Names widget by the first that says what it is for: its label, its placeholder text, its
// tooltip, its object name.
void NameField(QWidget* widget) {
    if (QLabel* label = LabelFor(widget)) {
        widget->setAccessibleName(LabelName(label));
        // A reader on Linux names a combo box by its text and says its label from the buddy.
        if (!label->buddy()) label->setBuddy(widget);
        return;
    }
    for (const QString& name :
         {PlaceholderOf(widget), widget->toolTip(), NameInObjectName(widget)}) {
        if (name.trimmed().isEmpty()) continue;
        widget->setAccessibleName(name.trimmed());
        return;
    }
}

void NameControl(QWidget* widget) {
    if (NeedsName(widget)) return NameField(widget);
    // A button's spread-out text ("登  录") is read a character at a time.
    auto* button = qobject_cast<QAbstractButton*>(widget);
    if (!button || !button->accessibleName().isEmpty()) return;
    const QString caption = Caption(button->text());
    if (caption != button->text().simplified().remove(QLatin1Char('&')))
        button->setAccessibleName(caption);
}

class FieldNamer : public QObject {
  public:
    using QObject::QObject;

  protected:
    // Every widget gets its own show event, a window's children with it and a control added
    // to a shown window later.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            NameControl(widget);
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void NameFieldsByLabels(QWidget* window) {
    for (QWidget* control : window->findChildren<QWidget*>()) NameControl(control);
}

void NameFieldsOfEveryWindow() {
    static FieldNamer* namer = nullptr;
    if (namer || !qApp) return;
    namer = new FieldNamer(qApp);
    qApp->installEventFilter(namer);
}
