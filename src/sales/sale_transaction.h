#pragma once
// One sale of one goods record: the goods' sales counters and stock in buy change and one row
// is appended to sell, both in one transaction.

#include <QDate>
#include <QString>

// What the sell window holds when "确认销售" is pressed; numbers as read from its boxes.
struct SaleInput {
    QString goodsId;  // ID in buy of the goods the window was opened for; empty for none
    QString 名称;
    QString 型号;
    QString 编码;
    QString 类型;
    double shownStock = 0;  // 库存框
    double 销售单价 = 0;    // 实际零售价框
    double 销售数量 = 0;
    double 销售金额 = 0;  // may differ from price × quantity when the user typed it
    double 欠款额 = 0;
    QDate 销售日期;
    QString 客户编号;
    QString 客户名称;
    QString 联系方式;
    QString 客户地址;
    QString 备注;
};

// Checks the sale, records it, tells the user (not in the scan batch) and refills the
// stock, sales, income-expense and summary lists. A refused or failed sale shows its warning
// and changes nothing; false then.
bool SaleTransaction(const SaleInput& sale);
