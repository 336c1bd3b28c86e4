#pragma once
// Each test runs in a fresh program directory with the scripted dialogs and a fixed clock, its
// books in data.db or, for a StoreKind::Server fixture, in a fresh database on the test server.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/scripted_dialogs.h"
#include "support/store_kind.h"

class DbConnection;

class ProgramFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    QString Dir() const { return dir_.path(); }
    QString File(const QString& name) const { return dir_.filePath(name); }
    // Writes the default settings and a fresh database, and opens it on the shared connection.
    // On a server the settings name a fresh database of the test server, which the program's
    // start opens instead of data.db.
    void Provision();
    // Opens another connection to the books, as a second till of the shop would.
    bool OpenTill(DbConnection& till) const;
    // Makes the store refuse every event ("insert", "update" or "delete") on table, as a
    // statement that fails there; Allow lets it through again.
    void Refuse(const QString& table, const QString& event);
    void Allow(const QString& table, const QString& event);

    ScriptedDialogs dialogs_;
    StoreKind store_ = StoreKind::File;
    QString server_;  // the connection string of the server's database

  private:
    QTemporaryDir dir_;
};
