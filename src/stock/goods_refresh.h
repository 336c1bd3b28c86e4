#pragma once
// What the goods windows refresh after they changed buy.

#include <QtGlobal>
#include <functional>

// The stock page installs the reload of its supplier and type pick lists (库管供货商框,
// 库管类型查询框); an empty function removes it.
void SetStockPickListReloader(std::function<void()> reload);
void ReloadStockPickLists();

// After a change of one goods record: its row in the stock list, and the stock page's pick
// lists.
void RefreshStockRow(qint64 goodsId);
// After a change of one goods record, once the user has been told: its row in the summary.
void RefreshSummaryRow(qint64 goodsId);
// After a change of many goods: the stock, sales, income-expense and summary lists.
void RefreshGoodsLists();
