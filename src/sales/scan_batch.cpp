#include "sales/scan_batch.h"

namespace {
bool scanBatchMode = false;
bool autoConfirmSale = false;
}  // namespace

bool ScanBatchMode() {
    return scanBatchMode;
}

void SetScanBatchMode(bool on) {
    scanBatchMode = on;
}

bool AutoConfirmSale() {
    return autoConfirmSale;
}

void SetAutoConfirmSale(bool on) {
    autoConfirmSale = on;
}

bool AutoConfirmTick(int* ticks) {
    // Counting stops at the first tick: nothing after it can confirm.
    if (!autoConfirmSale || *ticks > 0) return false;
    *ticks = 1;
    return true;
}
