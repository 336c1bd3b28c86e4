#include <gtest/gtest.h>

#include <QAccessible>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <set>

#include "common/cell_row.h"
#include "common/date_text.h"
#include "grid_fixture.h"

namespace {

class Grid : public GridFixture {
  protected:
    QStringList Column(int col) const {
        QStringList texts;
        for (int r = 0; r < grid->Rows(); ++r) texts << grid->CellText(r, col);
        return texts;
    }
};

TEST(WinColors, RedIsTheLowByte) {
    EXPECT_EQ(WinColor(65535), QColor(255, 255, 0));
    EXPECT_EQ(WinColor(57472), QColor(128, 224, 0));
    EXPECT_EQ(WinColor(8421504), QColor(128, 128, 128));
    EXPECT_EQ(WinColorValue(QColor(128, 224, 0)), 57472);
    EXPECT_EQ(WinColorValue(WinColor(16777215)), 16777215);
}

TEST_F(Grid, AddItemFillsFromColumnOneAndLeavesMissingPiecesEmpty) {
    grid->AddItem("a\tb");
    grid->AddItem("");
    grid->AddItem("\t\tc");
    grid->AddItem("1\t2\t3\t4\t5\t6\t7");  // pieces beyond the last column are dropped
    ASSERT_EQ(grid->Rows(), 6);
    const QStringList first{"", "a", "b", "", "", ""};
    for (int c = 0; c < 6; ++c) EXPECT_EQ(grid->CellText(2, c), first[c]) << c;
    for (int c = 0; c < 6; ++c) EXPECT_EQ(grid->CellText(3, c), "") << c;
    EXPECT_EQ(grid->CellText(4, 1), "");
    EXPECT_EQ(grid->CellText(4, 3), "c");
    EXPECT_EQ(grid->CellText(5, 5), "5");
    EXPECT_EQ(grid->CellText(5, 6), "");
    grid->SetCellText(3, 4, QStringLiteral("含\t制表符"));
    EXPECT_EQ(grid->CellText(3, 4), QStringLiteral("含\t制表符"));
    EXPECT_EQ(grid->CellText(3, 5), "");
}

TEST_F(Grid, RowsAndColsCutContentThatDoesNotComeBack) {
    FillCount(5);
    grid->SetRows(2);
    EXPECT_EQ(grid->Rows(), 2);
    EXPECT_EQ(grid->CellText(1, kName), QStringLiteral("名称"));
    grid->SetRows(4);
    EXPECT_EQ(grid->CellText(2, kName), "");
    EXPECT_EQ(grid->CellText(3, kName), "");

    grid->SetRows(1);  // the remark merge over rows 0-1 shrinks to one cell
    EXPECT_EQ(grid->Cell(0, kRemark).MergeArea(), (CellArea{0, kRemark, 0, kRemark}));
    EXPECT_EQ(grid->Cell(0, kQty).MergeArea(), (CellArea{0, kName, 0, kPrice}));
    grid->SetCols(3);
    grid->SetCols(6);
    EXPECT_EQ(grid->CellText(0, kRemark), "");
    EXPECT_EQ(grid->Cell(0, kName).MergeArea(), (CellArea{0, kName, 0, kName}));
}

TEST_F(Grid, RemoveItemAndDeleteByRowKeepTheSelectionOnTheRowThatMovesUp) {
    FillCount(4);  // data rows 2-5, totals row 6
    grid->RemoveItem(3);
    EXPECT_EQ(grid->Rows(), 6);
    EXPECT_EQ(Column(kName).mid(2), (QStringList{"品1", "品3", "品4", "合计："}));

    grid->Cell(1, kName).SetFocus();  // header rows are not selectable
    EXPECT_EQ(grid->Selection().FirstRow(), -1);
    grid->Selection().DeleteByRow();
    EXPECT_EQ(grid->Rows(), 6);

    grid->Cell(3, kName).SetFocus();
    EXPECT_EQ(grid->Selection().FirstRow(), 3);
    grid->Selection().DeleteByRow();
    EXPECT_EQ(Column(kName).mid(2), (QStringList{"品1", "品4", "合计："}));
    EXPECT_EQ(grid->Selection().FirstRow(), 3);
    EXPECT_EQ(grid->CellText(grid->Selection().FirstRow(), kId), "4");

    grid->Cell(4, kName).SetFocus();
    grid->Selection().DeleteByRow();  // the last row: the one above it is selected
    EXPECT_EQ(grid->Selection().FirstRow(), 3);
    grid->SetRows(2);
    EXPECT_EQ(grid->Selection().FirstRow(), -1);
}

TEST_F(Grid, NumericColumnsSortAsNumbersAndEveryRecordOfARefillSorts) {
    const std::vector<QString> quantities{"10", "9", "100", "2.5", "-1"};
    const QStringList ascending{"", "数量", "-1", "2.5", "9", "10", "100", "120.5"};
    Fill(quantities, kQty);
    EXPECT_EQ(Column(kQty), ascending);
    EXPECT_EQ(Column(kName).first(2), (QStringList{QStringLiteral("商品信息"), "名称"}));
    Fill(quantities, kQty);  // the last fill's totals row left FrozenBottomRows at 1
    EXPECT_EQ(Column(kQty), ascending);

    Fill(quantities, kQty, RecordGrid::cellDescending);
    EXPECT_EQ(Column(kQty).mid(2), (QStringList{"100", "10", "9", "2.5", "-1", "120.5"}));

    grid->Column(kQty).SetMask(RecordGrid::cellNoMask);  // as text "10" comes before "9"
    Fill(quantities, kQty);
    EXPECT_EQ(Column(kQty).mid(2, 3), (QStringList{"-1", "10", "100"}));
}

TEST_F(Grid, TypedCellsKeepTheirColumnsAndSortByValue) {
    // Remarks hold dates here: as text "2012年10月1日" would come before "2012年6月3日".
    const qint64 dates[] = {PackedDate(2012, 10, 1, 0, 0, 0), PackedDate(2012, 6, 3, 9, 30, 0),
                            PackedDate(2012, 6, 3, 0, 0, 0)};
    CellRow cells;
    for (int i = 0; i < 3; ++i) {
        cells.Clear();
        cells.AddNumber(i + 1);
        cells.AddText(i == 0 ? QStringLiteral("纸\t白") : QStringLiteral("笔"));
        cells.AddNumber(i == 0 ? 1300000 : i == 1 ? 9 : 10);
        cells.AddNumber(0.5);
        cells.AddDate(dates[i]);
        grid->AddRow(cells);
    }
    grid->AddItem("\t\t\t\t");  // a row without a date
    EXPECT_EQ(grid->CellText(2, kName), QStringLiteral("纸\t白"));
    EXPECT_EQ(grid->CellText(2, kQty), "1300000");
    EXPECT_EQ(grid->CellText(2, kRemark), QStringLiteral("2012年10月1日"));
    grid->Column(kRemark).Sort(RecordGrid::cellAscending);
    EXPECT_EQ(Column(kRemark).mid(2), (QStringList{"", QStringLiteral("2012年6月3日"),
                                                   QStringLiteral("2012年6月3日 9时30分"),
                                                   QStringLiteral("2012年10月1日")}));
    grid->Column(kQty).Sort(RecordGrid::cellDescending);
    EXPECT_EQ(Column(kQty).mid(2), (QStringList{"1300000", "10", "9", ""}));
    EXPECT_EQ(grid->CellValue(2, kQty), 1300000);
}

TEST_F(Grid, AFigureTooWideForItsColumnIsNeverShownAsFewerDigits) {
    Show();
    Fill({"3"});
    CellRow cells;
    cells.AddNumber(4);
    cells.AddText(QStringLiteral("一个很长很长很长很长的商品名称"));
    cells.AddNumber(123456789123.0);
    grid->InsertRow(3, cells);
    grid->SetCellText(4, kQty, "1300000000");  // a totals text in the numeric column
    const QString shown = grid->ShownText(3, kQty);
    EXPECT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown, QString(shown.size(), u'#')) << shown.toStdString();
    EXPECT_EQ(grid->CellToolTip(3, kQty), grid->CellText(3, kQty));
    // The total, in the frozen bottom row, is drawn smaller rather than as hashes.
    EXPECT_EQ(grid->ShownText(4, kQty), "1300000000");
    const QString name = grid->ShownText(3, kName);
    EXPECT_TRUE(name.endsWith(u'…')) << name.toStdString();
    EXPECT_EQ(grid->CellToolTip(3, kName), QStringLiteral("一个很长很长很长很长的商品名称"));
    EXPECT_EQ(grid->ShownText(2, kQty), "3");
    EXPECT_EQ(grid->CellToolTip(2, kQty), "");
    grid->Column(kQty).SetWidth(200);  // once it fits, the whole figure shows
    EXPECT_EQ(grid->ShownText(3, kQty), "123456789123");
}

