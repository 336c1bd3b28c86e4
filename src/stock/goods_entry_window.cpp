#include "stock/goods_entry_window.h"

#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/date_text.h"
#include "common/name_initials.h"
#include "common/number_text.h"
#include "platform/combo_fill.h"
#include "platform/dialogs.h"
#include "platform/placement.h"
#include "platform/skin.h"
#include "platform/up_down_arrows.h"
#include "stock/stock_page.h"
#include "store/shared_db.h"

namespace {

constexpr int kRowHeight = 22;
constexpr int kLeftLabel = 15;
constexpr int kLeftBox = 85;
constexpr int kRightLabel = 245;
constexpr int kRightBox = 315;
constexpr int kLabelWidth = 70;
constexpr int kLeftWidth = 140;
constexpr int kRightWidth = 120;  // the arrows take 16 more
constexpr int kFullWidth = kRightBox + kRightWidth + UpDownArrows::kWidth - kLeftBox;

int RowTop(int row) {
    return 15 + 30 * row;
}

// Up adds one; down takes one off only while the number is above zero.
void StepNumber(QLineEdit* box, bool upwards) {
    const double number = TextToNumber(box->text());
    if (upwards)
        box->setText(NumberText(number + 1));
    else if (IsGreater(number, 0))
        box->setText(NumberText(number - 1));
}

}  // namespace

GoodsEntryWindow::GoodsEntryWindow(QWidget* owner, const QString& confirmText)
    : QWidget(owner, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("新建入库"));
    setFixedSize(kLeftBox + kFullWidth + kLeftLabel, 250);

    类别组合框 = AddCombo(QStringLiteral("类别组合框"), QStringLiteral("类    别："),
                          QRect(kLeftBox, RowTop(0), kLeftWidth, kRowHeight));
    名称组合框 = AddCombo(QStringLiteral("名称组合框"), QStringLiteral("商品名称："),
                          QRect(kLeftBox, RowTop(1), kLeftWidth, kRowHeight));
    型号组合框 = AddCombo(QStringLiteral("型号组合框"), QStringLiteral("规格型号："),
                          QRect(kLeftBox, RowTop(2), kLeftWidth, kRowHeight));
    编码组合框 = AddCombo(QStringLiteral("编码组合框"), QStringLiteral("商品编码："),
                          QRect(kLeftBox, RowTop(3), kLeftWidth, kRowHeight));

    AddLabel(QStringLiteral("入库日期："), QRect(kLeftLabel, RowTop(4), kLabelWidth, kRowHeight));
    日期框1 = NewDateBox(this, QStringLiteral("日期框1"), QStringLiteral("yyyy-MM-dd"));
    日期框1->setGeometry(kLeftBox, RowTop(4), kLeftWidth, kRowHeight);

    进货单价框 = AddEdit(QStringLiteral("进货单价框"), QStringLiteral("进货单价："),
                         QRect(kRightBox, RowTop(0), kRightWidth, kRowHeight));
    进货单价调节器 = AddArrows(QStringLiteral("进货单价调节器"), 进货单价框);
    数量框 = AddEdit(QStringLiteral("数量框"), QStringLiteral("数    量："),
                     QRect(kRightBox, RowTop(1), kRightWidth, kRowHeight));
    数量调节器 = AddArrows(QStringLiteral("数量调节器"), 数量框);
    销售单价框 = AddEdit(QStringLiteral("销售单价框"), QStringLiteral("销售单价："),
                         QRect(kRightBox, RowTop(2), kRightWidth, kRowHeight));
    销售单价调节器 = AddArrows(QStringLiteral("销售单价调节器"), 销售单价框);
    供货商框 =
        AddCombo(QStringLiteral("供货商框"), QStringLiteral("供 货 商："),
                 QRect(kRightBox, RowTop(3), kRightWidth + UpDownArrows::kWidth, kRowHeight));
    备注框 = AddEdit(QStringLiteral("备注框"), QStringLiteral("备注信息："),
                     QRect(kLeftBox, RowTop(5) + 5, kFullWidth, kRowHeight));

    按钮2 = new QPushButton(confirmText, this);
    按钮2->setObjectName(QStringLiteral("按钮2"));
    按钮2->setGeometry(kLeftBox + kFullWidth - 86, 205, 86, 28);
}

QComboBox* GoodsEntryWindow::AddCombo(const QString& name, const QString& label, const QRect& box) {
    AddLabel(label, QRect(box.x() == kLeftBox ? kLeftLabel : kRightLabel, box.y(), kLabelWidth,
                          box.height()));
    auto* combo = new QComboBox(this);
    combo->setObjectName(name);
    combo->setEditable(true);
    // The list only suggests: what is typed stays as typed.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->setGeometry(box);
    return combo;
}

QLineEdit* GoodsEntryWindow::AddEdit(const QString& name, const QString& label, const QRect& box) {
    AddLabel(label, QRect(box.x() == kLeftBox ? kLeftLabel : kRightLabel, box.y(), kLabelWidth,
                          box.height()));
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setGeometry(box);
    return edit;
}

