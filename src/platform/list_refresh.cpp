#include "platform/list_refresh.h"

#include <array>

namespace {
std::array<std::function<void(const QString&)>, 5>& Fills() {
    static std::array<std::function<void(const QString&)>, 5> fills;
    return fills;
}
size_t Index(ListId list) { return static_cast<size_t>(list); }
}  // namespace

void RegisterListFill(ListId list, std::function<void(const QString&)> fill) {
    Fills()[Index(list)] = std::move(fill);
}

void UnregisterListFill(ListId list) { Fills()[Index(list)] = nullptr; }

bool ListExists(ListId list) { return static_cast<bool>(Fills()[Index(list)]); }

void RefillList(ListId list, const QString& sql) {
    // A copy, so that a fill may re-register its list while it runs.
    const auto fill = Fills()[Index(list)];
    if (fill) fill(sql);
}

QString WholeListQuery(ListId list) {
    switch (list) {
        case ListId::Stock:
        case ListId::Summary: return QStringLiteral("select * from buy");
        case ListId::Sales: return QStringLiteral("select * from sell");
        case ListId::Other: return QStringLiteral("select * from other");
        case ListId::Bank: return QStringLiteral("select * from bank");
    }
    return QString();
}

void RefillWholeList(ListId list) { RefillList(list, WholeListQuery(list)); }
