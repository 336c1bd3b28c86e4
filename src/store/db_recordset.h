#pragma once
// A static cursor over the rows of one statement: the whole result is read on open, so the
// record count is exact. Rows of a single table (with their ID) can be added, changed and
// deleted through it; every field write is checked against its column at once.

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <optional>

#include "store/schema.h"

class DbConnection;

// The wrapper's own messages.
namespace RecordSetMessage {
inline const QString kNoSortTable = QStringLiteral("表名或者排序条件为空");
inline const QString kNoFilterTable = QStringLiteral("表名或者过滤条件为空");
inline const QString kDeleteOption = QStringLiteral("删除选项值不在1-4之间");
inline const QString kRecordIndex = QStringLiteral("记录序号小于零");
inline const QString kNoRecord = QStringLiteral("找不到记录");
inline const QString kNoField = QStringLiteral("找不到字段");
inline const QString kEmptyFieldName = QStringLiteral("字段名为空");
inline const QString kMoveStart = QStringLiteral("移动方式值不在0-2之间");
inline const QString kPageSize = QStringLiteral("每页的记录数小于0");
inline const QString kFieldIndex = QStringLiteral("字段序号小于0");
inline const QString kNoFieldGiven = QStringLiteral("字段序号和字段名都为空");
}  // namespace RecordSetMessage

// The value a column of kind can hold for value (texts of at most 50 characters, finite
// numbers, dates in their stored form), or false with an error text naming field. Every
// write of a field is checked with it, through a record set or a statement.
bool CheckValue(const QString& field, ColumnKind kind, const QVariant& value, QVariant* stored,
                QString* error);

// Edit modes as GetEditMode reports them.
enum class EditMode { None = 0, InProgress = 1, Add = 2 };

// Field types as GetFieldType reports them.
enum class FieldType { Integer = 3, Double = 5, Date = 7, Text = 202, Memo = 203 };

class DbRecordSet {
  public:
    DbRecordSet();
    DbRecordSet(const DbRecordSet& other);  // shares the cursor, copies the texts
    DbRecordSet& operator=(const DbRecordSet& other);
    virtual ~DbRecordSet();

    virtual bool IsValid() const;
    virtual QString GetLastError() const;
    virtual bool CheckError(const QString& error);

    // isSql false: source is a table name, read as "SELECT * FROM " + source. A statement
    // that returns no rows runs here too and leaves the record set closed. values are bound
    // to the statement's "?" parameters.
    virtual bool Open(const QString& source, DbConnection& connection, bool isSql = false,
                      const QVariantList& values = {});
    // sort: columns of table, each optionally followed by ASC or DESC, separated by commas.
    virtual bool OpenSorted(DbConnection& connection, const QString& table, const QString& sort);
    // filter: one criterion ("名称='纸'").
    virtual bool OpenFiltered(DbConnection& connection, const QString& table,
                              const QString& filter);
    virtual bool Close();

    virtual bool AddNew();
    virtual bool Update();
    // option 0 or 1: the current row; 2 to 4: every row the filter lets through.
    virtual bool Delete(int option = 1);

    virtual bool SetFieldByIndex(int index, const QVariant& value);
    virtual bool SetFieldByName(const QString& name, const QVariant& value);
    // Null for an empty field; numbers as double (ID and other integer columns as qint64),
    // texts as QString, dates as QDateTime.
    virtual QVariant GetFieldByIndex(int index);
    virtual QVariant GetFieldByName(const QString& name);

    virtual bool MoveFirst();
    virtual bool MoveLast();
    virtual bool MoveNext();
    virtual bool MovePrevious();
    // start: 0 current row, 1 first row, 2 last row.
    virtual bool Move(int count, int start = 1);

    virtual int GetPageCount() const;
    virtual int GetPageSize() const;
    virtual bool SetPageSize(int size);
    virtual int GetAbsolutePage() const;
    virtual bool SetAbsolutePage(int page);

    virtual QString GetFieldName(int index);
    virtual int GetFieldAttributes(std::optional<int> index, const QString& name = QString());
    virtual int GetFieldDefinedSize(std::optional<int> index, const QString& name = QString());
    virtual int GetFieldType(std::optional<int> index, const QString& name = QString());
    virtual bool IsFieldEmpty(std::optional<int> index, const QString& name = QString());

    // Searches from the current row on (backward: towards the first row). No match is no
    // error: the record set then stands after the last (before the first) row.
    virtual bool Find(const QString& criteria, bool backward = false);
    virtual bool FindNext();
    // Shows only the rows that meet one criterion; "" shows every row again.
    virtual bool SetFilter(const QString& filter);

    virtual bool IsOpen() const;
    virtual int GetEditMode() const;
    virtual int GetRecordCount() const;
    virtual int GetFieldCount() const;
    virtual bool IsBOF() const;
    virtual bool IsEOF() const;

  private:
    struct Cursor;
    std::shared_ptr<Cursor> cursor_;
    QString lastError_;
    QString findCriteria_;
    bool findBackward_ = false;

    int FieldIndex(const QString& name) const;
    int ResolveField(std::optional<int> index, const QString& name);
    bool NeedCurrentRow();
};
