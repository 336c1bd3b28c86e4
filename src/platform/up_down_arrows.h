#pragma once
// A pair of small arrow buttons that sits at the right edge of an edit box and asks for its
// number to go up or down; what a step does is left to the window that owns the box.

#include <QWidget>

class QToolButton;

class UpDownArrows : public QWidget {
    Q_OBJECT

  public:
    // Placed just right of buddy (a child of the same parent) and kept there when buddy moves
    // or resizes; enabled exactly when buddy is, so a disabled box cannot be changed through
    // its arrows.
    explicit UpDownArrows(QWidget* buddy, QWidget* parent = nullptr);

    QWidget* Buddy() const { return buddy_; }
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

    static constexpr int kWidth = 16;

  signals:
    void up();
    void down();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void FollowBuddy();

    QWidget* buddy_;
    QToolButton* up_;
    QToolButton* down_;
};
