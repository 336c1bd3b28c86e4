#pragma once
// A colour box: a button that shows one colour as a swatch and lets the user pick another in
// the colour dialog. Its value is a Windows colour integer (0x00BBGGRR).

#include <QPushButton>

class ColorBox : public QPushButton {
    Q_OBJECT

  public:
    explicit ColorBox(QWidget* parent = nullptr);

    qint64 Color() const { return color_; }
    void SetColor(qint64 color);
    // Opens the colour dialog on the current colour; a picked colour replaces it.
    void Pick();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    qint64 color_ = 0;
};
