#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>

#include "common/date_text.h"
#include "common/number_text.h"
#include "common/session.h"
#include "common/settings.h"
#include "platform/combo_fill.h"
#include "platform/list_refresh.h"
#include "platform/placement.h"
#include "stock/catalogue_window.h"
#include "stock/goods_refresh.h"
#include "stock/stock_page.h"
#include "store/shared_db.h"

void BuildStockMenu();

namespace {

using ledger::GoodsFilter;

QLabel* Label(QWidget* parent, const char* text, int x, int y, int w) {
    return PlaceLabel(parent, QString::fromUtf8(text), x, y, w, 22,
                      Qt::AlignRight | Qt::AlignVCenter);
}

template <typename T>
T* Control(QWidget* parent, const char16_t* name, int x, int y, int w) {
    return Place<T>(parent, QString::fromUtf16(name), x, y, w, 22);
}

QComboBox* SearchCombo(QWidget* parent, const char16_t* name, int x, int y, int w) {
    return PlaceSearchCombo(parent, QString::fromUtf16(name), x, y, w, 22);
}

QDateEdit* DateBox(QWidget* parent, const char16_t* name, int x, int y) {
    return PlaceDateBox(parent, QString::fromUtf16(name), x, y, 110, 22);
}

// A contains-search on one column (kGoodsName: by the name's initials); the whole list when
// the text is empty.
void SearchColumn(int column, const QString& text) {
    GoodsFilter filter;
    if (!text.isEmpty()) {
        filter.kind = column == ledger::kGoodsName ? GoodsFilter::Kind::Initials
                                                   : GoodsFilter::Kind::Contains;
        filter.column = column;
        filter.text = text;
    }
    FillStockGrid(filter);
}

void ConnectSearch(QLineEdit* box, int column) {
    QObject::connect(box, &QLineEdit::textChanged, box, [box, column](const QString& text) {
        SearchColumn(column, text);
        box->setFocus();
    });
}

void ConnectSearch(QComboBox* box, int column) {
    QObject::connect(box, &QComboBox::editTextChanged, box,
                     [column](const QString& text) { SearchColumn(column, text); });
}

}  // namespace

StockPage& TheStockPage() {
    static StockPage page;
    return page;
}

RecordGrid* StockGrid() {
    return TheStockPage().grid;
}

void ForgetStockPage() {
    UnregisterListFill(ListId::Stock);
    SetStockPickListReloader(nullptr);
    CloseCatalogueWindow();
    TheStockPage() = StockPage{};
}

void FillGoodsPickList(QComboBox* box, int column) {
    QStringList values;
    QString error;
    // A list that cannot be read stays empty: typing a search still works.
    ledger::ReadGoodsValues(SharedConnection(), column, &values, &error);
    FillCombo(box, values);
}

void ReloadStockPanelPickLists() {
    StockPage& page = TheStockPage();
    if (!page.库管供货商框) return;
    // Refilling the lists must not run the searches bound to their edit text.
    const QSignalBlocker supplier(page.库管供货商框), type(page.库管类型查询框);
    const QString supplierText = page.库管供货商框->currentText();
    const QString typeText = page.库管类型查询框->currentText();
    FillGoodsPickList(page.库管供货商框, ledger::kGoodsSupplier);
    FillGoodsPickList(page.库管类型查询框, ledger::kGoodsType);
    page.库管供货商框->setEditText(supplierText);
    page.库管类型查询框->setEditText(typeText);
}

