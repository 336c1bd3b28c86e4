#include "platform/list_style.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>

#include "common/cell_row.h"
#include "common/ini.h"
#include "common/number_text.h"
#include "common/session.h"
#include "common/settings.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "store/list_query.h"
#include "store/shared_db.h"

int ColumnWidth(double fraction, int hostWidth) {
    return static_cast<int>(std::floor(fraction * hostWidth));
}

void LayOutColumns(RecordGrid* g, const double* widths, int first, int last,
                   const QList<int>& costColumns) {
    g->Column(0).SetWidth(20);
    for (int c = 1; c < first; ++c) g->Column(c).SetWidth(0);
    const bool costs = CostFiguresVisible();
    for (int c = first; c <= last; ++c)
        g->Column(c).SetWidth(
            costs || !costColumns.contains(c) ? ColumnWidth(widths[c - first], g->width()) : 0);
}

void WidenToFit(RecordGrid* grid, int col, const QString& widest, int donor) {
    const int width = grid->Column(col).Width();
    const int donorWidth = grid->Column(donor).Width();
    // Text margins and the cell's grid line.
    const int needed = QFontMetrics(grid->font()).horizontalAdvance(widest) + 8;
    if (width == 0 || needed <= width || donorWidth <= 40) return;
    const int taken = std::min(needed - width, donorWidth - 40);
    grid->Column(col).SetWidth(width + taken);
    grid->Column(donor).SetWidth(donorWidth - taken);
}

void ApplyListColours(RecordGrid* grid) {
    grid->SetBackColorSel(65535);
    grid->SetBackColorActiveCellSel(65535);
    grid->SetSelectionBorderColor(57472);
    grid->SetBackColor2(SetupColor(SetupKey::kBgTwo));
    grid->SetBackColor1(SetupColor(SetupKey::kBgOne));
    grid->SetBackColorBkg(16777215);
}

namespace {

void ApplyGridLinesTo(RecordGrid* grid, GridRange range) {
    const QString line = ReadSetupKey(SetupKey::kLine);
    if (line == QLatin1String("1") || line == QLatin1String("2")) {
        grid->SetGridColor(16777215);
        grid->SetHideGridLines(false);
        range.SetBackColor(16777215);
        range.Borders(line == QLatin1String("2") ? RecordGrid::cellInsideVertical
                                                 : RecordGrid::cellInsideHorizontal,
                      RecordGrid::cellThin);
    } else {
        grid->SetGridColor(8421504);
        grid->SetHideGridLines(true);
    }
}

}  // namespace

void ApplyGridLines(RecordGrid* grid, int firstRow, int firstCol, int lastRow, int lastCol) {
    ApplyGridLinesTo(grid, grid->Range(firstRow, firstCol, lastRow, lastCol));
}

void ApplySourceGridLines(RecordGrid* grid, int firstCol, int lastCol) {
    ApplyGridLinesTo(grid, grid->SourceRange(firstCol, lastCol));
}

void StyleTotalsRow(RecordGrid* grid, int firstCol, int lastCol) {
    const int row = grid->Rows() - 1;
    grid->SetFrozenBottomRows(1);
    GridRange range = grid->Range(row, firstCol, row, lastCol);
    range.SetBackColor(SetupColor(SetupKey::kLastColor));
    range.SetFontBold(true);
}

void BeginListFill(RecordGrid* grid, int headerRows) {
    grid->BeginRefill(headerRows);
}

void FinishListFill(RecordGrid* grid) {
    grid->EndRefill();
    grid->SetAutoRedraw(true);
    grid->Refresh();
}

void FailListFill(RecordGrid* grid, bool busy, const QString& cause) {
    grid->CancelRefill();
    ReportListReadFailure(busy, cause);
}

void ReportListReadFailure(bool busy, const QString& cause) {
    ShowMessage(busy ? QStringLiteral("数据库正被另一个窗口或收银台占用，列表没有刷新，请稍后再试")
                     : ReadFailureText(QStringLiteral("读取数据失败，列表没有刷新"), cause),
                2);
}

QString ReadFailureText(const QString& failed, const QString& cause) {
    QString reason = cause.trimmed().section(QLatin1Char('\n'), 0, 0).trimmed();
    while (reason.endsWith(u'。') || reason.endsWith(u'.')) reason.chop(1);
    if (reason.isEmpty()) reason = QStringLiteral("原因不明");
    const bool server = IniRead(ConfigPath(), kServerSection, ServerKey::kStore)
                            .trimmed()
                            .compare(kServerStore, Qt::CaseInsensitive) == 0;
    const QString advice =
        server ? QStringLiteral("请检查网络或服务器后再试。")
               : QStringLiteral("请稍后再试；如果仍然失败，请在“数据管理”中检查数据库或恢复备份。");
    return failed + QStringLiteral("：") + reason + QStringLiteral("。") + advice;
}

void ApplyRowGridLines(RecordGrid* grid, int row, int firstCol, int lastCol) {
    const QString line = ReadSetupKey(SetupKey::kLine);
    if (line != QLatin1String("1") && line != QLatin1String("2")) return;
    GridRange range = grid->Range(row, firstCol, row, lastCol);
    range.SetBackColor(16777215);
    if (line == QLatin1String("2"))
        range.Borders(RecordGrid::cellInsideVertical, RecordGrid::cellThin);
    else
        range.SetBottomLines(true);
}

