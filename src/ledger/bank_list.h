#pragma once
// The bank book: the detail list (grid column c shows column c - 1) with the searches of the
// 存款管理 page as conditions on bank, the balance of every account, and the pick lists.

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

#include "ledger/list_read.h"

namespace ledger {

enum BankColumn {
    kBankId,
    kBankName,
    kBankAccount,
    kBankKind,
    kBankAmount,
    kBankDate,
    kBankRemark,
    kBankColumns
};

ListSpec BankListSpec(bool costs = false);

struct BankFilter {
    enum class Kind {
        All,
        BankContains,  // the bank's name holds text
        Between,       // from `from` to `to`, both days whole
    };
    Kind kind = Kind::All;
    QString text;
    QDate from;
    QDate to;

    bool operator==(const BankFilter&) const = default;
};

ListCondition BankCondition(const BankFilter& filter);

// Whether an entry of this kind takes money out of the account.
bool IsBankOutflow(QStringView kind);

struct BankBalance {
    QString bank;
    QString account;
    qint64 fen = 0;  // the sum of the account's amounts, exact
};
// One row per bank and account, in their order: a shop keeps a handful of accounts, so the
// summary is read whole.
bool ReadBankBalances(DbConnection& db, std::vector<BankBalance>* balances, QString* error);

// Every bank (kBankName) or account (kBankAccount) once, in order.
bool ReadBankValues(DbConnection& db, int column, QStringList* values, QString* error);

}  // namespace ledger
