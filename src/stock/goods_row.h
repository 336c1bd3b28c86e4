#pragma once
// One goods record of buy with the values the stock list shows for it; the goods entry
// windows open on one of these and keep it for as long as they are open.

#include <QDate>
#include <QString>

#include "common/session.h"

struct GoodsRow {
    QString ID;
    QString 名称;
    QString 型号;
    QString 编码;
    QString 类型;
    double 进货数量 = 0;
    double 进货单价 = 0;
    double 进货金额 = 0;
    double 销售数量 = 0;
    double 销售单价 = 0;
    double 销售金额 = 0;
    double 存货数量 = 0;
    double 存货金额 = 0;
    QDate 入库日期;
    QString 供货商;
    QString 备注;
};

// Reads the record of buy with that ID into row; false when there is none or the read failed,
// row then unchanged. A failed read is told to the user (what failed, why and what to do) and
// sets *readFailed when given. The cost figures (purchase price and amounts) are read only for a
// user who may see them, else they are 0.
bool LoadGoodsRow(const QString& id, GoodsRow* row, bool* readFailed = nullptr);