namespace {
// The row of record id among the data rows [first, end), by halving: they stand in ID order.
int LowerBound(RecordGrid* grid, int first, int end, qint64 id) {
    while (first < end) {
        const int middle = first + (end - first) / 2;
        if (grid->CellValue(middle, 1) < static_cast<double>(id))
            first = middle + 1;
        else
            end = middle;
    }
    return first;
}
}  // namespace

bool HasRecordRow(RecordGrid* grid, int firstRow, qint64 id) {
    const int totals = grid->Rows() - 1;
    const int at = LowerBound(grid, firstRow, totals, id);
    return at < totals && grid->CellKindAt(at, 1) == CellKind::Number &&
           grid->CellValue(at, 1) == static_cast<double>(id);
}

int PutRecordRow(RecordGrid* grid, int firstRow, qint64 id, const CellRow* cells,
                 const QList<int>& totalColumns, bool* inserted) {
    *inserted = false;
    const int totals = grid->Rows() - 1;
    const int at = LowerBound(grid, firstRow, totals, id);
    const bool found = HasRecordRow(grid, firstRow, id);
    for (int c : totalColumns) {
        if (grid->CellKindAt(totals, c) != CellKind::Number) continue;
        double total = grid->CellValue(totals, c);
        if (found && grid->CellKindAt(at, c) == CellKind::Number) total -= grid->CellValue(at, c);
        if (cells && c - 1 < cells->Count() && cells->Kind(c - 1) == CellKind::Number)
            total += cells->Value(c - 1);
        grid->SetCellNumber(totals, c, ListTotal(total));
    }
    if (!cells) {
        if (found) grid->RemoveItem(at);
        return -1;
    }
    if (found) {
        grid->ReplaceRow(at, *cells);
    } else {
        grid->InsertRow(at, *cells);
        *inserted = true;
    }
    return at;
}

ClickedCell SelectClickedCell(RecordGrid* grid, int x, int y) {
    grid->HitTest(x, y);
    const ClickedCell cell{grid->MouseRow(), grid->MouseCol()};
    if (cell.row >= 0 && cell.col >= 0) grid->Cell(cell.row, cell.col).SetFocus();
    Session& session = CurrentSession();
    session.selectedId.clear();
    session.selectedRow = cell.row;
    return cell;
}

void SetUpTwoRowHeader(RecordGrid* grid, int rows, int cols,
                       std::initializer_list<HeaderGroup> groups, int firstCaptionColumn,
                       std::initializer_list<const char*> captions) {
    grid->SetAutoRedraw(false);
    grid->SetRows(rows);
    grid->SetCols(cols);
    grid->SetFixedRows(2);
    grid->SetAllowUserResizing(true);
    grid->SetAllowUserSort(true);
    grid->SetExtendLastCol(true);
    grid->SetRowHeight(0, 26);
    grid->SetRowHeight(1, 23);
    for (const HeaderGroup& group : groups) {
        grid->SetCellText(0, group.first, QString::fromUtf8(group.caption));
        grid->Range(0, group.first, 0, group.last).Merge();
    }
    int column = firstCaptionColumn;
    for (const char* caption : captions) grid->SetCellText(1, column++, QString::fromUtf8(caption));
}

bool SelectDoubleClickedRecord(RecordGrid* grid) {
    Session& session = CurrentSession();
    session.selectedId.clear();
    session.selectedRow = grid->MouseRow();
    if (grid->MouseRow() < 2 || grid->MouseCol() < 2) return false;
    session.selectedId = grid->CellText(grid->MouseRow(), 1);
    return IsRecordId(session.selectedId);
}

GoodsRowLook::GoodsRowLook(int fieldCount, const QList<int>& costColumns)
    : zeroOption(SetupFlag(SetupKey::kZero)),
      beepColor(SetupColor(SetupKey::kBeepColor)),
      zeroColor(SetupColor(SetupKey::kZeroColor)),
      level(CurrentSession().stockAlarmLevel) {
    const bool costs = CostFiguresVisible();
    for (int f = 0; f < fieldCount; ++f) withheld.append(!costs && costColumns.contains(f + 1));
}

double ReadGoodsRow(const ListQuery& rows, const QList<int>& fields, const GoodsRowLook& look,
                    int stockField, CellRow* cells) {
    cells->Clear();
    for (int f = 0; f < look.withheld.size(); ++f) {
        if (look.withheld[f])
            cells->AddEmpty();
        else
            rows.AddCell(fields[f], cells);
    }
    return rows.Number(fields[stockField]);
}

void ColourGoodsRow(RecordGrid* grid, int row, int lastCol, double stock,
                    const GoodsRowLook& look) {
    if (stock - look.level < -kTolerance)
        grid->Range(row, 1, row, lastCol).SetForeColor(look.beepColor);
    if (IsZero(stock)) grid->Range(row, 1, row, lastCol).SetForeColor(look.zeroColor);
}

ListModel* PageList::For(QObject* grid, ledger::ListSpec (*layout)(bool costs)) {
    const bool costs = CostFiguresVisible();
    if (model && withCosts == costs) return model;
    auto* made = new ListModel(SharedConnection(), layout(costs), grid);
    if (model) made->SortBy(model->Order());
    QObject::connect(made, &ListModel::ReadFailed, made,
                     [made](bool busy) { ReportListReadFailure(busy, made->Error()); });
    delete model.data();
    model = made;
    withCosts = costs;
    return made;
}

bool PageList::Outdated() const {
    return withCosts != CostFiguresVisible();
}
