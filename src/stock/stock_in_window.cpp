#include "stock/stock_in_window.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "common/number_text.h"
#include "common/session.h"
#include "platform/skin.h"
#include "stock/goods_refresh.h"
#include "stock/name_initials.h"
#include "store/shared_db.h"

StockInWindow::StockInWindow(QWidget* owner, const GoodsRow* restockRecord)
    : GoodsEntryWindow(owner, QStringLiteral("确认入库")), restock_(restockRecord != nullptr) {
    setObjectName(QStringLiteral("StockInWindow"));
    按钮1 = new QPushButton(QStringLiteral("清空"), this);
    按钮1->setObjectName(QStringLiteral("按钮1"));
    按钮1->setGeometry(按钮2->x() - 90, 按钮2->y(), 80, 按钮2->height());

    connect(名称组合框, &QComboBox::editTextChanged, this, &StockInWindow::ProposeCode);
    connect(型号组合框, &QComboBox::editTextChanged, this, &StockInWindow::ProposeCode);
    connect(按钮1, &QPushButton::clicked, this, &StockInWindow::ClearEntries);
    connect(按钮2, &QPushButton::clicked, this, &StockInWindow::Confirm);

    LoadPickLists();
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
}

void StockInWindow::ShowPurchasePrice() {
    if (restock_)
        进货单价框->setText(CostFiguresVisible() ? NumberText(record_.进货单价)
                                                 : QStringLiteral("*"));
}

void StockInWindow::ProposeCode() {
    编码组合框->setEditText(NameInitials(名称组合框->currentText()) +
                            NameInitials(型号组合框->currentText()));
}

void StockInWindow::Confirm() {
    if (!CheckEntries()) return;
    const GoodsEntries entries = Entries();
    if (restock_) {
        if (!AddToRecord(entries)) return;
        RefreshStockList();  // the window closes: its own pick lists need no reload
        ShowDone(QStringLiteral("续存商品完成"));
        RefreshGoodsLists();
        close();
    } else {
        if (!AppendRecord(entries)) return;
        ClearEntries();
        RefreshStockList();
        LoadPickLists();
        ShowDone(QStringLiteral("新建入库完成"));
    }
}

bool StockInWindow::AppendRecord(const GoodsEntries& e) {
    if (!EnsureDatabaseOpen()) return false;  // the opener has told the user
    DbRecordSet& records = SharedRecordSet();
    records.Close();
    if (!records.Open(QStringLiteral("buy"), SharedConnection()) || !records.AddNew()) {
        ShowMessage(QStringLiteral("无法打开商品表，没有入库"), 2);
        records.Close();
        return false;
    }
    const double amount = e.quantity * e.price;
    const struct {
        const char* field;
        QVariant value;
        const char* code;
    } fields[] = {
        {"类型", e.type, "错误代码 [099]"},
        {"名称", e.name, "错误代码 [098]"},
        {"型号", e.model, "错误代码 [097]"},
        {"编码", e.code, "错误代码 [096]"},
        {"进货数量", e.quantity, "错误代码 [095]"},
        {"进货单价", e.price, "错误代码 [094]"},
        {"进货金额", amount, "错误代码 [093]"},
        {"销售数量", 0.0, "错误代码 [093]"},
        {"销售单价", e.salePrice, "错误代码 [091]"},
        {"销售金额", 0.0, "错误代码 [090]"},
        {"存货数量", e.quantity, "错误代码 [089]"},
        {"存货金额", amount, "错误代码 [088]"},
        {"入库日期", e.date, "错误代码 [087]"},
        {"供货商", e.supplier, "错误代码 [086]"},
        {"备注", e.remark, "错误代码 [085]"},
        {"首拼", NameInitials(e.name), "错误代码 [085]"},
    };
    for (const auto& f : fields) {
        if (!records.SetFieldByName(QString::fromUtf8(f.field), f.value)) {
            records.Close();  // drops the half-set record
            ShowMessage(QString::fromUtf8(f.code), 2);
            return false;
        }
    }
    const bool saved = records.Update();
    records.Close();
    if (!saved) ShowMessage(QStringLiteral("保存失败，没有入库"), 2);
    return saved;
}

bool StockInWindow::AddToRecord(const GoodsEntries& e) {
    // The price is the record's own: its box cannot be changed in a restock and may show
    // only "*".
    const double added = e.quantity * record_.进货单价;
    return ChangeRecord(
        QStringLiteral("Update buy set 进货数量=?,进货金额=?,存货数量=?,存货金额=? where ID=?"),
        {StatementNumber(record_.进货数量 + e.quantity), StatementNumber(record_.进货金额 + added),
         StatementNumber(record_.存货数量 + e.quantity), StatementNumber(record_.存货金额 + added),
         record_.ID});
}

StockInWindow* OpenStockInWindow(QWidget* owner, bool restock, const GoodsRow* row) {
    static QPointer<StockInWindow> open;
    if (restock && (row == nullptr || !IsRecordId(row->ID))) return nullptr;
    if (!open) {
        open = new StockInWindow(owner, restock ? row : nullptr);
        open->show();
    }
    open->raise();
    open->activateWindow();
    return open;
}
