#pragma once
// A prepared SQLite statement with bound values; finalised when it goes out of scope.

#include <sqlite3.h>

#include <QString>
#include <QVariant>
#include <QVariantList>

class Statement {
public:
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Ok() const { return stmt_ != nullptr && error_.isEmpty(); }
    const QString& Error() const { return error_; }
    sqlite3_stmt* Get() const { return stmt_; }

    // Binds values in order to the statement's parameters; dates go in their stored form.
    bool Bind(const QVariantList& values);
    // One step: SQLITE_ROW, SQLITE_DONE, or an error (its text then in Error()).
    int Step();

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    QString error_;
};

// The SQLite value a QVariant stands for: text, a number, a stored date or null.
QVariant StorableValue(const QVariant& value);
