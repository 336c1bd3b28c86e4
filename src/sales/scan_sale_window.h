#pragma once
// The scan sale window ("扫描销售（批量销售）"): goods codes scanned or typed at the counter
// build a receipt list; the list is sold item by item through the sell window, previewed,
// edited as text and printed.

#include <QDialog>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;

// The goods a scanned code stands for: the first goods of the stock list (those it shows, in
// its order) whose code equals the text, or, when no code equals it, whose code contains it.
struct ScannedGoods {
    QString id;
    QString 名称;
    double 销售单价 = 0;
};
// Empty when no goods has the code, or the read failed (error then says why).
std::optional<ScannedGoods> FindGoodsByCode(const QString& code, QString* error);

class ScanSaleWindow final : public QDialog {
    Q_OBJECT

  public:
    explicit ScanSaleWindow(QWidget* owner);
    ~ScanSaleWindow() override;

    // "确定" and Enter in the code box: adds a line for the goods of the code typed.
    void OnConfirmCode();
    // "删除" of the list's menu: removes the current goods line.
    void OnDeleteLine();
    // "入库（可修改）" (autoConfirm false) and "入库（不修改）": sells every goods line; each
    // line then shows its sale as booked, and a line whose goods were not sold is taken off.
    void OnSellList(bool autoConfirm);
    void OnPreview();  // "预览"
    void OnPrint();    // "打印"
    void OnClear();    // "清空（Q）"

    // The goods ID a list line was added for; empty for the header and closing lines.
    QString LineGoodsId(int line) const;
    double ReceiptTotal() const { return receiptTotal_; }

    QListWidget* 列表框1;
    QMenu* 删除选项;
    QPlainTextEdit* 编辑框1;
    QLabel* 透明标签7;
    QLineEdit* 编辑框2;
    QGroupBox* 分组框1;
    QLabel* 透明标签1;
    QLineEdit* 商品编码编辑框;
    QPushButton* 按钮1;
    QPushButton* 按钮4;
    QPushButton* 按钮3;
    QPushButton* 按钮2;
    QPushButton* 按钮5;
    QPushButton* 按钮6;
    // The method the sales of the list are paid in: their sell windows open on it.
    QComboBox* 付款方式框;
    QPushButton* 打印机设置按钮;

    // Escape and the close button: with goods lines in the list, which live only in this
    // window, the user is asked first.
    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void StartOver();
    double GoodsQuantity() const;
    void RecountTotal();
    // After the batch changed the goods lines: the closing lines and preview made afresh.
    void RemakePreview();

    QWidget* owner_;
    double receiptTotal_ = 0;
    bool previewDone_ = false;
    int closingLines_ = 0;  // at the list's end once previewed
};

// Runs the window modally; its owner is the main window, beside which the sell windows of
// the batch open.
void OpenScanSaleWindow(QWidget* owner);
