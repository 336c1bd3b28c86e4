#include "sales/scan_sale_window.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

#include "common/gbk.h"
#include "common/name_initials.h"
#include "common/settings.h"
#include "common/text.h"
#include "ledger/goods_code.h"
#include "ledger/goods_list.h"
#include "platform/dialogs.h"
#include "platform/list_style.h"
#include "platform/pay_method_box.h"
#include "platform/placement.h"
#include "platform/skin.h"
#include "platform/till_keeper.h"
#include "sales/printer_choice_window.h"
#include "sales/receipt.h"
#include "sales/receipt_printer.h"
#include "sales/scan_batch.h"
#include "sales/sell_window.h"
#include "stock/goods_row.h"
#include "store/shared_db.h"

namespace {

// Item data of a goods line: the goods, and its quantity and amount as scanned (1 at the
// goods' price) until the batch has sold it, then as the sale was booked.
constexpr int kGoodsIdRole = Qt::UserRole;
constexpr int kQuantityRole = Qt::UserRole + 1;
constexpr int kAmountRole = Qt::UserRole + 2;

}  // namespace

std::optional<ScannedGoods> FindGoodsByCode(const QString& code, QString* error) {
    // The stock list leaves out goods without stock unless told to show them, and may be
    // sorted by stock: the goods found are the first the list would show.
    const ledger::CodeLookup lookup =
        ledger::SaleLookup(!SetupFlag(SetupKey::kZero), SetupFlag(SetupKey::kBeepView));
    ledger::CodedGoods found;
    bool read = ledger::FindGoodsByCode(SharedConnection(), code, lookup, &found, error);
    // The server went away: the scan is looked up in the till's copy, which sells on.
    if (!read && SellOfflineAfterLoss()) {
        error->clear();
        read = ledger::FindGoodsByCode(SharedConnection(), code, lookup, &found, error);
    }
    if (!read || found.id == 0) return std::nullopt;
    return ScannedGoods{QString::number(found.id), found.name, found.salePrice};
}

ScanSaleWindow::ScanSaleWindow(QWidget* owner) : QDialog(owner), owner_(owner) {
    setObjectName(QStringLiteral("ScanSaleWindow"));
    setWindowTitle(QStringLiteral("扫描销售（批量销售）"));
    setFixedSize(664, 485);
    const QFont receiptFont = ReceiptFont();

    列表框1 = Place<QListWidget>(this, QStringLiteral("列表框1"), 8, 8, 300, 318);
    列表框1->setFont(receiptFont);
    列表框1->setAccessibleName(QStringLiteral("扫描的商品"));
    列表框1->viewport()->installEventFilter(this);
    删除选项 = new QMenu(this);
    删除选项->setObjectName(QStringLiteral("删除选项"));
    connect(删除选项->addAction(QStringLiteral("删除")), &QAction::triggered, this,
            &ScanSaleWindow::OnDeleteLine);

    PlaceLabel(this, QStringLiteral("打印预览"), 312, 140, 50, 20, Qt::AlignCenter);
    PlaceLabel(this, QStringLiteral("------->"), 312, 160, 50, 20, Qt::AlignCenter);
    编辑框1 = Place<QPlainTextEdit>(this, QStringLiteral("编辑框1"), 366, 8, 290, 318);
    编辑框1->setFont(receiptFont);
    编辑框1->setLineWrapMode(QPlainTextEdit::NoWrap);
    PlaceLabel(this, QStringLiteral("需要修改在这修改！ (打印预览框)↑↑↑"), 366, 330, 290, 20);

    透明标签7 = PlaceLabel(this, QStringLiteral("正在入库..."), 8, 330, 120, 20);
    透明标签7->setObjectName(QStringLiteral("透明标签7"));
    透明标签7->setStyleSheet(QStringLiteral("color: red;"));
    透明标签7->hide();
    编辑框2 = Place<QLineEdit>(this, QStringLiteral("编辑框2"), 188, 330, 120, 20);
    编辑框2->setReadOnly(true);
    编辑框2->setAccessibleName(QStringLiteral("正在入库的商品"));

    分组框1 = Place<QGroupBox>(this, QStringLiteral("分组框1"), 8, 356, 648, 120);
    透明标签1 = PlaceLabel(分组框1, QStringLiteral("商品编码："), 12, 24, 70, 26,
                           Qt::AlignRight | Qt::AlignVCenter);
    透明标签1->setObjectName(QStringLiteral("透明标签1"));
    商品编码编辑框 = Place<QLineEdit>(分组框1, QStringLiteral("商品编码编辑框"), 86, 24, 200, 26);
    商品编码编辑框->installEventFilter(this);
    auto button = [this](const char16_t* name, const char* text, int x, int y, int w) {
        auto* b = Place<QPushButton>(分组框1, QString::fromUtf16(name), x, y, w, 28);
        b->setText(QString::fromUtf8(text));
        // Enter belongs to the code box: it must never press a button as well.
        b->setAutoDefault(false);
        return b;
    };
    按钮1 = button(u"按钮1", "确定", 294, 23, 64);
    按钮4 = button(u"按钮4", "预览", 366, 23, 64);
    按钮3 = button(u"按钮3", "打印", 438, 23, 64);
    打印机设置按钮 = button(u"打印机设置按钮", "打印机设置", 510, 23, 96);
    按钮2 = button(u"按钮2", "入库（可修改）", 12, 64, 130);
    按钮5 = button(u"按钮5", "入库（不修改）", 150, 64, 130);
    PlaceLabel(分组框1, QStringLiteral("这种有点慢! ↑"), 150, 94, 130, 18, Qt::AlignCenter);
    按钮6 = button(u"按钮6", "清空（Q）", 294, 64, 136);
    PlaceLabel(分组框1, QStringLiteral("付款方式："), 438, 64, 70, 28,
               Qt::AlignRight | Qt::AlignVCenter);
    付款方式框 = PlacePayMethodBox(分组框1, QStringLiteral("付款方式框"), 510, 66, 96, 24);

    connect(按钮1, &QPushButton::clicked, this, &ScanSaleWindow::OnConfirmCode);
    connect(按钮4, &QPushButton::clicked, this, &ScanSaleWindow::OnPreview);
    connect(按钮3, &QPushButton::clicked, this, &ScanSaleWindow::OnPrint);
    connect(打印机设置按钮, &QPushButton::clicked, this, [this] { ChoosePrinter(this); });
    connect(按钮2, &QPushButton::clicked, this, [this] { OnSellList(false); });
    connect(按钮5, &QPushButton::clicked, this, [this] { OnSellList(true); });
    connect(按钮6, &QPushButton::clicked, this, &ScanSaleWindow::OnClear);

    StartOver();
}

