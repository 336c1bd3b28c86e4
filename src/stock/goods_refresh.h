#pragma once
// What the goods windows refresh after they changed buy.

#include <functional>

// The stock page installs the reload of its supplier and type pick lists (库管供货商框,
// 库管类型查询框); an empty function removes it.
void SetStockPickListReloader(std::function<void()> reload);
void ReloadStockPickLists();

// After any change of goods: the stock list and the stock page's pick lists.
void RefreshStockList();
// After a restock or modification, once the user has been told: the stock, sales,
// income-expense and summary lists.
void RefreshGoodsLists();
