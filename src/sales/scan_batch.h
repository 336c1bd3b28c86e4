#pragma once
// The switches with which the scan-sale batch drives the sell window, item by item.

// Set while the batch sells its list: the sell window then confirms without "销售商品完成".
bool ScanBatchMode();
void SetScanBatchMode(bool on);

// Set by "入库（不修改）": each sell window of the batch confirms itself one tick of its
// 时钟1 after it opened.
bool AutoConfirmSale();
void SetAutoConfirmSale(bool on);

// One tick of the sell window's 时钟1, counted in ticks (0 when the window opened): true on
// the one tick that confirms the sale, the first one while AutoConfirmSale is set. Later
// ticks never confirm again, also when that sale stopped at a warning.
bool AutoConfirmTick(int* ticks);
