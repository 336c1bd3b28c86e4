#pragma once

#include <QString>

// "删除" of the stock list: asks in the skinned box whether the goods record id is to be
// deleted and, on 确定, deletes it from buy. True when the record was deleted (the caller
// then removes its row from the list); false when id names no record (nothing is asked),
// the user declined, or the delete failed (the user is told).
bool DeleteGoods(const QString& id);