TEST_F(Grid, ACancelledRefillGivesBackTheRowsTotalsAndSelection) {
    Fill({"3", "1"});
    grid->Cell(3, kName).SetFocus();
    grid->BeginRefill(2);
    EXPECT_EQ(grid->Rows(), 2);
    grid->AddItem("9\t半截");
    grid->CancelRefill();
    EXPECT_EQ(Column(kName).mid(2), (QStringList{QStringLiteral("品1"), QStringLiteral("品2"),
                                                 QStringLiteral("合计：")}));
    EXPECT_EQ(grid->FrozenBottomRows(), 1);
    EXPECT_EQ(grid->Selection().FirstRow(), 3);
    EXPECT_TRUE(grid->AutoRedraw());
}

TEST_F(Grid, HeaderClickSortsAndShowsTheIndicator) {
    Show();
    Fill({"3", "1", "2"});
    grid->Range(3, 1, 3, 5).SetForeColor(255);  // the row of "1"
    grid->Cell(2, kName).SetFocus();            // the row of "3"
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, Centre(1, kQty));
    EXPECT_EQ(Column(kQty).mid(2), (QStringList{"1", "2", "3", "6"}));  // totals stay last
    EXPECT_EQ(grid->Column(kQty).UserSortIndicator(), RecordGrid::cellSortIndicatorAscending);
    EXPECT_EQ(grid->Cell(2, kName).ForeColor(), 255);  // colour and selection follow the row
    EXPECT_EQ(grid->Cell(3, kName).ForeColor(), 0);
    EXPECT_EQ(grid->Selection().FirstRow(), 4);
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, Centre(1, kQty));
    EXPECT_EQ(Column(kQty).mid(2), (QStringList{"3", "2", "1", "6"}));
    EXPECT_EQ(grid->Column(kQty).UserSortIndicator(), RecordGrid::cellSortIndicatorDescending);

    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, Centre(1, kName));
    EXPECT_EQ(grid->Column(kQty).UserSortIndicator(), RecordGrid::cellSortIndicatorNone);
    grid->Column(kQty).SetUserSortIndicator(RecordGrid::cellSortIndicatorAscending);
    EXPECT_EQ(grid->Column(kName).UserSortIndicator(), RecordGrid::cellSortIndicatorNone);
    grid->Column(kName).SetUserSortIndicator(RecordGrid::cellSortIndicatorAscending);
    EXPECT_EQ(grid->Column(kQty).UserSortIndicator(), RecordGrid::cellSortIndicatorNone);
    Fill({"3", "1", "2"});  // a refill in the query's order drops the arrow
    EXPECT_EQ(grid->Column(kName).UserSortIndicator(), RecordGrid::cellSortIndicatorNone);
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, Centre(1, kName));
    EXPECT_EQ(Column(kName).mid(2), (QStringList{"品1", "品2", "品3", "合计："}));

    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, Centre(1, kName));
    const QStringList descending{"品3", "品2", "品1", "合计："};
    EXPECT_EQ(Column(kName).mid(2), descending);

    // The group caption over several columns sorts nothing; nor does a grid without sorting.
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, Centre(0, kName));
    EXPECT_EQ(Column(kName).mid(2), descending);
    grid->SetAllowUserSort(false);
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, Centre(1, kName));
    EXPECT_EQ(Column(kName).mid(2), descending);
}