void BuildStockPage(QFrame* gridHost, QFrame* panel, const StockPageHooks& hooks) {
    StockPage& page = TheStockPage();
    page = StockPage{};
    page.库管框架 = gridHost;
    page.库管图片框 = panel;
    page.hooks = hooks;
    SetStockPickListReloader([] { ReloadStockPanelPickLists(); });

    int y = 8;
    Label(panel, "类别查询：", 0, y, 70);
    page.库管类型查询框 = SearchCombo(panel, u"库管类型查询框", 72, y, 120);
    Label(panel, "规格型号：", 196, y, 70);
    page.库管型号框 = Control<QLineEdit>(panel, u"库管型号框", 268, y, 120);
    Label(panel, "商品名称：", 392, y, 70);
    page.库管商品名称框 = Control<QLineEdit>(panel, u"库管商品名称框", 464, y, 110);
    Label(panel, "商品编码：", 578, y, 70);
    page.库管商品编码框 = Control<QLineEdit>(panel, u"库管商品编码框", 650, y, 110);
    Label(panel, "供货商：", 764, y, 56);
    page.库管供货商框 = SearchCombo(panel, u"库管供货商框", 822, y, 140);

    y = 38;
    Label(panel, "入库日期：", 0, y, 70);
    page.库管日期框1 = DateBox(panel, u"库管日期框1", 72, y);
    Label(panel, "-至-", 184, y, 30)->setAlignment(Qt::AlignCenter);
    page.库管日期框2 = DateBox(panel, u"库管日期框2", 216, y);
    page.库管查询按钮 = Control<QPushButton>(panel, u"库管查询按钮", 332, y, 72);
    page.库管查询按钮->setText(QStringLiteral("日期查询"));
    page.库管全部记录按钮 = Control<QPushButton>(panel, u"库管全部记录按钮", 410, y, 96);
    page.库管全部记录按钮->setText(QStringLiteral("刷新全部记录"));
    page.库管清空条件按钮 = Control<QPushButton>(panel, u"库管清空条件按钮", 512, y, 72);
    page.库管清空条件按钮->setText(QStringLiteral("清空条件"));
    page.库管不显示零库存框 = Control<QCheckBox>(panel, u"库管不显示零库存框", 592, y, 120);
    page.库管不显示零库存框->setText(QStringLiteral("显示零库存商品"));
    Label(panel, "库存报警数量：", 712, y, 96);
    page.库管库存报警框 = Control<QLineEdit>(panel, u"库管库存报警框", 810, y, 50);
    page.按钮2 = Control<QPushButton>(panel, u"按钮2", 866, y, 50);
    page.按钮2->setText(QStringLiteral("目录"));
    if (hooks.scanSale) {
        page.按钮5 = Control<QPushButton>(panel, u"按钮5", 922, y, 72);
        page.按钮5->setText(QStringLiteral("扫描销售"));
        QObject::connect(page.按钮5, &QPushButton::clicked, panel,
                         [] { TheStockPage().hooks.scanSale(); });
    }

    ConnectSearch(page.库管型号框, ledger::kGoodsModel);
    ConnectSearch(page.库管商品编码框, ledger::kGoodsCode);
    ConnectSearch(page.库管商品名称框, ledger::kGoodsName);
    ConnectSearch(page.库管类型查询框, ledger::kGoodsType);
    ConnectSearch(page.库管供货商框, ledger::kGoodsSupplier);
    QObject::connect(page.库管查询按钮, &QPushButton::clicked, panel, [] { OnStockDateQuery(); });
    QObject::connect(page.库管全部记录按钮, &QPushButton::clicked, panel,
                     [] { OnRefreshAllLists(); });
    QObject::connect(page.库管清空条件按钮, &QPushButton::clicked, panel,
                     [] { OnClearStockQuery(); });
    QObject::connect(page.库管不显示零库存框, &QCheckBox::clicked, panel, [](bool on) {
        WriteSetupKey(SetupKey::kZero, FlagText(on));
        FillStockGrid();
    });
    // Only what the user types: the level written in at set-up must not rewrite the setting.
    QObject::connect(page.库管库存报警框, &QLineEdit::textEdited, panel, [](const QString& text) {
        WriteSetupKey(SetupKey::kBeep, text);
        CurrentSession().stockAlarmLevel = std::trunc(TextToNumber(text));
        FillStockGrid();
    });
    QObject::connect(page.按钮2, &QPushButton::clicked, panel,
                     [] { OpenCatalogueWindow(TheStockPage().hooks.owner); });
    BuildStockMenu();
}

void OnStockDateQuery() {
    const StockPage& page = TheStockPage();
    GoodsFilter filter;
    filter.kind = GoodsFilter::Kind::Between;
    filter.from = page.库管日期框1->date();
    filter.to = page.库管日期框2->date();
    FillStockGrid(filter);
}

void OnRefreshAllLists() {
    FillStockGrid();
    RefillWholeList(ListId::Sales);
    RefillWholeList(ListId::Other);
    RefillWholeList(ListId::Summary);
    FillStockGrid();
}

void ClearStockFilterBoxes() {
    StockPage& page = TheStockPage();
    if (!page.库管类型查询框) return;
    const QSignalBlocker a(page.库管类型查询框), b(page.库管型号框), c(page.库管商品名称框),
        d(page.库管商品编码框), e(page.库管供货商框);
    page.库管类型查询框->setEditText(QString());
    page.库管型号框->clear();
    page.库管商品名称框->clear();
    page.库管商品编码框->clear();
    page.库管供货商框->setEditText(QString());
}

void OnClearStockQuery() {
    ClearStockFilterBoxes();
    FillStockGrid();
}
