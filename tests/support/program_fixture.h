#pragma once
// Each test runs in a fresh program directory with the scripted dialogs and a fixed clock.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/scripted_dialogs.h"

class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString Dir() const { return dir_.path(); }
    QString File(const QString& name) const { return dir_.filePath(name); }
    // Writes the default settings and a fresh database, and opens it on the shared connection.
    void Provision();

    ScriptedDialogs dialogs_;

private:
    QTemporaryDir dir_;
};