TEST_F(Grid, HitTestFindsHeaderDataAndFrozenRowsAlsoWhenScrolled) {
    Show();
    FillCount(100);  // data rows 2-101, totals row 102
    const int x = grid->CellRect(2, kName).center().x();
    grid->HitTest(x, 5);
    EXPECT_EQ(grid->MouseRow(), 0);
    EXPECT_EQ(grid->MouseCol(), kName);
    grid->HitTest(x, 30);
    EXPECT_EQ(grid->MouseRow(), 1);
    grid->HitTest(x, 26 + 23 + 1);
    EXPECT_EQ(grid->MouseRow(), 2);
    grid->HitTest(21, 60);  // column 1 is hidden: right of column 0 lies column 2
    EXPECT_EQ(grid->MouseCol(), kName);
    grid->HitTest(5, 60);
    EXPECT_EQ(grid->MouseCol(), 0);

    // The totals row sits at the bottom of the view while the rows scroll under it.
    const QRect totals = grid->CellRect(102, kName);
    EXPECT_EQ(totals.bottom(), Viewport()->height() - 1);
    grid->HitTest(x, totals.center().y());
    EXPECT_EQ(grid->MouseRow(), 102);

    grid->verticalScrollBar()->setValue(50);
    grid->HitTest(x, 26 + 23 + 1);
    EXPECT_EQ(grid->MouseRow(), 52);
    grid->HitTest(x, 5);
    EXPECT_EQ(grid->MouseRow(), 0);
    grid->HitTest(x, totals.center().y());
    EXPECT_EQ(grid->MouseRow(), 102);
    EXPECT_TRUE(grid->CellRect(10, kName).isEmpty());

    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
    EXPECT_FALSE(grid->CellRect(101, kName).isEmpty());
    EXPECT_LE(grid->CellRect(101, kName).bottom(), totals.top());
}

