#pragma once
// The window skin: draws the main window without a system frame (title band, caption
// buttons, navigation buttons, background picture or colour, content panel, status strip),
// moves and resizes it, offers the skin panel and the program's own message box.

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

class QAbstractButton;
class QPainter;
class QWidget;

class Skin : public QObject {
    Q_OBJECT

  public:
    // The one skin of the process.
    static Skin& Instance();
    ~Skin() override;

    // Takes over the painting, mouse handling and resizing of window, which becomes a frameless
    // top-level window, and loads the [Skin] settings. Attaching another window detaches the
    // first one.
    bool Attach(QWidget* window);
    void Detach();
    bool IsAttached() const;
    QWidget* Window() const;

    // Both return false before Attach.
    bool SetStatusText(const QString& text);
    bool AddNavButton(const QImage& icon, const QString& caption);
    QString StatusText() const;

    // The menu-button handler gets 0 or 1, the navigation handler the button's index from 0.
    void SetMenuButtonHandler(std::function<void(int)> handler);
    void SetNavButtonHandler(std::function<void(int)> handler);

    // Geometry at the attached window's current size.
    int NavButtonCount() const;
    QString NavButtonCaption(int index) const;
    int SelectedNavButton() const;              // index from 0, -1 when there is none
    QRect NavButtonRect(int index) const;       // index from 0
    QRect CaptionButtonRect(int number) const;  // 1 close ... 5 second menu button
    QRect SkinButtonRect() const;
    static QRect ContentRect(const QSize& windowSize);  // (2, 105), (W - 6) x (H - 130)

    // The keyboard's way to the painted buttons: a child widget over each, in the tab chain,
    // that acts on Space and Enter as a click does, shows a thin frame while it has the focus,
    // and carries the button's tooltip and accessible name (the caption by default). Null
    // before Attach or for a button that does not exist.
    QAbstractButton* NavKeyButton(int index) const;
    QAbstractButton* CaptionKeyButton(int number) const;
    QAbstractButton* SkinKeyButton() const;
    // As a click on navigation button index: it is selected and the handler called.
    void PressNavButton(int index);

    // [Skin] of config.ini: style 1 picture, 2 colour; colour a Windows colour integer;
    // picture 1-9.
    void LoadSkinSettings();
    int Style() const;
    qint64 Color() const;
    int PictureId() const;

    // The skinned message box: 1 for "确定", 0 for "取消", -1 when closed otherwise, and -1
    // without showing anything before Attach or while another box is open.
    int SkinMessageBox(const QString& text, int type, int icon, int defaultButton,
                       const QString& caption);
    bool IsMessageBoxOpen() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Skin();
    void Forget();
    void Paint(QPainter& painter);
    void UpdateHover(const QPoint& pos);
    void LeftButtonDown(const QPoint& pos);
    void LeftButtonUp(const QPoint& pos);
    void CaptionButtonAction(int number);
    void OpenSkinPanel(bool byKeyboard);
    void PlaceKeyButtons();
    void ToggleMaximized();
    void SizeChanged(bool wasMaximized);

    struct State;
    State* state_;
};

// How a skinned message box lays out its text: lines split at CR LF and cut at 32 GBK bytes,
// 300 wide, 140 high plus 14 for every line beyond the third.
struct SkinBoxLayout {
    QStringList lines;
    int width = 300;
    int height = 140;
};
SkinBoxLayout LayOutSkinBox(const QString& text);

// The program's message routine: kind 0 information, 1 warning, 2 error, 3 warning; any
// other kind shows nothing. Shows nothing before the skin is attached or while another
// skinned box is open.
void ShowMessage(const QString& text, int kind);