UpDownArrows* GoodsEntryWindow::AddArrows(const QString& name, QLineEdit* box) {
    auto* arrows = new UpDownArrows(box, this);
    arrows->setObjectName(name);
    connect(arrows, &UpDownArrows::up, box, [box] { StepNumber(box, true); });
    connect(arrows, &UpDownArrows::down, box, [box] { StepNumber(box, false); });
    return arrows;
}

void GoodsEntryWindow::AddLabel(const QString& text, const QRect& box) {
    auto* label = new QLabel(text, this);
    label->setGeometry(box);
}

void GoodsEntryWindow::LoadPickLists() {
    FillGoodsPickList(类别组合框, ledger::kGoodsType);
    FillGoodsPickList(名称组合框, ledger::kGoodsName);
    FillGoodsPickList(型号组合框, ledger::kGoodsModel);
    FillGoodsPickList(编码组合框, ledger::kGoodsCode);
    FillGoodsPickList(供货商框, ledger::kGoodsSupplier);
}

void GoodsEntryWindow::ShowRecord(const GoodsRow& record, bool withQuantityAndRemark) {
    // The code comes after name and model, so that it is not replaced by a proposal.
    类别组合框->setEditText(record.类型);
    名称组合框->setEditText(record.名称);
    型号组合框->setEditText(record.型号);
    编码组合框->setEditText(record.编码);
    进货单价框->setText(NumberText(record.进货单价));
    if (withQuantityAndRemark) 数量框->setText(NumberText(record.进货数量));
    销售单价框->setText(NumberText(record.销售单价));
    供货商框->setEditText(record.供货商);
    if (withQuantityAndRemark) 备注框->setText(record.备注);
    日期框1->setDate(record.入库日期);
}

void GoodsEntryWindow::ClearEntries() {
    类别组合框->clearEditText();
    名称组合框->clearEditText();
    型号组合框->clearEditText();
    编码组合框->clearEditText();
    进货单价框->clear();
    数量框->clear();
    销售单价框->clear();
    供货商框->clearEditText();
    备注框->clear();
}

bool GoodsEntryWindow::CheckEntries() {
    struct Check {
        bool failed;
        const char* text;
        QWidget* focus;
    };
    const Check checks[] = {
        {类别组合框->currentText().isEmpty(), "商品类别必须填写", 类别组合框},
        {名称组合框->currentText().isEmpty(), "商品名称必须填写", 名称组合框},
        {编码组合框->currentText().isEmpty(), "商品编码必须填写", 编码组合框},
        {!IsGreater(TextToNumber(进货单价框->text()), 0), "进货价格必须填写", 进货单价框},
        {!IsGreater(TextToNumber(数量框->text()), 0), "进货数量必须填写", 数量框},
        {!IsGreater(TextToNumber(销售单价框->text()), 0), "销售价格必须填写", 销售单价框},
    };
    for (const Check& check : checks) {
        // A box the user cannot change (a restock's record fields) is not the user's to fill.
        if (!check.failed || !check.focus->isEnabled()) continue;
        Dialogs().SystemMessage(this, QString::fromUtf8(check.text),
                                QStringLiteral("请填写完整信息"), BoxIcon::Information,
                                BoxButtons::Ok);
        check.focus->setFocus();
        return false;
    }
    return true;
}

ledger::GoodsInput GoodsEntryWindow::Entries() const {
    ledger::GoodsInput entries;
    entries.type = 类别组合框->currentText();
    entries.name = 名称组合框->currentText();
    entries.model = 型号组合框->currentText();
    entries.code = 编码组合框->currentText();
    entries.price = TextToNumber(进货单价框->text());
    entries.quantity = TextToNumber(数量框->text());
    entries.salePrice = TextToNumber(销售单价框->text());
    entries.supplier = 供货商框->currentText();
    entries.remark = 备注框->text();
    entries.initials = NameInitials(entries.name);
    entries.date = 日期框1->date();
    return entries;
}

bool GoodsEntryWindow::ReportChange(const LedgerResult& result) {
    switch (result.outcome) {
        case LedgerResult::Done:
            return true;
        case LedgerResult::RecordGone:
            ShowMessage(QStringLiteral("找不到这件商品的记录，它可能已被删除"), 2);
            return false;
        case LedgerResult::RecordChanged:
            ShowMessage(RecordChangedText(QStringLiteral("这件商品")), 2);
            return false;
        default:
            ShowMessage(FailureText(result, QStringLiteral("保存失败，商品资料没有改变")), 2);
            return false;
    }
}

void GoodsEntryWindow::keyPressEvent(QKeyEvent* event) {
    if (!entries_.CloseOnEscape(this, event)) QWidget::keyPressEvent(event);
}

void GoodsEntryWindow::ShowDone(const QString& text) {
    Skin::Instance().SkinMessageBox(text, 1, 1, 1, QStringLiteral("提示"));
}
