#include "sales/modify_sale_window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "common/number_text.h"
#include "common/session.h"
#include "ledger/sales.h"
#include "platform/dialogs.h"
#include "platform/list_refresh.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "platform/skin_caption.h"
#include "store/shared_db.h"

namespace {

constexpr int kRowHeight = 22;
const QString kSaleGone = QStringLiteral("找不到这条销售记录，它可能已被删除");

int RowTop(int row) {
    return 12 + 28 * row;
}

}  // namespace

ModifySaleWindow::ModifySaleWindow(QWidget* owner, RecordGrid* grid, int row)
    : QWidget(owner, Qt::Window), saleId_(grid->CellText(row, 1)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("修改销售单"));
    setWindowTitle(QStringLiteral("修改销售单 - ") + saleId_);
    setFixedSize(450, 259);

    // Left column: what was sold; right column: the debt, date and customer.
    auto caption = [this](const char* text, int left, int row) {
        auto* label = new QLabel(QString::fromUtf8(text), this);
        label->setGeometry(left, RowTop(row), 70, kRowHeight);
    };
    auto shown = [&](const char16_t* name, const char* text, int left, int line, int column) {
        caption(text, left, line);
        auto* label = new QLabel(grid->CellText(row, column), this);
        label->setObjectName(QString::fromUtf16(name));
        label->setGeometry(left + 70, RowTop(line), 135, kRowHeight);
        return label;
    };
    auto edit = [&](const char16_t* name, const char* text, int line, int column) {
        caption(text, 225, line);
        auto* box = new QLineEdit(grid->CellText(row, column), this);
        box->setObjectName(QString::fromUtf16(name));
        box->setGeometry(295, RowTop(line), 140, kRowHeight);
        return box;
    };
    名称标签 = shown(u"名称标签", "商品名称：", 12, 0, 3);
    型号标签 = shown(u"型号标签", "商品型号：", 12, 1, 4);
    编码标签 = shown(u"编码标签", "商品编码：", 12, 2, 5);
    类型标签 = shown(u"类型标签", "    类型：", 12, 3, 6);
    销售单价标签 = shown(u"销售单价标签", "销售单价：", 12, 4, 7);
    销售数量标签 = shown(u"销售数量标签", "销售数量：", 12, 5, 8);
    销售金额标签 = shown(u"销售金额标签", "销售金额：", 12, 6, 9);
    欠款金额框 = edit(u"欠款金额框", "欠款金额：", 0, 11);
    销售日期标签 = shown(u"销售日期标签", "销售日期：", 225, 1, 10);
    客户编号标签 = shown(u"客户编号标签", "客户编号：", 225, 2, 13);
    客户名称框 = edit(u"客户名称框", "客户名称：", 3, 14);
    客户地址框 = edit(u"客户地址框", "客户地址：", 4, 16);
    联系方式框 = edit(u"联系方式框", "联系方式：", 5, 15);
    备注框 = edit(u"备注框", "备注信息：", 6, 17);

    按钮1 = new QPushButton(QStringLiteral("修改"), this);
    按钮1->setObjectName(QStringLiteral("按钮1"));
    按钮1->setGeometry(345, 215, 90, 30);
    connect(按钮1, &QPushButton::clicked, this, &ModifySaleWindow::Confirm);
    seen_ = ledger::ReadEdited(SharedConnection(), ledger::EditedRow::Sale, RecordIdValue(saleId_));
    entries_.Note(this);
}

void ModifySaleWindow::Confirm() {
    if (!EnsureDatabaseOpen()) return;  // the opener has told the user
    SaleChange change;
    change.欠款额 = TextToNumber(欠款金额框->text());
    change.客户名称 = 客户名称框->text();
    change.联系方式 = 联系方式框->text();
    change.客户地址 = 客户地址框->text();
    change.备注 = 备注框->text();
    const LedgerResult result =
        ledger::ModifySale(SharedConnection(), RecordIdValue(saleId_), change, seen_);
    if (result.outcome == LedgerResult::RecordGone) {
        ShowMessage(kSaleGone, 2);
        return;
    }
    if (result.outcome == LedgerResult::RecordChanged) {
        ShowMessage(RecordChangedText(QStringLiteral("这笔销售")), 2);
        return;
    }
    if (!result.IsDone()) {
        ShowMessage(FailureText(result, QStringLiteral("修改失败，销售记录没有改变")), 2);
        return;
    }
    Skin::Instance().SkinMessageBox(QStringLiteral("修改销售完成"), 1, 0, 1,
                                    QStringLiteral("提示"));
    // The change stays within the sale's own row.
    UpdateListRow(ListId::Sales, result.saleId);
    close();
}

void ModifySaleWindow::keyPressEvent(QKeyEvent* event) {
    if (!entries_.CloseOnEscape(this, event)) QWidget::keyPressEvent(event);
}

ModifySaleWindow* OpenModifySaleWindow(QWidget* owner, RecordGrid* grid, int row) {
    // One window per sale: a second sale gets a window of its own, never the open one
    // showing the first sale while the user believes it shows the second.
    static QList<QPointer<ModifySaleWindow>> open;
    open.removeAll(nullptr);
    if (!grid || !IsRecordId(grid->CellText(row, 1))) return nullptr;
    const QString saleId = grid->CellText(row, 1);
    ModifySaleWindow* window = nullptr;
    for (ModifySaleWindow* w : std::as_const(open))
        if (w->SaleId() == saleId) window = w;
    if (!window) {
        window = new ModifySaleWindow(owner, grid, row);
        open.append(window);
        window->show();
    }
    window->raise();
    window->activateWindow();
    return window;
}

bool DeleteSale(RecordGrid* grid, int row) {
    Session& session = CurrentSession();
    session.selectedId = grid->CellText(row, 1);
    if (!IsRecordId(session.selectedId)) return false;
    const QString question = QStringLiteral("你确定要删除当前选中的资料吗？\r\n\r\n") +
                             QString(11, u' ') + QStringLiteral("一经删除无法恢复");
    if (Dialogs().SystemMessage(grid->window(), question, ProgramCaption(), BoxIcon::Question,
                                BoxButtons::OkCancel) != BoxAnswer::Ok)
        return false;
    if (!EnsureDatabaseOpen()) return false;  // the opener has told the user
    const LedgerResult result =
        ledger::DeleteSale(SharedConnection(), RecordIdValue(session.selectedId));
    if (result.outcome == LedgerResult::RecordGone) {
        ShowMessage(kSaleGone, 2);
        return false;
    }
    if (!result.IsDone()) {
        ShowMessage(FailureText(result, QStringLiteral("删除失败，销售记录没有删除")), 2);
        return false;
    }
    // The row leaves the list with its figures in the totals; the sale's quantity went back to
    // its goods.
    UpdateListRow(ListId::Sales, result.saleId);
    if (result.goodsId != 0) {
        UpdateListRow(ListId::Stock, result.goodsId);
        UpdateListRow(ListId::Summary, result.goodsId);
    }
    return true;
}
