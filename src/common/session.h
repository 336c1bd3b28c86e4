#pragma once
// Values kept for the whole run: who is logged in, the program title, the selected row.

#include <QString>

struct Session {
    QString userName;
    QString userRole;
    QString appTitle;
    // The row of the last right-click or double-click in any list and the text of its
    // hidden ID column.
    QString selectedId;
    int selectedRow = 0;
    // Goods with less stock than this are shown in the alarm colour: the whole-number part of
    // the beep setting, read when the stock list is set up and changed from its panel. Kept as a
    // double: a level beyond the int range must not wrap round and switch every alarm off.
    double stockAlarmLevel = 0;
};

Session& CurrentSession();

inline const QString kSuperAdmin = QStringLiteral("超级管理员");
inline const QString kOrdinaryUser = QStringLiteral("普通管理员");
inline const QString kDefaultTitle = QStringLiteral("岚库通进销存管理系统");

// Whether an ID text (the hidden column 1 of a list row) names a record: it reads as a number
// above zero. Header and totals rows have none.
bool IsRecordId(const QString& id);
// The record ID an ID text names, for binding.
qint64 RecordIdValue(const QString& id);

// True exactly when the current role is the super administrator's.
bool IsSuperAdmin();

// Whether purchase prices, purchase and stock amounts and net profit may be shown: to the
// super administrator alone. Every list, menu, window and export asks at the moment it shows
// or writes such a figure, so that a change of user takes effect everywhere at once.
bool CostFiguresVisible();

// Whether the current user may book a stocktake: the super administrator, and ordinary users
// where the super administrator has allowed it in the settings of this till.
bool MayBookStocktakes();
