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
// Runs a change (update, delete) on the shared record set; false when it failed.
bool RunSharedChange(const QString& sql, const QVariantList& values = {});

// The system's text and number forms of a field value: "" and 0 for an empty value, numbers
// in number text, dates in their stored form.
QString VariantText(const QVariant& value);
// The index of each named field of the open record set, -1 for a name it does not have.
QList<int> FieldIndexes(DbRecordSet& records, const QStringList& names);
double VariantNumber(const QVariant& value);
// A value as a list cell shows it: dates as "2012年6月3日" (with the time of day when it is
// not midnight), numbers in number text, texts as stored with a tab as a space.
QString ListCellText(const QVariant& value);
QString FieldText(DbRecordSet& records, const QString& name);
double FieldNumber(DbRecordSet& records, const QString& name);
QDateTime FieldDate(DbRecordSet& records, const QString& name);
