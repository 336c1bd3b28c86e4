#include "stock/catalogue_window.h"

#include <QPointer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWidget>

#include "platform/placement.h"
#include "stock/stock_page.h"
#include "store/shared_db.h"

namespace {

QPointer<QWidget>& Window() {
    static QPointer<QWidget> window;
    return window;
}

const QString kAll = QStringLiteral("全部信息");

void FillTree(QTreeWidget* tree) {
    tree->clear();
    auto* all = new QTreeWidgetItem(tree, {kAll});
    QStringList types;
    QString error;
    ledger::ReadGoodsValues(SharedConnection(), ledger::kGoodsType, &types, &error);
    for (const QString& type : types) new QTreeWidgetItem(all, {type});
    tree->expandAll();
}

void OnTypePicked(QTreeWidgetItem* item) {
    const QString text = item ? item->text(0) : QString();
    ledger::GoodsFilter filter;
    if (!text.isEmpty() && text != kAll) {
        filter.kind = ledger::GoodsFilter::Kind::Contains;
        filter.column = ledger::kGoodsType;
        filter.text = text;
    }
    FillStockGrid(filter);
}

}  // namespace

QWidget* CatalogueWindow() {
    return Window().data();
}

QTreeWidget* CatalogueTree() {
    return Window() ? Window()->findChild<QTreeWidget*>(QStringLiteral("树型框1")) : nullptr;
}

void OpenCatalogueWindow(QWidget* owner) {
    if (Window()) {
        Window()->raise();
        Window()->activateWindow();
        return;
    }
    auto* window = new QWidget(owner, Qt::Tool);
    window->setObjectName(QStringLiteral("目录窗口"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("数据管理"));
    window->resize(180, 420);
    auto* tree = new QTreeWidget(window);
    tree->setObjectName(QStringLiteral("树型框1"));
    tree->setHeaderHidden(true);
    tree->setAccessibleName(QStringLiteral("商品类别"));
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tree);
    QObject::connect(tree, &QTreeWidget::currentItemChanged, tree,
                     [](QTreeWidgetItem* item) { OnTypePicked(item); });
    FillTree(tree);
    Window() = window;
    if (owner) PlaceCatalogueWindow(owner->frameGeometry());
    window->show();
}

void CloseCatalogueWindow() {
    if (Window()) delete Window().data();
}

void PlaceCatalogueWindow(const QRect& mainFrame) {
    QWidget* window = Window();
    if (!window) return;
    const int width = window->frameGeometry().width();
    if (mainFrame.left() != 0)
        window->move(mainFrame.left() - width - 3, window->y());
    else
        window->move(mainFrame.left() + mainFrame.width() - width - 26, mainFrame.top() + 150);
    KeepOnScreen(window);
}
