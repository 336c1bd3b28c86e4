#include "platform/skin.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <QWindow>
#include <array>
#include <cmath>
#include <vector>

#include "common/ini.h"
#include "common/number_text.h"
#include "common/settings.h"
#include "platform/dialogs.h"
#include "platform/skin_geometry.h"
#include "platform/skin_images.h"
#include "platform/skin_message_box.h"
#include "platform/skin_panel.h"

namespace {

// Shown in the status strip until the window writes its own text.
const QString kVersionLine = QStringLiteral("窗口皮肤 1.0");

constexpr qint64 kDefaultColor = 14591565;
constexpr int kCaptionButtonCount = 5;

enum ButtonState { kNormal = 0, kHovered = 1, kPressed = 2 };

struct NavButton {
    QImage icon;
    QString caption;
    int state = kNormal;  // kPressed is "selected"
};

// Picture k is drawn from (0, 5), 840 x 200, against the window's right edge.
constexpr QRect kPicturePart{0, 5, 840, 200};
constexpr int kSliceWidth = 50;

// The caption buttons' names, by number - 1, and the skin button's.
const char16_t* const kCaptionNames[] = {u"关闭", u"最大化 / 还原", u"最小化", u"菜单", u"帮助"};
const char16_t* const kSkinButtonName = u"更换皮肤";

// A painted button's stand-in for the keyboard. It paints nothing (the skin draws the button
// and, while this has the focus, a thin frame round it) and lets the mouse through to the
// window, whose events the skin handles.
class KeyButton : public QAbstractButton {
  public:
    KeyButton(QWidget* window, const QString& name) : QAbstractButton(window) {
        setText(name);
        setToolTip(name);
        setAccessibleName(name);
        setFocusPolicy(Qt::TabFocus);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        show();
    }

  protected:
    void paintEvent(QPaintEvent*) override {}
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            event->modifiers() == Qt::NoModifier) {
            if (!event->isAutoRepeat()) click();
            return;
        }
        QAbstractButton::keyPressEvent(event);
    }
    void focusInEvent(QFocusEvent* event) override {
        QAbstractButton::focusInEvent(event);
        RepaintFrame();
    }
    void focusOutEvent(QFocusEvent* event) override {
        QAbstractButton::focusOutEvent(event);
        RepaintFrame();
    }

  private:
    void RepaintFrame() {
        if (parentWidget()) parentWidget()->update(geometry());
    }
};

}  // namespace

struct Skin::State {
    QPointer<QWidget> window;
    QMetaObject::Connection destroyed;
    QString statusText;
    std::vector<NavButton> nav;
    std::array<int, kCaptionButtonCount> captionState{};
    int heldCaption = 0;  // the caption button the left button went down on
    int skinButtonState = kNormal;
    QPointer<QWidget> panel;  // a SkinPanel
    std::function<void(int)> menuHandler;
    std::function<void(int)> navHandler;
    int style = 1;
    qint64 color = kDefaultColor;
    int pictureId = 1;
    QImage picture;  // null unless a picture is shown
    bool boxOpen = false;
    QRect restoreGeometry;  // where a window maximised by the skin goes back to
    bool workAreaAsked = false;
    std::vector<QPointer<KeyButton>> navKeys;
    std::array<QPointer<KeyButton>, kCaptionButtonCount> captionKeys;
    QPointer<KeyButton> skinKey;

    std::vector<KeyButton*> Keys() const {
        std::vector<KeyButton*> keys;
        for (const QPointer<KeyButton>& key : navKeys)
            if (key) keys.push_back(key);
        for (const QPointer<KeyButton>& key : captionKeys)
            if (key) keys.push_back(key);
        if (skinKey) keys.push_back(skinKey);
        return keys;
    }

    QSize Size() const { return window ? window->size() : QSize(); }
    QColor TestColor() const {
        if (!picture.isNull()) return picture.pixelColor(1, 204);
        return ColorFromWindows(color);
    }
};

Skin& Skin::Instance() {
    static Skin skin;
    return skin;
}

Skin::Skin() : state_(new State) {}

Skin::~Skin() {
    delete state_;
}

