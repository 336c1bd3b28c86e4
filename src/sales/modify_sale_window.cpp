#include "sales/modify_sale_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "common/number_text.h"
#include "common/session.h"
#include "platform/dialogs.h"
#include "platform/list_refresh.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "platform/skin_caption.h"
#include "stock/goods_entry_window.h"
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
    setWindowTitle(QStringLiteral("修改销售单 - ") + grid->CellText(row, 2));
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
}

void ModifySaleWindow::Confirm() {
    if (!EnsureDatabaseOpen()) return;  // the opener has told the user
    SharedRecordSet().Close();
    qint64 changed = 0;
    const bool stored = SharedConnection().Execute(
        QStringLiteral(
            "Update sell set 欠款额=?,客户名称=?,联系方式=?,客户地址=?,备注=? where ID=?"),
        {StatementNumber(TextToNumber(欠款金额框->text())), 客户名称框->text(), 联系方式框->text(),
         客户地址框->text(), 备注框->text(), saleId_},
        &changed);
    if (!stored) {
        ShowMessage(QStringLiteral("修改失败，销售记录没有改变"), 2);
        return;
    }
    if (changed == 0) {
        ShowMessage(kSaleGone, 2);
        return;
    }
    Skin::Instance().SkinMessageBox(QStringLiteral("修改销售完成"), 1, 0, 1,
                                    QStringLiteral("提示"));
    RefillWholeList(ListId::Sales);
    RefillWholeList(ListId::Stock);
    RefillWholeList(ListId::Other);
    RefillWholeList(ListId::Summary);
    close();
}

ModifySaleWindow* OpenModifySaleWindow(QWidget* owner, RecordGrid* grid, int row) {
    static QPointer<ModifySaleWindow> open;
    if (!open) {
        if (!grid || !IsRecordId(grid->CellText(row, 1))) return nullptr;
        open = new ModifySaleWindow(owner, grid, row);
        open->show();
    }
    open->raise();
    open->activateWindow();
    return open;
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
    SharedRecordSet().Close();
    qint64 deleted = 0;
    if (!SharedConnection().Execute(QStringLiteral("Delete from sell where ID=?"),
                                    {session.selectedId}, &deleted)) {
        ShowMessage(QStringLiteral("删除失败，销售记录没有删除"), 2);
        return false;
    }
    if (deleted == 0) {
        ShowMessage(kSaleGone, 2);
        return false;
    }
    grid->RemoveItem(row);
    return true;
}
