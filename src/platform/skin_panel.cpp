#include "platform/skin_panel.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPainter>
#include <limits>

#include "common/ini.h"
#include "common/settings.h"
#include "platform/skin.h"
#include "platform/skin_geometry.h"
#include "platform/skin_images.h"

const std::array<qint64, kSkinPaletteColumns* kSkinPaletteRows> kSkinPalette = {
    12632306, 9869033,  6842591,  3750357,  2500277,  2500226, 1710683,  // reds
    12637682, 9877737,  6855135,  3766997,  2515637,  2509954, 1717595,  // oranges
    12641778, 9884905,  6865375,  3780309,  2527669,  2517890, 1723227,  // ambers
    12645106, 9890281,  6873055,  3790293,  2536885,  2523778, 1727323,  // yellows
    12645081, 9890239,  6872995,  3790215,  2536814,  2523732, 1727291,  // limes
    13169344, 10807702, 8118120,  5494073,  4109606,  3506726, 2448154,  // greens
    15332032, 14412182, 13361000, 12309817, 10335526, 7569958, 5266202,  // teals
    15918528, 15324310, 14664040, 14003769, 11899174, 8547110, 5983002,  // sky blues
    15914432, 15317142, 14653800, 13990457, 11887142, 8539174, 5977370,  // blues
    15909056, 15308438, 14641256, 13973817, 11871782, 8529446, 5970458,  // indigos
    15909085, 15308486, 14641325, 13973908, 11871866, 8529500, 5970496,  // violets
    15461355, 13158600, 10855845, 8553090,  6250335,  3947580, 2105376,  // greys (no black:
                                                                         // 0 reads as unset)
};

namespace {

constexpr QSize kPanelSize{222, 178};
constexpr int kTabHeight = 30;

bool ArrowKey(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

// Every choice goes to [Skin] whole, and the skin reads it back from there.
void WriteSkinChoice(int style, qint64 color, int pictureId) {
    const QString path = ConfigPath();
    IniWrite(path, kSkinSection, QStringLiteral("style"), QString::number(style));
    IniWrite(path, kSkinSection, QStringLiteral("color"), QString::number(color));
    IniWrite(path, kSkinSection, QStringLiteral("picid"), QString::number(pictureId));
    Skin::Instance().LoadSkinSettings();
}

void ChoosePicture(int number) {
    const Skin& skin = Skin::Instance();
    if (number == 1) {
        WriteSkinChoice(1, kFirstPictureColor, 1);
    } else {
        WriteSkinChoice(1, skin.Color(), number);
    }
}

void ChooseColor(qint64 color) {
    WriteSkinChoice(2, color, Skin::Instance().PictureId());
}

// The colour families of the palette's columns, for the swatches' names.
const char16_t* const kColorFamilies[kSkinPaletteColumns] = {
    u"红色", u"橙色",   u"琥珀色", u"黄色",   u"黄绿色", u"绿色",
    u"青色", u"天蓝色", u"蓝色",   u"靛蓝色", u"紫色",   u"灰色"};

// A thumbnail or a colour swatch. The keyboard reaches one choice of a page with Tab, the
// others with the arrows (the panel moves the focus), so that Tab leaves a page of 84 swatches
// at once; only the keyboard focuses a choice, and it frames it as the mouse does.
class ChoiceButton final : public QAbstractButton {
  public:
    ChoiceButton(QWidget* parent, const QImage& image, const QColor& color, const QString& name)
        : QAbstractButton(parent), image_(image), color_(color) {
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
        setAccessibleName(name);
        setToolTip(name);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        if (image_.isNull()) {
            p.fillRect(rect(), color_);
        } else {
            p.drawImage(rect(), image_);
        }
        p.setPen(underMouse() || hasFocus() ? QColor(255, 140, 0) : QColor(110, 120, 130));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (ArrowKey(event->key())) return event->ignore();  // the panel's to move
        QAbstractButton::keyPressEvent(event);
    }
    void enterEvent(QEnterEvent* event) override {
        update();
        QAbstractButton::enterEvent(event);
    }
    void leaveEvent(QEvent* event) override {
        update();
        QAbstractButton::leaveEvent(event);
    }

  private:
    QImage image_;
    QColor color_;
};

class TabButton final : public QAbstractButton {
  public:
    TabButton(QWidget* parent, const QString& text, const QString& tip) : QAbstractButton(parent) {
        setText(text);
        setToolTip(tip);
        setCheckable(true);
        setAutoExclusive(true);
        setFocusPolicy(Qt::TabFocus);  // a click gives no focus, and so no frame
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), isChecked() ? QColor(250, 251, 253) : QColor(214, 220, 228));
        p.setPen(QColor(150, 160, 170));
        p.drawLine(rect().topRight(), rect().bottomRight());
        if (!isChecked()) p.drawLine(rect().bottomLeft(), rect().bottomRight());
        p.setFont(SkinFont(12, isChecked()));
        p.setPen(Qt::black);
        p.drawText(rect(), Qt::AlignCenter, text());
        if (hasFocus()) {
            p.setPen(QPen(Qt::black, 1, Qt::DotLine));
            p.drawRect(QRectF(rect()).adjusted(3.5, 3.5, -4.5, -4.5));
        }
    }
};

}  // namespace

