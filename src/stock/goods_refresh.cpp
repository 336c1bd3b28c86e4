#include "stock/goods_refresh.h"

#include "platform/list_refresh.h"

namespace {
std::function<void()>& Reloader() {
    static std::function<void()> reload;
    return reload;
}
}  // namespace

void SetStockPickListReloader(std::function<void()> reload) {
    Reloader() = std::move(reload);
}

void ReloadStockPickLists() {
    const auto reload = Reloader();
    if (reload) reload();
}

void RefreshStockRow(qint64 goodsId) {
    UpdateListRow(ListId::Stock, goodsId);
    ReloadStockPickLists();
}

void RefreshSummaryRow(qint64 goodsId) {
    UpdateListRow(ListId::Summary, goodsId);
}

void RefreshGoodsLists() {
    RefillWholeList(ListId::Stock);
    RefillWholeList(ListId::Sales);
    RefillWholeList(ListId::Other);
    RefillWholeList(ListId::Summary);
}
