#include "stock/import_window.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTableWidget>

#include "common/date_text.h"
#include "common/number_text.h"
#include "ledger/goods_import.h"
#include "platform/dialogs.h"
#include "platform/placement.h"
#include "platform/skin.h"
#include "stock/goods_refresh.h"
#include "store/shared_db.h"

namespace {

constexpr int kPreviewRows = 200;
const QString kCaption = QStringLiteral("导入商品");

QString ColumnTitle(const ImportTable& table, int headerRow, int column) {
    const QString header = headerRow >= 0 && column < table.rows[headerRow].size()
                               ? table.rows[headerRow][column].trimmed()
                               : QString();
    const QString number = QStringLiteral("第%1列").arg(column + 1);
    return header.isEmpty() ? number : number + QStringLiteral("：") + header;
}

// The codes in stock, upper case: a preview row with one of them is a restock. A failed read
// shows every row as new; the import itself reads the codes again.
QSet<QString> StoredCodes() {
    QHash<QString, qint64> codes;
    QString error;
    ReadGoodsCodes(SharedConnection(), &codes, &error);
    return QSet<QString>(codes.keyBegin(), codes.keyEnd());
}

}  // namespace

ImportWindow::ImportWindow(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("ImportWindow"));
    setWindowTitle(kCaption);
    setFixedSize(760, 560);

    文件标签 =
        PlaceLabel(this, QStringLiteral("请选择要导入的Excel（.xlsx）或CSV文件"), 10, 10, 620, 24);
    文件标签->setObjectName(QStringLiteral("文件标签"));
    选择文件按钮 = Place<QPushButton>(this, QStringLiteral("选择文件按钮"), 640, 8, 110, 28);
    选择文件按钮->setText(QStringLiteral("选择文件…"));

    PlaceLabel(this, QStringLiteral("文件中的列："), 10, 42, 200, 20);
    对应表 = Place<QTableWidget>(this, QStringLiteral("对应表"), 10, 64, 250, 330);
    对应表->setColumnCount(2);
    对应表->setHorizontalHeaderLabels({QStringLiteral("商品字段"), QStringLiteral("文件中的列")});
    对应表->verticalHeader()->hide();
    对应表->setRowCount(kGoodsFieldCount);
    对应表->setColumnWidth(0, 80);
    对应表->horizontalHeader()->setStretchLastSection(true);
    for (int f = 0; f < kGoodsFieldCount; ++f) {
        auto* name = new QTableWidgetItem(GoodsFieldName(static_cast<GoodsField>(f)));
        name->setFlags(Qt::ItemIsEnabled);
        对应表->setItem(f, 0, name);
        columnBoxes_[f] = new QComboBox(对应表);
        columnBoxes_[f]->setAccessibleName(name->text() + QStringLiteral("：文件中的列"));
        对应表->setCellWidget(f, 1, columnBoxes_[f]);
        connect(columnBoxes_[f], &QComboBox::currentIndexChanged, this, &ImportWindow::MapChanged);
    }

    PlaceLabel(this, QStringLiteral("编码已在库存中的行："), 10, 402, 250, 20);
    续存单选框 = Place<QRadioButton>(this, QStringLiteral("续存单选框"), 10, 424, 250, 22);
    续存单选框->setText(QStringLiteral("续存这件商品（加上进货数量）"));
    列出单选框 = Place<QRadioButton>(this, QStringLiteral("列出单选框"), 10, 448, 250, 22);
    列出单选框->setText(QStringLiteral("不导入，列为有问题的行"));
    列出单选框->setChecked(true);
    connect(续存单选框, &QRadioButton::toggled, this, &ImportWindow::ShowPreview);

    PlaceLabel(this,
               QStringLiteral("前%1行预览（有问题的行标为红色，不会导入）：").arg(kPreviewRows),
               270, 42, 480, 20);
    预览表 = Place<QTableWidget>(this, QStringLiteral("预览表"), 270, 64, 480, 406);
    预览表->setEditTriggers(QAbstractItemView::NoEditTriggers);
    预览表->verticalHeader()->hide();
    QStringList headers{QStringLiteral("行号")};
    for (int f = 0; f < kGoodsFieldCount; ++f)
        headers << GoodsFieldName(static_cast<GoodsField>(f));
    headers << QStringLiteral("问题");
    预览表->setColumnCount(static_cast<int>(headers.size()));
    预览表->setHorizontalHeaderLabels(headers);

    统计标签 = PlaceLabel(this, QString(), 10, 480, 740, 24);
    统计标签->setObjectName(QStringLiteral("统计标签"));
    导入按钮 = Place<QPushButton>(this, QStringLiteral("导入按钮"), 560, 516, 90, 30);
    导入按钮->setText(QStringLiteral("导入"));
    导入按钮->setEnabled(false);
    取消按钮 = Place<QPushButton>(this, QStringLiteral("取消按钮"), 660, 516, 90, 30);
    取消按钮->setText(QStringLiteral("取消"));

    connect(选择文件按钮, &QPushButton::clicked, this, &ImportWindow::ChooseFile);
    connect(导入按钮, &QPushButton::clicked, this, [this] {
        if (Import()) accept();
    });
    connect(取消按钮, &QPushButton::clicked, this, &QDialog::reject);
}

void ImportWindow::ChooseFile() {
    const QString path = Dialogs().OpenFileName(
        this, QStringLiteral("选择商品表"), QString(),
        QStringLiteral(
            "商品表 (*.xlsx *.csv *.txt);;Excel 工作簿 (*.xlsx);;CSV 文件 (*.csv *.txt)"));
    if (!path.isEmpty()) LoadFile(path);
}

