#pragma once
// The main window's lists refill one another after every change of data. Each list page
// registers its fill routine when its grid is created; a refill of a list that does not exist
// yet does nothing.

#include <QtGlobal>
#include <functional>

enum class ListId { Stock, Sales, Other, Bank, Summary };

// A fill shows every record of the list again. Registering one drops the list's row update;
// the page registers its own after it.
void RegisterListFill(ListId list, std::function<void()> fill);
// Also forgets the list's row update.
void UnregisterListFill(ListId list);
bool ListExists(ListId list);

// Each list page registers how it brings the row of one record up to date (added, changed or
// gone, totals moved by the difference), so that a change costs what it changed, not a
// refill of every row.
void RegisterListRowUpdate(ListId list, std::function<void(qint64 id)> update);
// Brings the row of record id up to date in list; a list without its own row update is
// refilled whole, a list that does not exist is left alone.
void UpdateListRow(ListId list, qint64 id);

// Refills list with every record; a list that does not exist is left alone.
void RefillWholeList(ListId list);