TEST_F(Grid, FrozenRowFollowsAShortListAndNothingLiesBelowIt) {
    Show();
    FillCount(2);
    EXPECT_EQ(grid->CellRect(4, kName).top(), 26 + 23 + 2 * 18);
    grid->HitTest(50, 26 + 23 + 3 * 18 + 5);
    EXPECT_EQ(grid->MouseRow(), -1);
    EXPECT_EQ(grid->MouseCol(), -1);
}

TEST_F(Grid, MouseEventsReportButtonsCellsAndDoubleClicks) {
    Show();
    FillCount(5);
    QSignalSpy ups(grid.get(), &RecordGrid::MouseUp);
    QSignalSpy doubles(grid.get(), &RecordGrid::DblClick);

    const QPoint onRow4 = Centre(4, kQty);
    QTest::mouseClick(Viewport(), Qt::RightButton, Qt::ShiftModifier, onRow4);
    ASSERT_EQ(ups.count(), 1);
    EXPECT_EQ(ups[0][0].toInt(), RecordGrid::kRightButton);
    EXPECT_EQ(ups[0][1].toInt(), RecordGrid::kShiftKey);
    grid->HitTest(ups[0][2].toInt(), ups[0][3].toInt());
    EXPECT_EQ(grid->MouseRow(), 4);
    EXPECT_EQ(grid->MouseCol(), kQty);
    EXPECT_EQ(grid->Selection().FirstRow(), -1);  // a right click leaves the selection alone

    QTest::mouseClick(Viewport(), Qt::RightButton, {}, Centre(1, kQty));
    EXPECT_EQ(grid->MouseRow(), 1);  // over a header row

    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, Centre(3, kName));
    EXPECT_EQ(ups.last()[0].toInt(), RecordGrid::kLeftButton);
    EXPECT_EQ(grid->Selection().FirstRow(), 3);
    // A list selects one record: Shift does not select several.
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::ShiftModifier, Centre(5, kName));
    EXPECT_EQ(grid->Selection().FirstRow(), 5);
    EXPECT_EQ(grid->Selection().LastRow(), 5);

    QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, onRow4);
    EXPECT_EQ(doubles.count(), 1);
    EXPECT_EQ(grid->MouseRow(), 4);
    EXPECT_EQ(grid->Selection().FirstRow(), 4);
}

