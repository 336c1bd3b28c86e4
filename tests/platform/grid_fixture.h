#pragma once
// A record grid laid out like the goods list, shown on the offscreen screen.

#include <QScrollBar>
#include <QTest>
#include <memory>

#include "platform/list_style.h"
#include "platform/record_grid.h"
#include "support/program_fixture.h"

class GridFixture : public ProgramFixture {
  protected:
    // Columns: 0 row marker, 1 hidden ID, 2 name, 3 quantity (numeric), 4 hidden purchase
    // price (numeric), 5 remark (stretched). Header row 0 groups columns 2-4.
    enum { kId = 1, kName = 2, kQty = 3, kPrice = 4, kRemark = 5 };

    void SetUp() override {
        ProgramFixture::SetUp();
        grid = std::make_unique<RecordGrid>();
        grid->setObjectName(QStringLiteral("测试表格"));
        grid->resize(400, 300);
        grid->SetCols(6);
        grid->SetFixedRows(2);
        grid->SetRows(2);
        grid->SetRowHeight(0, 26);
        grid->SetRowHeight(1, 23);
        const int widths[] = {20, 0, 100, 60, 0, 80};
        for (int c = 0; c < 6; ++c) grid->Column(c).SetWidth(widths[c]);
        for (int c : {kQty, kPrice}) {
            grid->Column(c).SetMask(RecordGrid::cellValue);
            grid->Column(c).SetAlignment(RecordGrid::cellRightCenter);
        }
        grid->SetExtendLastCol(true);
        grid->SetReadOnly(true);
        grid->SetAllowUserSort(true);
        grid->SetAllowUserResizing(true);
        grid->SetCellText(0, kName, QStringLiteral("商品信息"));
        grid->Range(0, kName, 0, kPrice).Merge();
        grid->SetCellText(0, kRemark, QStringLiteral("备注"));
        grid->Range(0, kRemark, 1, kRemark).Merge();
        grid->SetCellText(1, kName, QStringLiteral("名称"));
        grid->SetCellText(1, kQty, QStringLiteral("数量"));
        grid->SetCellText(1, kPrice, QStringLiteral("进价"));
    }

    // quantities[i] fills data row i; as a list fill does, the rows may be sorted before the
    // totals row (bold, frozen) is appended.
    void Fill(const std::vector<QString>& quantities, int sortColumn = -1,
              int order = RecordGrid::cellAscending) {
        BeginListFill(grid.get(), 2);
        double total = 0;
        for (size_t i = 0; i < quantities.size(); ++i) {
            grid->AddItem(QStringLiteral("%1\t品%1\t%2\t%3\t备注%1")
                              .arg(i + 1)
                              .arg(quantities[i])
                              .arg(i + 0.5));
            total += quantities[i].toDouble();
        }
        if (sortColumn >= 0) grid->Column(sortColumn).Sort(order);
        grid->AddItem(QString());
        const int last = grid->Rows() - 1;
        grid->SetCellText(last, kName, QStringLiteral("合计："));
        grid->SetCellText(last, kQty, QString::number(total));
        grid->Range(last, 1, last, 5).SetFontBold(true);
        grid->SetFrozenBottomRows(1);
        grid->SetAutoRedraw(true);
        grid->Refresh();
    }

    void FillCount(int count) {
        std::vector<QString> quantities;
        for (int i = 0; i < count; ++i) quantities.push_back(QString::number(i % 7));
        Fill(quantities);
    }

    void Show() {
        grid->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    }

    QWidget* Viewport() const { return grid->viewport(); }
    // The centre of a cell, in viewport coordinates (where QTest sends the mouse).
    QPoint Centre(int row, int col) const {
        return grid->CellRect(row, col).center() - grid->viewport()->pos();
    }

    std::unique_ptr<RecordGrid> grid;
};