bool ImportWindow::LoadFile(const QString& path) {
    QString error;
    ImportTable table;
    if (!ReadImportFile(path, &table, &error)) {
        Dialogs().SystemMessage(this, error, kCaption, BoxIcon::Warning, BoxButtons::Ok);
        return false;
    }
    table_ = std::move(table);
    文件标签->setText(QFileInfo(path).fileName());
    existingCodes_ = StoredCodes();

    const ColumnMap guess = GuessColumns(table_);
    int columns = 0;
    for (const QStringList& row : table_.rows)
        columns = std::max(columns, static_cast<int>(row.size()));
    for (int f = 0; f < kGoodsFieldCount; ++f) {
        QComboBox* box = columnBoxes_[f];
        const QSignalBlocker quiet(box);
        box->clear();
        box->addItem(QStringLiteral("（不导入）"), -1);
        for (int c = 0; c < columns; ++c) box->addItem(ColumnTitle(table_, guess.headerRow, c), c);
        box->setCurrentIndex(guess.column[f] + 1);
    }
    headerRow_ = guess.headerRow;
    ShowPreview();
    return true;
}

ColumnMap ImportWindow::CurrentMap() const {
    ColumnMap map;
    map.headerRow = headerRow_;
    for (int f = 0; f < kGoodsFieldCount; ++f)
        map.column[f] = columnBoxes_[f]->currentData().toInt();
    return map;
}

void ImportWindow::MapChanged() {
    ShowPreview();
}

void ImportWindow::ShowPreview() {
    // The rows of a large file are let go before they are checked again: never twice in memory.
    std::vector<ImportGoods>().swap(rows_);
    rows_ = CheckImportRows(table_, CurrentMap(), CurrentDateTime().date());
    int good = 0;
    int restocks = 0;
    for (ImportGoods& g : rows_) {
        if (g.problem.isEmpty() && existingCodes_.contains(g.编码.toUpper())) {
            if (续存单选框->isChecked())
                ++restocks;
            else
                g.problem = QStringLiteral("编码已在库存中");
        }
        if (g.problem.isEmpty()) ++good;
    }
    const int shown = std::min<int>(kPreviewRows, static_cast<int>(rows_.size()));
    预览表->setRowCount(shown);
    for (int r = 0; r < shown; ++r) {
        const ImportGoods& g = rows_[r];
        const QString cells[] = {QString::number(g.line),
                                 g.名称,
                                 g.型号,
                                 g.编码,
                                 g.类型,
                                 NumberText(g.进货数量),
                                 NumberText(g.进货单价),
                                 NumberText(g.销售单价),
                                 g.入库日期.isValid() ? StoredDateText(g.入库日期) : QString(),
                                 g.供货商,
                                 g.备注,
                                 g.problem};
        for (int c = 0; c < static_cast<int>(std::size(cells)); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (!g.problem.isEmpty()) item->setBackground(QColor(255, 205, 205));
            预览表->setItem(r, c, item);
        }
    }
    const int problems = static_cast<int>(rows_.size()) - good;
    统计标签->setText(QStringLiteral("共%1行：可导入%2行（其中续存%3行），有问题%4行不导入")
                          .arg(rows_.size())
                          .arg(good)
                          .arg(restocks)
                          .arg(problems));
    导入按钮->setEnabled(good > 0);
}

bool ImportWindow::Import() {
    std::vector<GoodsImportRow> good;
    QStringList problems;
    for (const ImportGoods& g : rows_) {
        if (g.problem.isEmpty())
            good.push_back(g);
        else
            problems << QStringLiteral("第%1行：%2").arg(g.line).arg(g.problem);
    }
    if (good.empty() || !EnsureDatabaseOpen()) return false;

    QProgressDialog progress(QStringLiteral("正在导入商品…"), QStringLiteral("取消"), 0,
                             static_cast<int>(good.size()), this);
    progress.setWindowTitle(kCaption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const GoodsImportResult result = ImportGoodsIntoStock(
        SharedConnection(), good, 续存单选框->isChecked(), [&progress](int done) {
            progress.setValue(done);
            QApplication::processEvents();
            return !progress.wasCanceled();
        });
    progress.close();

    if (result.outcome == GoodsImportResult::Cancelled) {
        Dialogs().SystemMessage(this, QStringLiteral("导入已取消，库存没有改变"), kCaption,
                                BoxIcon::Information, BoxButtons::Ok);
        return false;
    }
    if (result.outcome != GoodsImportResult::Done) {
        Dialogs().SystemMessage(this, QStringLiteral("导入失败，库存没有改变：") + result.error,
                                kCaption, BoxIcon::Warning, BoxButtons::Ok);
        return false;
    }
    for (int line : result.skippedLines)
        problems << QStringLiteral("第%1行：编码已在库存中").arg(line);
    RefreshGoodsLists();
    QString text =
        QStringLiteral("导入商品完成：新建%1件，续存%2件").arg(result.added).arg(result.restocked);
    if (!problems.isEmpty()) {
        text += QStringLiteral("\r\n以下%1行没有导入：\r\n").arg(problems.size());
        // The box stays readable: the full list is in the preview.
        text += problems.mid(0, 20).join(QStringLiteral("\r\n"));
        if (problems.size() > 20) text += QStringLiteral("\r\n……");
    }
    Dialogs().SystemMessage(this, text, kCaption, BoxIcon::Information, BoxButtons::Ok);
    return true;
}

void OpenImportWindow(QWidget* owner) {
    ImportWindow window(owner);
    Dialogs().RunModal(&window);
}
