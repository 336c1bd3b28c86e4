#pragma once
// A fresh data.db in a temporary directory, two connections to it, and the checks of the
// figures the ledger keeps.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QVariant>

#include "store/db_connection.h"

class LedgerFixture : public ::testing::Test {
  protected:
    void SetUp() override;

    QString Path() const { return dir_.filePath(QStringLiteral("data.db")); }
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

    QTemporaryDir dir_;
    DbConnection till1_;
    DbConnection till2_;
};