TEST_F(Grid, OnlyVisibleCellsArePaintedAndOfferedForOwnerDrawing) {
    Show();
    FillCount(10000);
    std::set<int> rows;
    std::set<int> cols;
    int calls = 0;
    QObject::connect(grid.get(), &RecordGrid::OwnerDrawCell,
                     [&](int row, int col, QPainter&, const QRect&) {
                         ++calls;
                         rows.insert(row);
                         cols.insert(col);
                     });
    Viewport()->repaint();
    const int visibleRows = (Viewport()->height() - 26 - 23 - 18) / 18 + 1;
    EXPECT_EQ(rows.count(10002), 1u);  // the totals row
    EXPECT_EQ(rows.count(5000), 0u);
    EXPECT_LE(static_cast<int>(rows.size()), 2 + visibleRows + 1);
    EXPECT_EQ(cols, (std::set<int>{0, kName, kQty, kRemark}));  // hidden columns never
    // The merged captions are offered once each.
    EXPECT_LE(calls, static_cast<int>(rows.size() * cols.size()));

    rows.clear();
    grid->verticalScrollBar()->setValue(5000);
    Viewport()->repaint();
    EXPECT_EQ(rows.count(5002), 1u);
    EXPECT_EQ(rows.count(2), 0u);

    // Suspended painting paints nothing until it is resumed.
    rows.clear();
    grid->SetAutoRedraw(false);
    Viewport()->repaint();
    EXPECT_TRUE(rows.empty());
    grid->SetAutoRedraw(true);
    Viewport()->repaint();
    EXPECT_FALSE(rows.empty());
}

TEST_F(Grid, MergedHeaderPaintsAsOneCell) {
    Show();
    FillCount(3);
    std::vector<std::pair<CellArea, QRect>> captions;
    QObject::connect(grid.get(), &RecordGrid::OwnerDrawCell,
                     [&](int row, int col, QPainter&, const QRect& rect) {
                         if (row == 0) captions.push_back({grid->Cell(row, col).MergeArea(), rect});
                     });
    Viewport()->repaint();
    const auto group = std::find_if(captions.begin(), captions.end(), [](const auto& c) {
        return c.first == CellArea{0, kName, 0, kPrice};
    });
    ASSERT_NE(group, captions.end());
    EXPECT_EQ(std::count_if(captions.begin(), captions.end(),
                            [](const auto& c) { return c.first.left == kName; }),
              1);
    EXPECT_EQ(group->second.width(), 100 + 60);  // the hidden price column adds nothing
    EXPECT_EQ(grid->CellRect(0, kQty), group->second);
    EXPECT_EQ(grid->CellRect(1, kRemark).height(), 26 + 23);
}

TEST_F(Grid, ColoursShowAsSetAndSelectionPaintsOverThem) {
    Show();
    FillCount(4);
    grid->SetBackColor1(0xEEEEEE);
    grid->SetBackColor2(0xCCFFCC);
    grid->SetBackColorSel(65535);
    grid->SetBackColorActiveCellSel(65535);
    grid->Range(5, 1, 5, 5).SetBackColor(255);
    grid->Cell(3, kName).SetFocus();
    EXPECT_EQ(grid->Cell(2, kName).BackColor(), 0xEEEEEE);
    EXPECT_EQ(grid->Cell(3, kName).BackColor(), 0xCCFFCC);
    const QImage image = Viewport()->grab().toImage();
    auto pixel = [&](int row) {  // right of the short text, clear of the selection frame
        const QRect r = grid->CellRect(row, kName);
        return QColor(image.pixel(r.right() - 3, r.center().y()));
    };
    EXPECT_EQ(pixel(2), WinColor(0xEEEEEE));
    EXPECT_EQ(pixel(3), WinColor(65535));
    EXPECT_EQ(pixel(4), WinColor(0xEEEEEE));
    EXPECT_EQ(pixel(5), WinColor(255));

    grid->Range(2, 2, 5, 5).Borders(RecordGrid::cellInsideHorizontal, RecordGrid::cellThin);
    EXPECT_EQ(grid->Cell(4, kName).Border(RecordGrid::cellInsideHorizontal), RecordGrid::cellThin);
    EXPECT_EQ(grid->Cell(5, kName).Border(RecordGrid::cellInsideHorizontal),
              RecordGrid::cellLineNone);
    grid->Range(2, 2, 5, 5).Borders(RecordGrid::cellInsideVertical, RecordGrid::cellThin);
    EXPECT_EQ(grid->Cell(2, 4).Border(RecordGrid::cellInsideVertical), RecordGrid::cellThin);
    EXPECT_EQ(grid->Cell(2, 5).Border(RecordGrid::cellInsideVertical), RecordGrid::cellLineNone);
}

