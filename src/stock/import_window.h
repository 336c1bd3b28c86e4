#pragma once
// "导入商品": a goods list from an .xlsx or CSV file booked into stock. The user chooses the
// file, checks which column holds which field, sees the first rows with their problems and
// decides what a row whose code is already in stock does; the good rows are then booked in
// one transaction, with a progress dialog that can cancel the whole import.

#include <QDialog>
#include <QSet>
#include <QString>
#include <array>
#include <vector>

#include "stock/goods_import.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;

class ImportWindow : public QDialog {
    Q_OBJECT

  public:
    explicit ImportWindow(QWidget* owner);

    // Reads path as if the user had chosen it.
    bool LoadFile(const QString& path);
    // Books the good rows; the result message is shown. False when nothing was imported.
    bool Import();

    QLabel* 文件标签;
    QPushButton* 选择文件按钮;
    QTableWidget* 对应表;
    QRadioButton* 续存单选框;
    QRadioButton* 列出单选框;
    QTableWidget* 预览表;
    QLabel* 统计标签;
    QPushButton* 导入按钮;
    QPushButton* 取消按钮;

  private:
    void ChooseFile();
    void MapChanged();
    void ShowPreview();
    ColumnMap CurrentMap() const;

    ImportTable table_;
    std::array<QComboBox*, kGoodsFieldCount> columnBoxes_{};
    int headerRow_ = -1;
    std::vector<ImportGoods> rows_;
    QSet<QString> existingCodes_;  // upper case, the codes in stock when the file was read
};

// Opens the window modally (super administrator only: the caller checks).
void OpenImportWindow(QWidget* owner);
