#pragma once
// What the benchmark programs share: the peak memory, a report line, dialogs that never
// wait, and the bare SQLite read every list fill is measured against.

#include <sqlite3.h>

#include <QByteArray>
#include <cstdio>

#include "platform/dialogs.h"

double PeakRssMb();
void Report(const char* step, double ms);

// Every box is answered at once (OK, or cancelled where there is a choice of file or text).
class NoDialogs final : public DialogSeam {
  public:
    BoxAnswer SystemMessage(QWidget*, const QString&, const QString&, BoxIcon, BoxButtons) override;
    std::optional<QString> InputText(QWidget*, const QString&, const QString&, const QString&,
                                     bool) override;
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override;
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override;
    QString FolderName(QWidget*, const QString&, const QString&) override;
    int RunModal(QDialog*) override;
    int SkinMessage(const SkinBoxRequest&, const std::function<int()>&) override;
};

// Milliseconds to read the query's rows through the C API into a discarded result, each value
// in its own type, on the shared connection.
double BareRead(const char* sql);

// ---- A shop's ledger written straight through the C API, as fast as SQLite takes it ----------

void BindText(sqlite3_stmt* stmt, int index, const QByteArray& text);

// Runs one prepared insert per row; bind(stmt, i) binds row i. The caller holds the transaction.
template <typename BindRow>
void InsertRows(sqlite3* db, const char* sql, int count, BindRow bind) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    for (int i = 0; i < count; ++i) {
        bind(stmt, i);
        if (sqlite3_step(stmt) != SQLITE_DONE)
            std::printf("insert failed: %s\n", sqlite3_errmsg(db));
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
}

// Goods i is named kNames[i % 14] + (i / 14), typed kTypes[i % 6].
extern const char* const kNames[14];
extern const char* const kInitials[14];
extern const char* const kTypes[6];

// The purchase price of goods i.
double BenchCost(int goods);

// Sale i of goodsCount goods: spread over the eighteen months up to the benchmarks' "today",
// one in ten owing; bound into kSaleInsert.
extern const char* const kSaleInsert;
void BindSale(sqlite3_stmt* s, int i, int goodsCount);
