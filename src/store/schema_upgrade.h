#pragma once
// Brings a data.db written by an earlier version of the program up to the current schema.

#include <QString>

struct sqlite3;

// The schema version stored in the file (PRAGMA user_version), -1 when it cannot be read.
int StoredSchemaVersion(sqlite3* db);

// Upgrades db to kSchemaVersion in one write transaction: the version is read again inside
// it, so a file another copy upgraded meanwhile is left as it is. On failure nothing of the
// upgrade is stored and *error says why.
bool UpgradeSchema(sqlite3* db, QString* error);
