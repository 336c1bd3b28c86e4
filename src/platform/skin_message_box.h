#pragma once
// The window of a skinned message box: a frameless modal box owned by and centred on the
// skinned window, with a caption band, an icon, the laid-out lines and its buttons.

#include <QColor>
#include <QDialog>
#include <QImage>

#include "platform/dialogs.h"
#include "platform/skin.h"

class QAbstractButton;
class QPushButton;

class SkinBoxWindow : public QDialog {
    Q_OBJECT

  public:
    // bandColor is the colour under the skinned window's caption.
    SkinBoxWindow(QWidget* owner, const SkinBoxRequest& request, const QColor& bandColor);

    const SkinBoxLayout& Layout() const { return layout_; }

  public slots:
    // Closing without pressing a button answers -1.
    void reject() override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    SkinBoxLayout layout_;
    QString caption_;
    QImage icon_;
    QColor band_;
    QPushButton* 确定按钮 = nullptr;
    QPushButton* 取消按钮 = nullptr;
    QAbstractButton* 关闭区 = nullptr;
};