ScanSaleWindow::~ScanSaleWindow() {
    // Sales made from the stock list after this window are ordinary sales again.
    SetScanBatchMode(false);
    SetAutoConfirmSale(false);
}

void ScanSaleWindow::StartOver() {
    商品编码编辑框->setFocus();
    列表框1->addItems(ReceiptHeaderLines(ReadReceiptTexts()));
    receiptTotal_ = 0;
    previewDone_ = false;
    SetScanBatchMode(false);
    SetAutoConfirmSale(false);
}

bool ScanSaleWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == 商品编码编辑框 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            OnConfirmCode();
            return true;
        }
        // Q clears only an empty box, so that a code with a Q in it is scanned whole.
        if (key->key() == Qt::Key_Q && 商品编码编辑框->text().isEmpty() &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            OnClear();
            return true;
        }
    }
    if (watched == 列表框1->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        if (!LineGoodsId(列表框1->currentRow()).isEmpty() && !previewDone_)
            删除选项->popup(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ScanSaleWindow::OnConfirmCode() {
    const QString code = TrimSpaces(商品编码编辑框->text());
    if (code.isEmpty()) {
        ShowMessage(QStringLiteral("请输入商品编码！"), 0);
        商品编码编辑框->setFocus();
        return;
    }
    QString error;
    if (const auto goods = FindGoodsByCode(code, &error)) {
        auto* line = new QListWidgetItem(ReceiptGoodsLine(goods->名称, 1, goods->销售单价));
        line->setData(kGoodsIdRole, goods->id);
        line->setData(kQuantityRole, 1.0);
        line->setData(kAmountRole, goods->销售单价);
        列表框1->addItem(line);
        列表框1->scrollToBottom();
        receiptTotal_ += goods->销售单价;
    } else if (!error.isEmpty()) {
        ShowMessage(ReadFailureText(QStringLiteral("查找商品失败"), error), 2);
    } else {
        ShowMessage(QStringLiteral("输入商品编码有误！， 库中无本产品！"), 2);
    }
    商品编码编辑框->clear();
    商品编码编辑框->setFocus();
}

QString ScanSaleWindow::LineGoodsId(int line) const {
    const QListWidgetItem* item = 列表框1->item(line);
    return item ? item->data(kGoodsIdRole).toString() : QString();
}

double ScanSaleWindow::GoodsQuantity() const {
    double quantity = 0;
    for (int i = 0; i < 列表框1->count(); ++i)
        if (!LineGoodsId(i).isEmpty()) quantity += 列表框1->item(i)->data(kQuantityRole).toDouble();
    return quantity;
}

void ScanSaleWindow::RecountTotal() {
    // Summed afresh, so that taking a price off leaves no rounding residue.
    receiptTotal_ = 0;
    for (int i = 0; i < 列表框1->count(); ++i)
        if (!LineGoodsId(i).isEmpty())
            receiptTotal_ += 列表框1->item(i)->data(kAmountRole).toDouble();
}

void ScanSaleWindow::OnDeleteLine() {
    const int line = 列表框1->currentRow();
    // The header and closing lines are not goods; after the preview the total is printed.
    if (LineGoodsId(line).isEmpty() || previewDone_) return;
    delete 列表框1->takeItem(line);
    RecountTotal();
}

void ScanSaleWindow::OnSellList(bool autoConfirm) {
    if (autoConfirm) SetAutoConfirmSale(true);
    for (QWidget* control : {static_cast<QWidget*>(按钮2), static_cast<QWidget*>(按钮5),
                             static_cast<QWidget*>(按钮1), static_cast<QWidget*>(商品编码编辑框)})
        control->setEnabled(false);
    透明标签7->show();
    SetScanBatchMode(true);
    const QPointer<ScanSaleWindow> self(this);
    // The receipt lists what was booked: each line becomes its sale as the sell window made it
    // (the user may have changed quantity, price or amount), and goes when nothing was sold.
    bool changed = false;
    for (int line = 0; line < 列表框1->count(); ++line) {
        // Each line sells the goods it was scanned for, found by their ID.
        const QString id = LineGoodsId(line);
        if (id.isEmpty()) continue;
        QListWidgetItem* item = 列表框1->item(line);
        const QString name = TrimSpaces(GbkCut(item->text(), 15));
        编辑框2->setText(NameInitials(name));
        GoodsRow row;
        SaleInput booked;
        bool readFailed = false;
        if (!LoadGoodsRow(id, &row, &readFailed)) {
            if (!readFailed)
                ShowMessage(QStringLiteral("“%1”已不在库中，这一件没有销售。").arg(name), 2);
        } else if (OpenSellWindow(owner_, &row, &booked) == QDialog::Accepted) {
            if (!self) return;
            const QString text = ReceiptGoodsLine(booked.名称, booked.销售数量, booked.销售单价);
            changed = changed || text != item->text() ||
                      item->data(kAmountRole).toDouble() != booked.销售金额;
            item->setText(text);
            item->setData(kQuantityRole, booked.销售数量);
            item->setData(kAmountRole, booked.销售金额);
            continue;
        }
        if (!self) return;
        delete 列表框1->takeItem(line--);
        changed = true;
    }
    RecountTotal();
    if (changed && previewDone_) RemakePreview();
    SetScanBatchMode(false);
    SetAutoConfirmSale(false);
    透明标签7->hide();
}

void ScanSaleWindow::OnPreview() {
    for (QWidget* control : {static_cast<QWidget*>(按钮4), static_cast<QWidget*>(商品编码编辑框),
                             static_cast<QWidget*>(按钮1)})
        control->setEnabled(false);
    编辑框1->clear();
    const QStringList closing =
        ReceiptClosingLines(GoodsQuantity(), receiptTotal_, ReadReceiptTexts());
    closingLines_ = static_cast<int>(closing.size());
    列表框1->addItems(closing);
    QStringList lines;
    for (int i = 0; i < 列表框1->count(); ++i) lines << 列表框1->item(i)->text();
    编辑框1->setPlainText(ReceiptPreviewText(lines));
    previewDone_ = true;
}

void ScanSaleWindow::RemakePreview() {
    // The preview's edits go with it: figures that were not booked must not be printed.
    for (int i = 0; i < closingLines_; ++i) delete 列表框1->takeItem(列表框1->count() - 1);
    OnPreview();
}

void ScanSaleWindow::OnPrint() {
    // The preview as it stands, with the user's edits, is what gets printed.
    if (!previewDone_) OnPreview();
    std::optional<PrinterChoice> choice = ReadPrinterChoice();
    if (!choice) {
        if (!ChoosePrinter(this)) return;
        choice = ReadPrinterChoice();
    }
    if (!choice || !PrintReceipt(*choice, 编辑框1->toPlainText(), 编辑框1->font())) return;
    if (!按钮2->isEnabled() && !按钮5->isEnabled() && !按钮1->isEnabled()) accept();
}

void ScanSaleWindow::OnClear() {
    列表框1->clear();
    编辑框1->clear();
    for (QWidget* control :
         {static_cast<QWidget*>(按钮2), static_cast<QWidget*>(按钮5), static_cast<QWidget*>(按钮1),
          static_cast<QWidget*>(商品编码编辑框), static_cast<QWidget*>(按钮4)})
        control->setEnabled(true);
    StartOver();
}

void ScanSaleWindow::reject() {
    bool scanned = false;
    for (int i = 0; i < 列表框1->count() && !scanned; ++i) scanned = !LineGoodsId(i).isEmpty();
    if (scanned && Dialogs().SystemMessage(this,
                                           QStringLiteral("列表中还有扫描的商品，关闭窗口后这些"
                                                          "商品行和收据都不再保留。\n\n"
                                                          "确定要关闭吗？"),
                                           QStringLiteral("提示"), BoxIcon::Question,
                                           BoxButtons::YesNo) != BoxAnswer::Yes)
        return;
    QDialog::reject();
}

void OpenScanSaleWindow(QWidget* owner) {
    // On the heap: closing the owner during the modal loop takes the window with it.
    QPointer<ScanSaleWindow> window = new ScanSaleWindow(owner);
    Dialogs().RunModal(window);
    delete window.data();
}
