#pragma once
// Fresh books - a data.db in a temporary directory, or an empty database on a test server -
// two connections to them, and the checks of the figures the ledger keeps.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QVariant>

#include "store/db_connection.h"
#include "support/store_kind.h"

class LedgerFixture : public ::testing::Test {
  protected:
    void SetUp() override;

    QString Path() const { return dir_.filePath(QStringLiteral("data.db")); }
    // Opens another connection to the books, as a second copy of the program would.
    bool OpenTill(DbConnection& till) const;
    // A goods record with stock bought at cost 8, sold at 12.5, nothing sold yet.
    qint64 AddGoods(double stock, double cost = 8);
    // The value of one column of one row, null when there is none.
    QVariant Value(const QString& table, const QString& column, qint64 id);
    double Number(const QString& table, const QString& column, qint64 id) {
        return Value(table, column, id).toDouble();
    }
    qint64 Count(const QString& table);
    double Scalar(const QString& sql);
    // Every goods row: stock = purchased − sold, sold = the sum of its sales rows.
    static void ExpectGoodsInvariants(DbConnection& db);

    StoreKind store_ = StoreKind::File;
    QString server_;  // the connection string of the server's database
    QTemporaryDir dir_;
    DbConnection till1_;
    DbConnection till2_;
};