bool Skin::Attach(QWidget* window) {
    if (!window) return false;
    if (state_->window) Detach();
    State& s = *state_;
    s.window = window;
    s.statusText = kVersionLine;
    // A window being destroyed is not touched any more.
    s.destroyed = connect(window, &QObject::destroyed, this, [this] { Forget(); });

    const bool visible = window->isVisible();
    window->setWindowFlags((window->windowFlags() & ~Qt::WindowType_Mask) | Qt::Window |
                           Qt::FramelessWindowHint | Qt::WindowMinMaxButtonsHint |
                           Qt::WindowSystemMenuHint);
    window->setMouseTracking(true);
    window->installEventFilter(this);
    window->setMask(WindowRegion(window->size()));
    for (int number = 1; number <= kCaptionButtonCount; ++number) {
        auto* key = new KeyButton(window, QString::fromUtf16(kCaptionNames[number - 1]));
        connect(key, &QAbstractButton::clicked, this,
                [this, number] { CaptionButtonAction(number); });
        s.captionKeys[number - 1] = key;
    }
    s.skinKey = new KeyButton(window, QString::fromUtf16(kSkinButtonName));
    connect(s.skinKey, &QAbstractButton::clicked, this, [this] { OpenSkinPanel(true); });
    PlaceKeyButtons();
    LoadSkinSettings();
    if (visible) window->show();
    return true;
}

