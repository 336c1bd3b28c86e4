#include "platform/list_refresh.h"

#include <array>

namespace {
std::array<std::function<void()>, 5>& Fills() {
    static std::array<std::function<void()>, 5> fills;
    return fills;
}
std::array<std::function<void(qint64)>, 5>& Updates() {
    static std::array<std::function<void(qint64)>, 5> updates;
    return updates;
}
size_t Index(ListId list) {
    return static_cast<size_t>(list);
}
}  // namespace

void RegisterListFill(ListId list, std::function<void()> fill) {
    Fills()[Index(list)] = std::move(fill);
    Updates()[Index(list)] = nullptr;  // a row update belongs to the fill it was registered with
}

void UnregisterListFill(ListId list) {
    Fills()[Index(list)] = nullptr;
    Updates()[Index(list)] = nullptr;
}

void RegisterListRowUpdate(ListId list, std::function<void(qint64)> update) {
    Updates()[Index(list)] = std::move(update);
}

void UpdateListRow(ListId list, qint64 id) {
    if (!ListExists(list)) return;
    const auto update = Updates()[Index(list)];
    if (update)
        update(id);
    else
        RefillWholeList(list);
}

bool ListExists(ListId list) {
    return static_cast<bool>(Fills()[Index(list)]);
}

void RefillWholeList(ListId list) {
    // A copy, so that a fill may re-register its list while it runs.
    const auto fill = Fills()[Index(list)];
    if (fill) fill();
}
