#include "stock/stock_in_window.h"

#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "common/name_initials.h"
#include "common/number_text.h"
#include "common/session.h"
#include "platform/list_refresh.h"
#include "platform/skin.h"
#include "stock/goods_refresh.h"
#include "store/shared_db.h"

StockInWindow::StockInWindow(QWidget* owner, const GoodsRow* restockRecord)
    : GoodsEntryWindow(owner, QStringLiteral("确认入库")), restock_(restockRecord != nullptr) {
    setObjectName(QStringLiteral("StockInWindow"));
    按钮1 = new QPushButton(QStringLiteral("清空"), this);
    按钮1->setObjectName(QStringLiteral("按钮1"));
    按钮1->setGeometry(按钮2->x() - 90, 按钮2->y(), 80, 按钮2->height());

    connect(名称组合框, &QComboBox::editTextChanged, this, &StockInWindow::ProposeCode);
    connect(型号组合框, &QComboBox::editTextChanged, this, &StockInWindow::ProposeCode);
    connect(按钮1, &QPushButton::clicked, this, [this] {
        // A restock only takes a quantity: emptying its fixed boxes would leave a window that
        // can neither be filled in nor saved.
        if (restock_) {
            数量框->clear();
            数量框->setFocus();
        } else {
            ClearEntries();
        }
    });
    connect(按钮2, &QPushButton::clicked, this, &StockInWindow::Confirm);

    // A restock's boxes other than the quantity are shut: their pick lists (five scans of the
    // goods) would serve nothing.
    if (!restock_) LoadPickLists();
    if (restock_) {
        record_ = *restockRecord;
        setWindowTitle(QStringLiteral("商品续存"));
        ShowRecord(record_, false);
        ShowPurchasePrice();
        // Only the quantity to add can be typed.
        for (QWidget* box :
             std::initializer_list<QWidget*>{类别组合框, 名称组合框, 型号组合框, 编码组合框,
                                             进货单价框, 销售单价框, 供货商框, 日期框1, 备注框})
            box->setEnabled(false);
        数量框->setFocus();
    } else {
        类别组合框->setFocus();
    }
    entries_.Note(this);
}

void StockInWindow::ShowPurchasePrice() {
    if (restock_)
        进货单价框->setText(CostFiguresVisible() ? NumberText(record_.进货单价)
                                                 : QStringLiteral("*"));
}

void StockInWindow::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier)
        按钮2->click();
    else
        GoodsEntryWindow::keyPressEvent(event);
}

void StockInWindow::ProposeCode() {
    编码组合框->setEditText(NameInitials(名称组合框->currentText()) +
                            NameInitials(型号组合框->currentText()));
}

void StockInWindow::Confirm() {
    if (!CheckEntries()) return;
    if (!EnsureDatabaseOpen()) return;  // the opener has told the user
    const ledger::GoodsInput entries = Entries();
    if (restock_) {
        if (!ReportChange(
                ledger::Restock(SharedConnection(), RecordIdValue(record_.ID), entries.quantity)))
            return;
        const qint64 goodsId = RecordIdValue(record_.ID);
        // A restock changes figures only: no name, type or supplier of the stock panel's pick
        // lists, so they are not read again.
        UpdateListRow(ListId::Stock, goodsId);
        ShowDone(QStringLiteral("续存商品完成"));
        RefreshSummaryRow(goodsId);
        close();
    } else {
        const LedgerResult result = ledger::StockIn(SharedConnection(), entries);
        if (result.outcome == LedgerResult::FieldRefused) {
            ShowMessage(RefusedFieldText(result), 2);
            return;
        }
        if (!result.IsDone()) {
            ShowMessage(FailureText(result, QStringLiteral("保存失败，没有入库")), 2);
            return;
        }
        ClearEntries();
        RefreshStockRow(result.goodsId);
        LoadPickLists();
        entries_.Note(this);
        ShowDone(QStringLiteral("新建入库完成"));
        // New goods belong in the summary as well.
        RefreshSummaryRow(result.goodsId);
    }
}

StockInWindow* OpenStockInWindow(QWidget* owner, bool restock, const GoodsRow* row) {
    // A new stock-in and a restock may be open side by side, one of each.
    static QPointer<StockInWindow> newStockIn, restocking;
    if (restock && (row == nullptr || !IsRecordId(row->ID))) return nullptr;
    QPointer<StockInWindow>& open = restock ? restocking : newStockIn;
    // A closed window is only deleted later; it does not count as open.
    if (open && !open->isVisible()) open = nullptr;
    if (open && restock && open->RecordId() != row->ID) {
        // The open restock may hold a quantity already typed: it is not thrown away.
        open->raise();
        open->activateWindow();
        ShowMessage(QStringLiteral("请先确认或关闭正在进行的商品续存"), 0);
        return open;
    }
    if (!open) {
        open = new StockInWindow(owner, restock ? row : nullptr);
        open->show();
    }
    open->raise();
    open->activateWindow();
    return open;
}