TEST_F(Grid, RowMarkerDrawsOnlyInColumnZeroOfTheFirstSelectedRow) {
    FillCount(3);
    QImage image(20, 18, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const QRect cell(0, 0, 20, 18);
    EXPECT_FALSE(grid->DrawRowMarker(3, 0, painter, cell, RecordGrid::RowMarker::Stock));
    grid->Cell(3, kName).SetFocus();
    EXPECT_FALSE(grid->DrawRowMarker(3, 1, painter, cell, RecordGrid::RowMarker::Stock));
    EXPECT_FALSE(grid->DrawRowMarker(2, 0, painter, cell, RecordGrid::RowMarker::Stock));
    EXPECT_TRUE(grid->DrawRowMarker(3, 0, painter, cell, RecordGrid::RowMarker::Record));
    painter.end();
    EXPECT_NE(QColor(image.pixel(10, 9)), QColor(Qt::white));
    EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(Qt::white));  // 16 x 16, centred
}

TEST_F(Grid, MenuKeyAndEnterActOnTheCurrentRowAsTheMouseWould) {
    Show();
    QSignalSpy ups(grid.get(), &RecordGrid::MouseUp);
    QSignalSpy doubles(grid.get(), &RecordGrid::DblClick);
    grid->setFocus();

    Fill({});  // an empty list: only its totals row
    QTest::keyClick(grid.get(), Qt::Key_Menu);
    ASSERT_EQ(ups.count(), 1);
    EXPECT_EQ(ups[0][0].toInt(), RecordGrid::kRightButton);
    grid->HitTest(ups[0][2].toInt(), ups[0][3].toInt());
    EXPECT_EQ(grid->MouseRow(), 2);

    FillCount(200);
    QTest::keyClick(grid.get(), Qt::Key_Down);
    QTest::keyClick(grid.get(), Qt::Key_PageDown);
    const int current = grid->Selection().FirstRow();
    QTest::keyClick(grid.get(), Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_EQ(ups.count(), 2);
    grid->HitTest(ups[1][2].toInt(), ups[1][3].toInt());
    EXPECT_EQ(grid->MouseRow(), current);
    EXPECT_GE(grid->MouseCol(), kName);  // a visible column, never the hidden ID

    QTest::keyClick(grid.get(), Qt::Key_Return);
    EXPECT_EQ(doubles.count(), 1);
    EXPECT_EQ(grid->Selection().FirstRow(), current);
}

// A screen reader gets the list as a table of the rows below the header and the columns shown:
// hidden columns are left out, a column is described by its header texts, a cell reads
// as the grid shows it, and the selected row is told.
TEST_F(Grid, AScreenReaderReadsTheShownCellsAsATable) {
    Show();
    Fill({"3", "1234.5"});
    grid->SetListName(QStringLiteral("库存"));
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(grid.get());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::Table);
    EXPECT_EQ(list->text(QAccessible::Name), QStringLiteral("库存"));
    QAccessibleTableInterface* table = list->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 3);  // two goods and the totals row
    ASSERT_EQ(table->columnCount(), 3);
    EXPECT_EQ(QStringList({table->columnDescription(0), table->columnDescription(1),
                           table->columnDescription(2)}),
              QStringList({"商品信息 名称", "商品信息 数量", "备注"}));

    QAccessibleInterface* cell = table->cellAt(1, 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->role(), QAccessible::Cell);
    EXPECT_EQ(cell->text(QAccessible::Name), grid->CellText(3, kQty));
    EXPECT_FALSE(cell->text(QAccessible::Name).isEmpty());
    EXPECT_EQ(table->cellAt(2, 0)->text(QAccessible::Name), QStringLiteral("合计："));
    EXPECT_EQ(table->cellAt(3, 0), nullptr);
    EXPECT_EQ(table->cellAt(0, 3), nullptr);
    // The same cell however it is reached, with its place in the table.
    EXPECT_EQ(list->child(1 * 3 + 1), cell);
    EXPECT_EQ(list->indexOfChild(cell), 4);
    EXPECT_EQ(cell->parent(), list);
    EXPECT_EQ(cell->tableCellInterface()->rowIndex(), 1);
    EXPECT_EQ(cell->tableCellInterface()->columnIndex(), 1);
    const QRect shown = grid->CellRect(3, kQty);
    EXPECT_EQ(cell->rect(), QRect(grid->mapToGlobal(shown.topLeft()), shown.size()));
    const QPoint centre = grid->mapToGlobal(shown.center());
    EXPECT_EQ(list->childAt(centre.x(), centre.y()), cell);

    EXPECT_FALSE(cell->state().selected);
    grid->Cell(3, kName).SetFocus();
    EXPECT_TRUE(cell->state().selected);
    EXPECT_EQ(table->selectedRows(), QList<int>({1}));
    EXPECT_EQ(table->selectedCellCount(), 3);
}