// Along the tab chain as they stand, left to right: the navigation row, the skin button, then
// the caption buttons.
void Skin::PlaceKeyButtons() {
    State& s = *state_;
    if (!s.window) return;
    const QSize size = s.Size();
    std::vector<QWidget*> chain;
    for (int i = 0; i < NavButtonCount(); ++i) {
        if (!s.navKeys[i]) continue;
        s.navKeys[i]->setGeometry(NavButtonRectAt(i));
        chain.push_back(s.navKeys[i]);
    }
    if (s.skinKey) {
        s.skinKey->setGeometry(SkinButtonRectAt(size));
        chain.push_back(s.skinKey);
    }
    for (int number = kCaptionButtonCount; number >= 1; --number) {
        KeyButton* key = s.captionKeys[number - 1];
        if (!key) continue;
        key->setGeometry(CaptionButtonRectAt(number, size));
        chain.push_back(key);
    }
    for (size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void Skin::Detach() {
    State& s = *state_;
    if (s.panel) s.panel->close();
    if (s.window) {
        s.window->removeEventFilter(this);
        s.window->clearMask();
        s.window->update();
    }
    Forget();
}

void Skin::Forget() {
    State& s = *state_;
    disconnect(s.destroyed);
    for (KeyButton* key : s.Keys()) delete key;
    s.navKeys.clear();
    s.captionKeys.fill(nullptr);
    s.window = nullptr;
    s.statusText.clear();
    s.nav.clear();
    s.captionState.fill(kNormal);
    s.heldCaption = 0;
    s.skinButtonState = kNormal;
    s.menuHandler = nullptr;
    s.navHandler = nullptr;
}

bool Skin::IsAttached() const {
    return !state_->window.isNull();
}

QWidget* Skin::Window() const {
    return state_->window;
}

bool Skin::SetStatusText(const QString& text) {
    State& s = *state_;
    if (!s.window) return false;
    s.statusText = text;
    s.window->update(0, s.window->height() - kStatusStripHeight, s.window->width(),
                     kStatusStripHeight);
    return true;
}

bool Skin::AddNavButton(const QImage& icon, const QString& caption) {
    State& s = *state_;
    if (!s.window) return false;
    const int index = static_cast<int>(s.nav.size());
    s.nav.push_back(NavButton{icon, caption, s.nav.empty() ? kPressed : kNormal});
    auto* key = new KeyButton(s.window, caption);
    connect(key, &QAbstractButton::clicked, this, [this, index] { PressNavButton(index); });
    s.navKeys.push_back(key);
    PlaceKeyButtons();
    s.window->update(NavButtonRectAt(index));
    return true;
}

QString Skin::StatusText() const {
    return state_->statusText;
}

void Skin::SetMenuButtonHandler(std::function<void(int)> handler) {
    state_->menuHandler = std::move(handler);
}

void Skin::SetNavButtonHandler(std::function<void(int)> handler) {
    state_->navHandler = std::move(handler);
}

int Skin::NavButtonCount() const {
    return static_cast<int>(state_->nav.size());
}

QString Skin::NavButtonCaption(int index) const {
    if (index < 0 || index >= NavButtonCount()) return QString();
    return state_->nav[index].caption;
}

int Skin::SelectedNavButton() const {
    for (int i = 0; i < NavButtonCount(); ++i) {
        if (state_->nav[i].state == kPressed) return i;
    }
    return -1;
}

QRect Skin::NavButtonRect(int index) const {
    if (index < 0 || index >= NavButtonCount()) return QRect();
    return NavButtonRectAt(index);
}

QAbstractButton* Skin::NavKeyButton(int index) const {
    if (index < 0 || index >= static_cast<int>(state_->navKeys.size())) return nullptr;
    return state_->navKeys[index];
}

QAbstractButton* Skin::CaptionKeyButton(int number) const {
    if (number < 1 || number > kCaptionButtonCount) return nullptr;
    return state_->captionKeys[number - 1];
}

QAbstractButton* Skin::SkinKeyButton() const {
    return state_->skinKey;
}

void Skin::PressNavButton(int index) {
    State& s = *state_;
    if (!s.window || index < 0 || index >= NavButtonCount()) return;
    if (s.nav[index].state != kPressed) {
        for (NavButton& other : s.nav) other.state = kNormal;
        s.nav[index].state = kPressed;
        s.window->update();
    }
    // Selected before or not: the window shows the page again.
    const auto handler = s.navHandler;
    if (handler) handler(index);
}

QRect Skin::CaptionButtonRect(int number) const {
    if (!state_->window) return QRect();
    return CaptionButtonRectAt(number, state_->Size());
}

QRect Skin::SkinButtonRect() const {
    if (!state_->window) return QRect();
    return SkinButtonRectAt(state_->Size());
}

QRect Skin::ContentRect(const QSize& windowSize) {
    return ContentRectAt(windowSize);
}

void Skin::LoadSkinSettings() {
    State& s = *state_;
    const QString path = ConfigPath();
    if (!QFileInfo::exists(path)) {
        s.style = 1;
        s.color = kDefaultColor;
        s.pictureId = 1;
        IniWrite(path, kSkinSection, QStringLiteral("style"), QStringLiteral("1"));
        IniWrite(path, kSkinSection, QStringLiteral("color"), QString::number(kDefaultColor));
        IniWrite(path, kSkinSection, QStringLiteral("picid"), QStringLiteral("1"));
    } else {
        // A colour beyond 32 bits cannot be a Windows colour and counts as unset, like 0.
        const double color = TextToNumber(IniRead(path, kSkinSection, QStringLiteral("color")));
        s.color =
            (color >= 1 && color <= 4294967295.0) ? static_cast<qint64>(color) : kDefaultColor;
        s.style = TextToNumber(IniRead(path, kSkinSection, QStringLiteral("style"))) == 1 ? 1 : 2;
        const double picture = TextToNumber(IniRead(path, kSkinSection, QStringLiteral("picid")));
        s.pictureId =
            (picture >= 1 && picture <= kSkinPictureCount && std::floor(picture) == picture)
                ? static_cast<int>(picture)
                : 1;
    }
    s.picture = (s.style == 1 && s.pictureId != 1) ? SkinPicture(s.pictureId) : QImage();
    if (s.window) s.window->update();
}

int Skin::Style() const {
    return state_->style;
}

qint64 Skin::Color() const {
    return state_->color;
}

int Skin::PictureId() const {
    return state_->pictureId;
}

int Skin::SkinMessageBox(const QString& text, int type, int icon, int defaultButton,
                         const QString& caption) {
    State& s = *state_;
    if (!s.window || s.boxOpen) return -1;
    const SkinBoxRequest request{text, caption, type, icon, defaultButton};
    const QPointer<QWidget> owner = s.window;
    const QColor band = s.TestColor();
    s.boxOpen = true;
    const int result = Dialogs().SkinMessage(request, [&]() {
        if (!owner) return -1;
        // On the heap: destroying the owner while the box runs takes the box with it.
        QPointer<SkinBoxWindow> box = new SkinBoxWindow(owner, request, band);
        const int code = box->exec();
        if (!box) return -1;
        delete box;
        return code;
    });
    s.boxOpen = false;
    return result;
}

bool Skin::IsMessageBoxOpen() const {
    return state_->boxOpen;
}

namespace {

CaptionGlyph GlyphOf(int number, bool maximized) {
    switch (number) {
        case 1:
            return CaptionGlyph::Close;
        case 2:
            return maximized ? CaptionGlyph::Restore : CaptionGlyph::Maximize;
        case 3:
            return CaptionGlyph::Minimize;
        case 4:
            return CaptionGlyph::Menu;
        default:
            return CaptionGlyph::Help;
    }
}

int CaptionButtonAt(const QPoint& pos, const QSize& size) {
    for (int number = 1; number <= kCaptionButtonCount; ++number) {
        if (CaptionButtonRectAt(number, size).contains(pos)) return number;
    }
    return 0;
}

}  // namespace

bool Skin::eventFilter(QObject* watched, QEvent* event) {
    State& s = *state_;
    if (watched != s.window) return QObject::eventFilter(watched, event);
    QWidget* window = s.window;
    switch (event->type()) {
        case QEvent::Paint: {
            QPainter painter(window);
            Paint(painter);
            return true;
        }
        case QEvent::MouseMove:
            UpdateHover(static_cast<QMouseEvent*>(event)->position().toPoint());
            return false;
        case QEvent::Leave:
            UpdateHover(QPoint(-1, -1));
            return false;
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton) return false;
            LeftButtonDown(mouse->position().toPoint());
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton) return false;
            LeftButtonUp(mouse->position().toPoint());
            return true;
        }
        case QEvent::MouseButtonDblClick: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton) return false;
            const QPoint pos = mouse->position().toPoint();
            if (pos.y() < kTitleBandHeight &&
                pos.x() < window->width() - kCaptionDoubleClickMargin) {
                ToggleMaximized();
            }
            return true;
        }
        case QEvent::ToolTip: {
            // The key buttons let the mouse through, so their tooltips are shown from here.
            auto* help = static_cast<QHelpEvent*>(event);
            for (const KeyButton* key : s.Keys()) {
                if (!key->geometry().contains(help->pos()) || key->toolTip().isEmpty()) continue;
                QToolTip::showText(help->globalPos(), key->toolTip(), window, key->geometry());
                return true;
            }
            return false;
        }
        case QEvent::Resize:
            SizeChanged(false);
            return false;
        case QEvent::WindowStateChange:
            SizeChanged(static_cast<QWindowStateChangeEvent*>(event)->oldState() &
                        Qt::WindowMaximized);
            return false;
        default:
            return false;
    }
}

