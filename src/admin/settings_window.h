#pragma once
// The window "系统设置": a form over the display settings of the lists, the shop's
// particulars, the program title ([setup] of config.ini) and the receipt texts ([程序配置] of
// 配置.ini), and for the super administrator whether ordinary users may book a stocktake. It reads
// every key when it opens and writes every key on "保存".

#include <QDialog>

class ColorBox;
class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;

class SettingsWindow : public QDialog {
    Q_OBJECT

  public:
    SettingsWindow();

    void LoadSettingsWindow();
    // Writes every key and closes the window; a key that cannot be written is reported and
    // the window stays open with what the user chose.
    void SaveSettingsWindow();

    QFrame* 图片框1;
    QFrame* 图片框2;
    QFrame* 图片框3;
    QFrame* 图片框4;
    QFrame* 图片框5;
    QCheckBox* 选择框1;
    QCheckBox* 选择框2;
    QComboBox* 组合框1;
    ColorBox* 库存报警文字颜色;
    ColorBox* 底部合计行颜色;
    ColorBox* 零库存文字颜色;
    ColorBox* 欠款文字颜色;
    ColorBox* 支出文字颜色;
    ColorBox* 偶数行颜色;
    ColorBox* 奇数行颜色;
    QLineEdit* 编辑框1;
    QLineEdit* 编辑框2;
    QLineEdit* 编辑框3;
    QLineEdit* 票头;
    QLineEdit* 宣传1;
    QLineEdit* 宣传2;
    QLineEdit* 编辑框6;
    QCheckBox* 盘点确认框;
    QPushButton* 按钮2;
    QPushButton* 按钮3;
};

// Opens the window modal, without a parent.
void OpenSettingsWindow();