SkinPanel::SkinPanel(QWidget* owner, const QRect& skinButton, int style)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("皮肤面板"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kPanelSize);

    setAccessibleName(QStringLiteral("更换皮肤"));
    图片页签 = new TabButton(this, QStringLiteral("图片"), QStringLiteral("皮肤图片"));
    图片页签->setObjectName(QStringLiteral("图片页签"));
    图片页签->setGeometry(0, 0, 40, kTabHeight);
    颜色页签 = new TabButton(this, QStringLiteral("颜色"), QStringLiteral("单一颜色"));
    颜色页签->setObjectName(QStringLiteral("颜色页签"));
    颜色页签->setGeometry(40, 0, 40, kTabHeight);
    connect(图片页签, &QAbstractButton::clicked, this, [this] { ShowTab(1); });
    connect(颜色页签, &QAbstractButton::clicked, this, [this] { ShowTab(2); });

    // The pages lie below the tabs; their children's tops are panel tops less the tabs.
    图片页 = new QWidget(this);
    图片页->setObjectName(QStringLiteral("图片页"));
    颜色页 = new QWidget(this);
    颜色页->setObjectName(QStringLiteral("颜色页"));
    for (QWidget* page : {图片页, 颜色页})
        page->setGeometry(0, kTabHeight, kPanelSize.width(), kPanelSize.height() - kTabHeight);

    constexpr int kThumbLefts[] = {6, 75, 144};
    constexpr int kThumbTops[] = {36, 80, 124};
    for (int number = 1; number <= kSkinPictureCount; ++number) {
        auto* button = new ChoiceButton(图片页, SkinThumbnail(number), QColor(),
                                        number == 1 ? QStringLiteral("皮肤图片 1（默认皮肤）")
                                                    : QStringLiteral("皮肤图片 %1").arg(number));
        button->setObjectName(QStringLiteral("皮肤图片%1").arg(number));
        button->setGeometry(kThumbLefts[(number - 1) % 3],
                            kThumbTops[(number - 1) / 3] - kTabHeight, kSkinThumbnailSize.width(),
                            kSkinThumbnailSize.height());
        connect(button, &QAbstractButton::clicked, this, [this, button, number] {
            ChoosePicture(number);
            MakeTabStop(button);
        });
        if (number == 1 || number == Skin::Instance().PictureId()) MakeTabStop(button);
    }
    for (int i = 0; i < static_cast<int>(kSkinPalette.size()); ++i) {
        const int column = i / kSkinPaletteRows + 1;
        const int row = i % kSkinPaletteRows + 1;
        const qint64 color = kSkinPalette[i];
        auto* button = new ChoiceButton(
            颜色页, QImage(), ColorFromWindows(color),
            QString::fromUtf16(kColorFamilies[column - 1]) + QStringLiteral(" %1").arg(row));
        button->setObjectName(QStringLiteral("皮肤颜色%1").arg(i + 1));
        button->setGeometry(8 + 17 * (column - 1), 37 + 18 * (row - 1) - kTabHeight, 15, 16);
        connect(button, &QAbstractButton::clicked, this, [this, button, color] {
            ChooseColor(color);
            MakeTabStop(button);
        });
        if (i == 0 || color == Skin::Instance().Color()) MakeTabStop(button);
    }
    ShowTab(style == 1 ? 1 : 2);

    // Right-aligned under the skin button, which sits at the window's right end.
    const QPoint below(skinButton.right() + 1 - kPanelSize.width(), skinButton.bottom() + 1);
    move(owner ? owner->mapToGlobal(below) : below);
}