void Skin::ToggleMaximized() {
    State& s = *state_;
    if (s.window->isMaximized()) {
        s.window->showNormal();
    } else {
        s.restoreGeometry = s.window->geometry();
        s.window->showMaximized();
    }
}

void Skin::SizeChanged(bool wasMaximized) {
    State& s = *state_;
    QWidget* window = s.window;
    QWindow* handle = window->windowHandle();
    if (window->isMaximized()) {
        // The work area, so that the task bar stays visible; asked for once per maximising,
        // so that a window manager with other ideas is not fought. Set on the QWindow, since
        // resizing the widget would take its maximised state.
        const QScreen* screen = window->screen();
        if (!s.workAreaAsked && screen && handle &&
            window->geometry() != screen->availableGeometry()) {
            handle->setGeometry(screen->availableGeometry());
            s.workAreaAsked = true;
        }
    } else {
        s.workAreaAsked = false;
    }
    if (wasMaximized && !window->isMaximized()) {
        // Without a window manager nothing else puts a restored window back.
        if (s.restoreGeometry.isValid() && !window->isMinimized() &&
            window->geometry() != s.restoreGeometry) {
            window->setGeometry(s.restoreGeometry);
        }
        s.restoreGeometry = QRect();
    }
    window->setMask(WindowRegion(window->size()));
    PlaceKeyButtons();
    window->update();
}

