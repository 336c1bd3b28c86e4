#include "finance/finance_ui.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <cmath>

#include "common/date_text.h"
#include "common/number_text.h"
#include "common/session.h"
#include "platform/dialogs.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "store/shared_db.h"

bool ConfirmDelete(QWidget* parent) {
    const QString text = QStringLiteral("你确定要删除当前选中的资料吗？\r\n\r\n") +
                         QString(8, u' ') + QStringLiteral("一经删除无法恢复");
    return Dialogs().SystemMessage(parent, text, QStringLiteral("警告！"), BoxIcon::Warning,
                                   BoxButtons::OkCancel) == BoxAnswer::Ok;
}

void AskToFillIn(QWidget* parent, const QString& text, QWidget* focus) {
    Dialogs().SystemMessage(parent, text, QStringLiteral("请填写完整信息"), BoxIcon::Information,
                            BoxButtons::Ok);
    if (focus) focus->setFocus();
}

void ShowDone(const QString& text) {
    Skin::Instance().SkinMessageBox(text, 1, 1, 1, QStringLiteral("提示"));
}

void SetHeaderTexts(RecordGrid* grid, const QStringList& texts) {
    for (int c = 0; c < texts.size(); ++c) {
        grid->SetCellText(0, c, texts[c]);
        grid->Cell(0, c).SetAlignment(RecordGrid::cellCenterCenter);
    }
}

void SetListLook(RecordGrid* grid, int cols) {
    grid->SetAutoRedraw(false);
    grid->SetFrozenBottomRows(0);
    grid->SetRows(100);
    grid->SetCols(cols);
    grid->SetFixedRows(1);
    grid->SetAllowUserResizing(true);
    grid->SetAllowUserSort(true);
    grid->SetRowHeight(0, 26);
    for (int c = 0; c < cols; ++c) {
        GridColumn column = grid->Column(c);
        column.SetAlignment(RecordGrid::cellGeneral);
        column.SetMask(RecordGrid::cellNoMask);
        column.SetDecimalLength(0);
        column.SetUserSortIndicator(RecordGrid::cellSortIndicatorNone);
    }
}

void ExportWholeList(RecordGrid* grid) {
    const bool written = grid && grid->ExportToExcel(QString(), true, true);
    ShowMessage(written ? QStringLiteral("输出Excel成功") : QStringLiteral("输出Excel失败"), 1);
}

bool DeleteSelectedRecord(RecordGrid* grid, LedgerResult (*remove)(DbConnection&, qint64),
                          const QString& failure) {
    Session& session = CurrentSession();
    session.selectedId = grid->CellText(session.selectedRow, 1);
    if (!IsRecordId(session.selectedId)) return false;
    if (!ConfirmDelete(grid->window())) return true;
    if (!EnsureDatabaseOpen()) return true;  // the opener has told the user
    // An entry deleted meanwhile elsewhere is gone as the user wanted.
    const LedgerResult result = remove(SharedConnection(), RecordIdValue(session.selectedId));
    if (!result.IsDone() && result.outcome != LedgerResult::RecordGone)
        ShowMessage(FailureText(result, failure), 2);
    return true;
}