TEST_F(Grid, KeysMoveTheSelectedRowAndKeepItInView) {
    Show();
    FillCount(200);
    grid->setFocus();
    QTest::keyClick(grid.get(), Qt::Key_Down);
    EXPECT_EQ(grid->Selection().FirstRow(), 2);
    QTest::keyClick(grid.get(), Qt::Key_Down);
    EXPECT_EQ(grid->Selection().FirstRow(), 3);
    QTest::keyClick(grid.get(), Qt::Key_PageDown);
    const int afterPage = grid->Selection().FirstRow();
    EXPECT_EQ(afterPage, 3 + grid->verticalScrollBar()->pageStep());
    EXPECT_FALSE(grid->CellRect(afterPage, kName).isEmpty());
    QTest::keyClick(grid.get(), Qt::Key_End);
    EXPECT_EQ(grid->Selection().FirstRow(), 202);  // the totals row
    QTest::keyClick(grid.get(), Qt::Key_Up);
    EXPECT_EQ(grid->Selection().FirstRow(), 201);
    EXPECT_FALSE(grid->CellRect(201, kName).isEmpty());
    QTest::keyClick(grid.get(), Qt::Key_Home);
    EXPECT_EQ(grid->Selection().FirstRow(), 2);
    EXPECT_EQ(grid->verticalScrollBar()->value(), 0);

    // Nor does a drag.
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, Centre(2, kName));
    QMouseEvent drag(QEvent::MouseMove, Centre(5, kName), Viewport()->mapToGlobal(Centre(5, kName)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Viewport(), &drag);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, Centre(5, kName));
    EXPECT_EQ(grid->Selection().LastRow() - grid->Selection().FirstRow(), 0);
}

TEST_F(Grid, HeaderDragResizesVisibleColumnsButNeverRevealsHiddenOnes) {
    Show();
    FillCount(3);
    const QRect name = grid->CellRect(1, kName);
    const QPoint edge(name.right() + 1, name.center().y());
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, edge);
    QTest::mouseMove(Viewport(), edge + QPoint(30, 0));
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, edge + QPoint(30, 0));
    EXPECT_EQ(grid->Column(kName).Width(), 130);
    EXPECT_EQ(Column(kName).mid(2, 1), QStringList{"品1"});  // no sort on a drag

    // The edge between the marker column and the hidden ID column belongs to column 0.
    const QPoint idEdge(20, name.center().y());
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, idEdge);
    QTest::mouseMove(Viewport(), idEdge + QPoint(40, 0));
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, idEdge + QPoint(40, 0));
    EXPECT_EQ(grid->Column(kId).Width(), 0);
    EXPECT_EQ(grid->Column(0).Width(), 60);
}

TEST_F(Grid, EditsOnlyWhereAllowedAndNumbersOnlyInNumericColumns) {
    Show();
    FillCount(3);
    auto editor = [&]() -> QLineEdit* {
        for (QLineEdit* e : grid->findChildren<QLineEdit*>())
            if (e->isVisible()) return e;
        return nullptr;
    };
    grid->setFocus();
    grid->Cell(2, kQty).SetFocus();
    QTest::keyClicks(grid.get(), "7");
    EXPECT_EQ(editor(), nullptr);  // read-only

    grid->SetReadOnly(false);
    grid->Column(kQty).SetDecimalLength(1);
    QTest::keyClicks(grid.get(), "x");
    EXPECT_EQ(editor(), nullptr);
    QTest::keyClicks(grid.get(), "7");
    ASSERT_NE(editor(), nullptr);
    QTest::keyClicks(editor(), ".25");
    EXPECT_EQ(editor()->text(), "7.2");
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(grid->CellText(2, kQty), "7.2");

    QTest::keyClick(grid.get(), Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), "7.2");
    editor()->setText("9");
    QTest::keyClick(editor(), Qt::Key_Escape);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(grid->CellText(2, kQty), "7.2");

    grid->Range(2, 1, 4, 5).SetLocked(true);
    QTest::keyClicks(grid.get(), "5");
    EXPECT_EQ(editor(), nullptr);
}

}  // namespace