void Skin::UpdateHover(const QPoint& pos) {
    State& s = *state_;
    const QSize size = s.Size();
    bool changed = false;
    auto set = [&changed](int& state, int value) {
        if (state != value) {
            state = value;
            changed = true;
        }
    };
    for (int i = 0; i < NavButtonCount(); ++i) {
        NavButton& button = s.nav[i];
        if (button.state != kPressed)
            set(button.state, NavButtonRectAt(i).contains(pos) ? kHovered : kNormal);
    }
    for (int number = 1; number <= kCaptionButtonCount; ++number) {
        const bool inside = CaptionButtonRectAt(number, size).contains(pos);
        const int pressedOrHovered = s.heldCaption == number ? kPressed : kHovered;
        set(s.captionState[number - 1], inside ? pressedOrHovered : kNormal);
    }
    if (!s.panel) set(s.skinButtonState, SkinButtonRectAt(size).contains(pos) ? kHovered : kNormal);
    if (changed) s.window->update();
}

void Skin::LeftButtonDown(const QPoint& pos) {
    State& s = *state_;
    QWidget* window = s.window;
    const QSize size = s.Size();

    if (SkinButtonRectAt(size).contains(pos)) return OpenSkinPanel(false);

    for (int i = 0; i < NavButtonCount(); ++i) {
        if (NavButtonRectAt(i).contains(pos)) return PressNavButton(i);
    }

    if (const int number = CaptionButtonAt(pos, size)) {
        s.heldCaption = number;
        s.captionState[number - 1] = kPressed;
        window->update(CaptionButtonRectAt(number, size));
        return;
    }

    if (window->isMaximized()) return;
    QWindow* handle = window->windowHandle();
    if (!handle) return;
    if (const Qt::Edges edges = ResizeEdgesAt(pos, size)) {
        handle->startSystemResize(edges);
    } else {
        handle->startSystemMove();
    }
}

void Skin::OpenSkinPanel(bool byKeyboard) {
    State& s = *state_;
    QWidget* window = s.window;
    if (!window || (s.panel && s.panel->isVisible())) return;
    auto* panel = new SkinPanel(window, SkinButtonRectAt(s.Size()), s.style);
    // Opened from the keyboard, the panel takes it at once; the mouse leaves no focus frame.
    if (byKeyboard) panel->FocusChoice();
    s.panel = panel;
    s.skinButtonState = kPressed;
    connect(s.panel, &QObject::destroyed, this, [this](QObject* gone) {
        if (gone != state_->panel.data()) return;  // a newer panel is open
        state_->panel = nullptr;
        state_->skinButtonState = kNormal;
        if (state_->window) state_->window->update();
    });
    s.panel->show();
    window->update();
}

void Skin::LeftButtonUp(const QPoint& pos) {
    State& s = *state_;
    const int number = s.heldCaption;
    s.heldCaption = 0;
    if (number == 0) return;
    QWidget* window = s.window;
    const QRect rect = CaptionButtonRectAt(number, s.Size());
    const bool inside = rect.contains(pos);
    s.captionState[number - 1] = inside ? kHovered : kNormal;
    window->update(rect);
    // Only a release on the button that went down acts.
    if (inside) CaptionButtonAction(number);
}

void Skin::CaptionButtonAction(int number) {
    State& s = *state_;
    QWidget* window = s.window;
    if (!window) return;
    const auto menu = s.menuHandler;
    switch (number) {
        case 1:
            window->close();
            break;
        case 2:
            ToggleMaximized();
            break;
        case 3:
            window->showMinimized();
            break;
        case 4:
            if (menu) menu(0);
            break;
        case 5:
            if (menu) menu(1);
            break;
        default:
            break;
    }
}

