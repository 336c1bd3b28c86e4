#pragma once
// One sale of one goods record as the sell window makes it: the ledger records it, and the
// user is told and the lists follow.

#include "ledger/sales.h"

// Records the sale, tells the user (not in the scan batch) and refills the stock, sales,
// income-expense and summary lists. A refused or failed sale shows its warning and changes
// nothing; false then.
bool SaleTransaction(const SaleInput& sale);
