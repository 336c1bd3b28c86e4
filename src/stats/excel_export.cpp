#include "stats/excel_export.h"

#include "common/session.h"
#include "platform/record_grid.h"
#include "platform/skin.h"

void ExportGridToExcel(RecordGrid* grid, const QList<int>& costColumns) {
    if (!grid) return;
    Session& session = CurrentSession();
    session.selectedId = grid->CellText(session.selectedRow, 1);
    const QList<int> leftOut = CostFiguresVisible() ? QList<int>{} : costColumns;
    if (IsRecordId(session.selectedId) && grid->ExportToExcel(QString(), true, true, leftOut))
        ShowMessage(QStringLiteral("输出Excel成功"), 1);
    else
        ShowMessage(QStringLiteral("输出Excel失败"), 1);
}

void ShowPrintNotice(PrintNotice which) {
    ShowMessage(which == PrintNotice::Stock
                    ? QStringLiteral(
                          "~ 暂无此功能 ~  因为此功能正在测试中！  ，但是你可以用输出Excel打印。")
                    : QStringLiteral("~ 暂无此功能 ~，但是你可以用输出Excel打印。"),
                1);
}