void Skin::Paint(QPainter& p) {
    const State& s = *state_;
    const QWidget* window = s.window;
    const int w = window->width();
    const int h = window->height();
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                     QPainter::TextAntialiasing);

    // Background.
    const QColor test = s.TestColor();
    p.fillRect(QRect(0, 0, w, h), test);
    if (!s.picture.isNull()) {
        p.drawImage(QPoint(w - kPicturePart.width(), 0), s.picture, kPicturePart);
        if (w > kPicturePart.width()) {
            const int slices = (w - kPicturePart.width()) / kSliceWidth + 1;
            // Pictures 7 to 9 repeat their left 50 columns; the others stretch their first.
            const QRect source =
                s.pictureId >= 7 ? QRect(0, 5, kSliceWidth, 200) : QRect(0, 5, 1, 200);
            for (int i = 0; i < slices; ++i) {
                p.drawImage(QRect(i * kSliceWidth, 0, kSliceWidth, 200), s.picture, source);
            }
        }
    }
    const QColor text = IsDarkColor(test) ? Qt::white : Qt::black;

    // Frame.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 120), 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 2, h - 2), 3, 3);
    p.setPen(QPen(QColor(255, 255, 255, 100), 1));
    p.drawRoundedRect(QRectF(1.5, 1.5, w - 4, h - 4), 3, 3);

    // Icon and caption.
    const QIcon icon = window->windowIcon();
    if (!icon.isNull()) p.drawPixmap(7, 6, icon.pixmap(16, 16));
    p.setPen(text);
    p.setFont(SkinFont(13, true));
    const QRect captionRect(25, 8, std::max(0, w - 158 - 25), kTitleBandHeight - 8);
    p.drawText(captionRect, Qt::AlignLeft | Qt::AlignTop, window->windowTitle());

    // Caption buttons.
    const QSize size(w, h);
    for (int number = 1; number <= kCaptionButtonCount; ++number) {
        const QRect rect = CaptionButtonRectAt(number, size);
        p.drawImage(rect.topLeft(),
                    CaptionButtonImage(GlyphOf(number, window->isMaximized()),
                                       s.captionState[number - 1], rect.size(), IsDarkColor(test)));
    }

    // Navigation buttons.
    p.setFont(SkinFont(12, false));
    for (int i = 0; i < NavButtonCount(); ++i) {
        const NavButton& button = s.nav[i];
        const QRect rect = NavButtonRectAt(i);
        if (button.state == kHovered) p.drawImage(rect.topLeft(), NavHoverBackground());
        if (button.state == kPressed) p.drawImage(rect.topLeft(), NavPressedBackground());
        p.drawImage(QRect(rect.left() + 20, rect.top() + 10, 36, 36), button.icon);
        p.drawText(QRect(rect.left() + 12, rect.top() + 52, rect.width() - 12, 16),
                   Qt::AlignLeft | Qt::AlignTop, button.caption);
    }

    // Skin button.
    const QRect skinButton = SkinButtonRectAt(size);
    if (s.skinButtonState != kNormal) {
        p.drawImage(QRect(skinButton.left() - 7, skinButton.top() - 4, skinButton.width(),
                          skinButton.height()),
                    SkinButtonBackground(s.skinButtonState == kPressed));
    }
    p.drawImage(skinButton.topLeft(), SkinButtonIcon());

    // The thin frame round the button that has the keyboard focus.
    if (const QWidget* focused = window->focusWidget(); focused && focused->hasFocus() &&
                                                        focused->parentWidget() == window &&
                                                        dynamic_cast<const KeyButton*>(focused)) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(text, 1, Qt::DotLine));
        p.drawRect(QRectF(focused->geometry()).adjusted(1.5, 1.5, -1.5, -1.5));
    }

    // Content panel.
    const QRect content = ContentRectAt(size);
    p.fillRect(content, Qt::white);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 100), 1));
    p.drawRect(QRectF(content).adjusted(0.5, 0.5, -0.5, -0.5));

    // Status strip and grip.
    p.setPen(text);
    p.drawText(QRect(4, h - kStatusStripHeight, std::max(0, w - 20), kStatusStripHeight),
               Qt::AlignLeft | Qt::AlignTop, s.statusText);
    p.drawImage(w - 13, h - 13, ResizeGripImage());
}
