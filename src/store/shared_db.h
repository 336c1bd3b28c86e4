#pragma once
// The one connection and the one record set of the process, and the reads every data
// routine makes of a field.

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <functional>

#include "store/db_connection.h"
#include "store/db_recordset.h"

DbConnection& SharedConnection();
DbRecordSet& SharedRecordSet();

// The routine that opens data.db on the shared connection (it tells the user when it
// fails); installed by the application at start.
void SetDatabaseOpener(std::function<void()> opener);
// Opens the shared connection when it is closed; true when it is open afterwards.
bool EnsureDatabaseOpen();

// Runs a query on the shared record set (after opening the database when needed) and stands
// on its first row; false when the statement failed.
bool OpenSharedQuery(const QString& sql, const QVariantList& values = {});
// Whether the last statement that failed on the shared connection met another connection's
// lock past the busy wait.
bool SharedConnectionBusy();

// The system's text and number forms of a field value: "" and 0 for an empty value, numbers
// in number text, dates in their stored form.
QString VariantText(const QVariant& value);
double VariantNumber(const QVariant& value);
QString FieldText(DbRecordSet& records, const QString& name);
double FieldNumber(DbRecordSet& records, const QString& name);
QDateTime FieldDate(DbRecordSet& records, const QString& name);
