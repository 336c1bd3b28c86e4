#pragma once
// The main window's lists refill one another after every change of data. Each list page
// registers its fill routine when its grid is created; a refill of a list that does not exist
// yet does nothing.

#include <QString>
#include <functional>

enum class ListId { Stock, Sales, Other, Bank, Summary };

void RegisterListFill(ListId list, std::function<void(const QString& sql)> fill);
void UnregisterListFill(ListId list);
bool ListExists(ListId list);
void RefillList(ListId list, const QString& sql);

// The unfiltered query of each list ("select * from buy" ...).
QString WholeListQuery(ListId list);
// Refills list with its unfiltered query.
void RefillWholeList(ListId list);
