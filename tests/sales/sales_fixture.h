#pragma once
// A stand-in main window with the two frames of the 销售明细 page, the skin attached (so that
// skinned boxes reach the scripted dialogs) and a fresh database.

#include <QStringList>
#include <QWidget>
#include <memory>

#include "platform/list_refresh.h"
#include "platform/record_grid.h"
#include "stock/goods_row.h"
#include "support/program_fixture.h"

class QFrame;

// A sales row as a test stores it directly.
struct SaleRow {
    QString 名称 = QStringLiteral("圆珠笔");
    QString 型号;
    QString 编码;
    QString 类型 = QStringLiteral("文具");
    double 销售单价 = 2;
    double 销售数量 = 1;
    double 销售金额 = 2;
    double 欠款额 = 0;
    double 净利润 = 1;
    QString 销售日期 = QStringLiteral("2012-06-15");
    QString 客户名称;
    QString 备注;
    QString 首拼;
    QString UID = QStringLiteral("0");
};

class SalesFixture : public ProgramFixture {
  protected:
    void SetUp() override;
    void TearDown() override;

    void LogInAsSuperAdmin();
    // Replaces the fills of the four lists a sale refreshes by ones that log their names.
    void LogRefills();

    // A goods record of buy: purchase price 8, suggested price 12.5; returns its ID.
    QString AddGoods(const QString& name, double stock, const QString& initials = QString());
    GoodsRow Goods(const QString& id);
    QString AddSale(const SaleRow& sale);
    int SaleCount();
    // A stored text of sell as the database holds it.
    QString StoredSaleText(const QString& id, const QString& column);

    RecordGrid* OpenGrid(int height = 530);
    QStringList GridColumn(int col);  // the texts of a column's data rows

    // Types text into the edit box or combo box named name, as a user would, after emptying it.
    static void Type(QWidget* window, const char* name, const QString& text);
    static void Click(QWidget* window, const char* name);
    static QString TextOf(QWidget* window, const char* name);
    void RightClick(int row, int col);
    void DoubleClick(int row, int col);

    QStringList SkinTexts() const;
    QString LastSkinText() const;

    std::unique_ptr<QWidget> window_;
    QFrame* 销售框架 = nullptr;
    QFrame* 销售图片框 = nullptr;
    QStringList refreshed_;  // "Stock", "Sales", ... in call order
};