void SkinPanel::FocusChoice() {
    QWidget* page = 颜色页->isHidden() ? 图片页 : 颜色页;
    for (QWidget* choice : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (choice->focusPolicy() == Qt::TabFocus) choice->setFocus(Qt::OtherFocusReason);
}

void SkinPanel::MakeTabStop(QWidget* choice) {
    for (QWidget* other :
         choice->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        other->setFocusPolicy(other == choice ? Qt::TabFocus : Qt::NoFocus);
}

// The arrows move among the choices as they stand on their page; up from the top row goes to
// the page's tab, down from a tab to the page. Enter chooses as Space does.
void SkinPanel::keyPressEvent(QKeyEvent* event) {
    QWidget* from = focusWidget();
    const int key = event->key();
    if (!from || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return QWidget::keyPressEvent(event);
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QAbstractButton*>(from); button && !event->isAutoRepeat())
            button->click();
        return;
    }
    if (from == 图片页签 || from == 颜色页签) {
        if (key == Qt::Key_Down) return FocusChoice();
        return QWidget::keyPressEvent(event);
    }
    if (from->parentWidget() != 图片页 && from->parentWidget() != 颜色页)
        return QWidget::keyPressEvent(event);
    const QRect at = from->geometry();
    QWidget* next = nullptr;
    int nearest = std::numeric_limits<int>::max();
    for (QWidget* choice :
         from->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect c = choice->geometry();
        const bool row = c.top() == at.top();
        const bool column = c.left() == at.left();
        const int ahead = key == Qt::Key_Right  ? (row ? c.left() - at.left() : 0)
                          : key == Qt::Key_Left ? (row ? at.left() - c.left() : 0)
                          : key == Qt::Key_Down ? (column ? c.top() - at.top() : 0)
                          : key == Qt::Key_Up   ? (column ? at.top() - c.top() : 0)
                                                : 0;
        if (ahead > 0 && ahead < nearest) {
            next = choice;
            nearest = ahead;
        }
    }
    if (!next && key == Qt::Key_Up) next = 颜色页->isHidden() ? 图片页签 : 颜色页签;
    if (!next) return QWidget::keyPressEvent(event);
    if (next->parentWidget() == from->parentWidget()) MakeTabStop(next);
    next->setFocus(Qt::OtherFocusReason);
}

void SkinPanel::ShowTab(int style) {
    图片页签->setChecked(style == 1);
    颜色页签->setChecked(style != 1);
    图片页->setVisible(style == 1);
    颜色页->setVisible(style != 1);
}

void SkinPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(250, 251, 253));
    p.fillRect(QRect(80, 0, width() - 80, kTabHeight), QColor(214, 220, 228));
    p.setPen(QColor(150, 160, 170));
    p.drawLine(80, kTabHeight - 1, width(), kTabHeight - 1);
    p.setPen(QColor(90, 100, 110));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
