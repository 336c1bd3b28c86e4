// Shows a record grid laid out like the goods list, for looking at it on a screen.
#include <QApplication>
#include <QPainter>

#include "common/cell_row.h"
#include "common/date_text.h"
#include "platform/record_grid.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    RecordGrid grid;
    grid.setObjectName(QStringLiteral("库管表格"));
    grid.resize(760, 420);
    grid.SetAutoRedraw(false);
    grid.SetCols(9);
    grid.SetFixedRows(2);
    grid.SetRows(2);
    grid.SetRowHeight(0, 26);
    grid.SetRowHeight(1, 23);
    const int widths[] = {20, 0, 120, 80, 70, 70, 70, 110, 100};
    for (int c = 0; c < 9; ++c) grid.Column(c).SetWidth(widths[c]);
    for (int c = 4; c <= 7; ++c) grid.Column(c).SetAlignment(RecordGrid::cellRightCenter);
    for (int c = 4; c <= 6; ++c) grid.Column(c).SetMask(RecordGrid::cellValue);
    grid.Range(0, 0, 1, 0).Merge();
    grid.Range(0, 1, 1, 1).Merge();
    grid.SetCellText(0, 2, QStringLiteral("商品信息"));
    grid.Range(0, 2, 0, 3).Merge();
    grid.SetCellText(0, 4, QStringLiteral("存货信息"));
    grid.Range(0, 4, 0, 6).Merge();
    grid.SetCellText(0, 7, QStringLiteral("备注信息"));
    grid.Range(0, 7, 0, 8).Merge();
    const QStringList captions{"名称", "型号", "数量", "单价", "金额", "入库日期", "备注"};
    for (int c = 2; c <= 8; ++c) {
        grid.SetCellText(1, c, captions[c - 2]);
        grid.Cell(1, c).SetAlignment(RecordGrid::cellCenterCenter);
    }
    for (int c : {2, 4, 7}) grid.Cell(0, c).SetAlignment(RecordGrid::cellCenterCenter);
    grid.SetExtendLastCol(true);
    grid.SetReadOnly(true);
    grid.SetAllowUserSort(true);
    grid.SetAllowUserResizing(true);
    double total = 0;
    for (int i = 1; i <= 300; ++i) {
        const double stock = (i * 7) % 23;
        total += stock;
        grid.AddItem(QStringLiteral("%1\t商品%1\tXH-%2\t%3\t%4\t%5\t2012年6月%6日\t备注")
                         .arg(i)
                         .arg(i * 13 % 97)
                         .arg(stock)
                         .arg(i * 1.5)
                         .arg(stock * i * 1.5)
                         .arg(i % 28 + 1));
        if (stock < 3) grid.Range(grid.Rows() - 1, 1, grid.Rows() - 1, 8).SetForeColor(255);
    }
    // A name and an amount wider than their columns: "…" and the overflow mark.
    CellRow wide;
    wide.AddNumber(301);
    wide.AddText(QStringLiteral("一件名称很长很长很长很长的商品"));
    wide.AddText(QStringLiteral("XH-1"));
    wide.AddNumber(0);
    wide.AddNumber(123456789123.0);
    wide.AddNumber(123456789123.0);
    wide.AddDate(PackedDate(2012, 10, 1, 9, 30, 0));
    grid.InsertRow(2, wide);
    grid.SetBackColor1(16777215);
    grid.SetBackColor2(15466474);
    grid.SetBackColorSel(65535);
    grid.SetBackColorActiveCellSel(65535);
    grid.SetSelectionBorderColor(57472);
    grid.SetGridColor(8421504);
    grid.SetHideGridLines(true);
    grid.Column(4).Sort(RecordGrid::cellAscending);
    grid.Column(4).SetUserSortIndicator(RecordGrid::cellSortIndicatorAscending);
    grid.AddItem(QString());
    const int last = grid.Rows() - 1;
    grid.SetFrozenBottomRows(1);
    grid.Range(last, 2, last, 8).SetBackColor(13434879);
    grid.SetCellText(last, 3, QStringLiteral("合计："));
    grid.SetCellText(last, 4, QString::number(total));
    grid.Range(last, 2, last, 8).SetFontBold(true);
    QObject::connect(&grid, &RecordGrid::OwnerDrawCell,
                     [&grid](int row, int col, QPainter& painter, const QRect& rect) {
                         grid.DrawRowMarker(row, col, painter, rect, RecordGrid::RowMarker::Stock);
                     });
    grid.Cell(2, 2).SetFocus();
    grid.SetAutoRedraw(true);
    grid.Refresh();
    grid.show();
    return app.exec();
}
