#pragma once
// The skin panel: a pop-up below the skin button in which the user picks one of the nine
// pictures or one of 84 single colours for the skinned window.

#include <QWidget>
#include <array>

class QAbstractButton;

// The colours of the colour tab, taken column by column (seven to a column).
inline constexpr int kSkinPaletteColumns = 12;
inline constexpr int kSkinPaletteRows = 7;
extern const std::array<qint64, kSkinPaletteColumns * kSkinPaletteRows> kSkinPalette;

// The colour the first picture restores.
inline constexpr qint64 kFirstPictureColor = 13998394;

class SkinPanel : public QWidget {
    Q_OBJECT

  public:
    // Opens below skinButton (in owner's coordinates) on the tab of style: 1 pictures, 2
    // colours. Deletes itself when closed.
    SkinPanel(QWidget* owner, const QRect& skinButton, int style);
    // The keyboard's way in: the focus on the shown page's choice in use (else its first).
    void FocusChoice();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void ShowTab(int style);
    // choice is the one of its page that Tab reaches.
    void MakeTabStop(QWidget* choice);

    QAbstractButton* 图片页签 = nullptr;
    QAbstractButton* 颜色页签 = nullptr;
    QWidget* 图片页 = nullptr;
    QWidget* 颜色页 = nullptr;
};
