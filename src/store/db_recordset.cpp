#include "store/db_recordset.h"

#include <QDateTime>
#include <QMap>
#include <QRegularExpression>
#include <cmath>
#include <string>
#include <vector>

#include "common/date_text.h"
#include "common/number_text.h"
#include "store/criteria.h"
#include "store/db_connection.h"
#include "store/statement.h"

using namespace RecordSetMessage;

namespace {

const QString kClosedError = QStringLiteral("对象关闭时，不允许操作。");
const QString kNoCurrentRow = QStringLiteral(
    "BOF 或 EOF 中有一个是“真”，或者当前的记录已被删除，所请求的操作要求一个当前的记录。");
const QString kNotUpdatable = QStringLiteral("当前记录集不能更新：它不是一个表的全部行。");

// One stored value, kept small so that large results fit in memory.
struct Cell {
    union {
        qint64 i;
        double d;
        quint64 offset;
    };
    quint32 length = 0;
    ColumnType type = ColumnType::Null;
};

QString Quoted(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(u'"', QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

QString ValueText(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
            return NumberText(value.toDouble());
        case QMetaType::QDate:
            return StoredDateText(value.toDate());
        case QMetaType::QDateTime:
            return StoredDateText(value.toDateTime());
        default:
            return value.toString();
    }
}

bool IsNumberVariant(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Float:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool CheckValue(const QString& field, ColumnKind kind, const QVariant& value, QVariant* stored,
                QString* error) {
    if (!value.isValid() || value.isNull()) {
        if (kind == ColumnKind::Id) {
            *error = QStringLiteral("字段“%1”是自动编号，不能写入").arg(field);
            return false;
        }
        *stored = QVariant();
        return true;
    }
    switch (kind) {
        case ColumnKind::Id:
            *error = QStringLiteral("字段“%1”是自动编号，不能写入").arg(field);
            return false;
        case ColumnKind::Text50: {
            const QString text = ValueText(value);
            if (text.size() > 50) {
                *error = QStringLiteral("字段“%1”的值超过 50 个字符").arg(field);
                return false;
            }
            *stored = text;
            return true;
        }
        case ColumnKind::Memo:
            *stored = ValueText(value);
            return true;
        case ColumnKind::Real:
        case ColumnKind::Integer: {
            double number;
            if (IsNumberVariant(value)) {
                number = value.toDouble();
            } else if (value.typeId() == QMetaType::QString && IsNumberText(value.toString())) {
                number = TextToNumber(value.toString());
            } else {
                *error = QStringLiteral("字段“%1”的值不是数字").arg(field);
                return false;
            }
            if (!std::isfinite(number)) {
                *error = QStringLiteral("字段“%1”的值不是有限的数").arg(field);
                return false;
            }
            if (kind == ColumnKind::Real) {
                *stored = number;
            } else {
                if (std::fabs(number) > 9.2e18) {
                    *error = QStringLiteral("字段“%1”的值太大").arg(field);
                    return false;
                }
                *stored = static_cast<qint64>(std::llround(number));
            }
            return true;
        }
        case ColumnKind::Date: {
            QDateTime date;
            if (value.typeId() == QMetaType::QDate)
                date = QDateTime(value.toDate(), QTime(0, 0));
            else if (value.typeId() == QMetaType::QDateTime)
                date = value.toDateTime();
            else if (value.typeId() == QMetaType::QString)
                date = ParseDateText(value.toString());
            if (!date.isValid()) {
                *error = QStringLiteral("字段“%1”的值不是日期").arg(field);
                return false;
            }
            *stored = StoredDateText(date);
            return true;
        }
    }
    return false;
}

struct DbRecordSet::Cursor {
    bool open = false;
    DbConnection connection;
    QStringList names;
    std::vector<std::optional<ColumnKind>> kinds;
    QString table;  // set when the rows are whole rows of one table, with their ID
    int idColumn = -1;
    int columns = 0;
    std::vector<Cell> cells;       // row-major, columns per row
    std::string texts;             // UTF-8 of every text cell
    std::vector<char> deleted;     // per stored row
    std::vector<quint32> visible;  // stored rows the filter lets through, in order
    int pos = 0;                   // -1 before the first row, visible.size() after the last
    int pageSize = 10;
    EditMode mode = EditMode::None;
    QMap<int, QVariant> pending;  // column -> checked value of the edit in progress

    int Count() const { return static_cast<int>(visible.size()); }
    bool OnRow() const { return pos >= 0 && pos < Count(); }
    const Cell& At(int row, int column) const {
        return cells[static_cast<size_t>(visible[row]) * columns + column];
    }

    void StoreCell(const Statement& stmt, int column, Cell* cell) {
        cell->type = stmt.Type(column);
        switch (cell->type) {
            case ColumnType::Integer:
                cell->i = stmt.Int64(column);
                break;
            case ColumnType::Real:
                cell->d = stmt.Double(column);
                break;
            case ColumnType::Text: {
                const QByteArrayView data = stmt.TextBytes(column);
                cell->length = static_cast<quint32>(data.size());
                cell->offset = texts.size();
                if (cell->length) texts.append(data.data(), cell->length);
                break;
            }
            case ColumnType::Null:
                break;
        }
    }

    void AppendRow(const Statement& stmt) {
        const size_t start = cells.size();
        cells.resize(start + columns);
        for (int c = 0; c < columns; ++c) StoreCell(stmt, c, &cells[start + c]);
        deleted.push_back(0);
    }

    QVariant Value(const Cell& cell, int column) const {
        const std::optional<ColumnKind> kind = kinds[column];
        switch (cell.type) {
            case ColumnType::Null:
                return QVariant();
            case ColumnType::Integer:
                if (kind == ColumnKind::Real) return static_cast<double>(cell.i);
                return QVariant(cell.i);
            case ColumnType::Real:
                return cell.d;
            case ColumnType::Text:
                break;
        }
        const QString text = QString::fromUtf8(texts.data() + cell.offset, cell.length);
        if (kind == ColumnKind::Date) {
            const QDateTime date = ParseDateText(text);
            if (date.isValid()) return date;
        }
        return text;
    }

    void ShowAll() {
        visible.clear();
        for (size_t r = 0; r < deleted.size(); ++r)
            if (!deleted[r]) visible.push_back(static_cast<quint32>(r));
        pos = 0;
    }
};

DbRecordSet::DbRecordSet() : cursor_(std::make_shared<Cursor>()) {}
DbRecordSet::DbRecordSet(const DbRecordSet& other) = default;
DbRecordSet& DbRecordSet::operator=(const DbRecordSet& other) = default;
DbRecordSet::~DbRecordSet() = default;

bool DbRecordSet::IsValid() const {
    return cursor_ != nullptr;
}
QString DbRecordSet::GetLastError() const {
    return lastError_;
}

bool DbRecordSet::CheckError(const QString& error) {
    lastError_ = error;
    return error.isEmpty();
}

bool DbRecordSet::Open(const QString& source, DbConnection& connection, bool isSql,
                       const QVariantList& values) {
    Close();
    const QString sql = isSql ? source : QStringLiteral("SELECT * FROM ") + source;
    Statement st(connection, sql);
    if (!st.Bind(values)) return CheckError(st.Error());
    const int columns = st.ColumnCount();
    if (columns == 0) {
        // A change: it runs at once and yields no rows.
        while (st.Next()) {
        }
        return CheckError(st.Error());
    }

    auto cursor = std::make_shared<Cursor>();
    cursor->connection = connection;
    cursor->columns = columns;
    QString table;
    bool oneTable = true;
    for (int c = 0; c < columns; ++c) {
        cursor->names << st.ColumnName(c);
        QString owner, origin;
        std::optional<ColumnKind> kind;
        if (st.ColumnOrigin(c, &owner, &origin)) {
            const TableDef* def = FindTable(owner);
            const ColumnDef* col = def ? def->Find(origin) : nullptr;
            if (col) kind = col->kind;
            if (c == 0) table = def ? def->name : QString();
            if (!def || def->name != table) oneTable = false;
            if (col && col->kind == ColumnKind::Id) cursor->idColumn = c;
        } else {
            oneTable = false;
        }
        cursor->kinds.push_back(kind);
    }
    if (oneTable && cursor->idColumn >= 0) cursor->table = table;

    while (st.Next()) cursor->AppendRow(st);
    if (st.Failed()) return CheckError(st.Error());
    cursor->ShowAll();
    cursor->open = true;
    cursor_ = cursor;
    return CheckError(QString());
}

bool DbRecordSet::OpenSorted(DbConnection& connection, const QString& table, const QString& sort) {
    if (table.isEmpty() || sort.isEmpty()) return CheckError(kNoSortTable);
    const TableDef* def = FindTable(table);
    if (!def) return CheckError(QStringLiteral("找不到表 ") + table);
    static const QRegularExpression item(
        QStringLiteral(R"(^\s*\[?([^\s\[\]]+)\]?(?:\s+(asc|desc))?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList order;
    for (const QString& part : sort.split(u',')) {
        const QRegularExpressionMatch m = item.match(part);
        const ColumnDef* col = m.hasMatch() ? def->Find(m.captured(1)) : nullptr;
        if (!col) return CheckError(QStringLiteral("排序条件不正确：") + sort);
        order << Quoted(col->name) + (m.captured(2).isEmpty()
                                          ? QString()
                                          : QLatin1Char(' ') + m.captured(2).toUpper());
    }
    return Open(
        QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(Quoted(def->name), order.join(u',')),
        connection, true);
}

bool DbRecordSet::OpenFiltered(DbConnection& connection, const QString& table,
                               const QString& filter) {
    if (table.isEmpty() || filter.isEmpty()) return CheckError(kNoFilterTable);
    const TableDef* def = FindTable(table);
    if (!def) return CheckError(QStringLiteral("找不到表 ") + table);
    Criterion criterion;
    QString error;
    if (!Criterion::Parse(filter, &criterion, &error)) return CheckError(error);
    const ColumnDef* col = def->Find(criterion.column);
    if (!col) return CheckError(kNoField);
    criterion.column = col->name;
    QVariant value = criterion.value;
    if (col->kind == ColumnKind::Date && value.typeId() == QMetaType::QDateTime)
        value = StoredDateText(value.toDateTime());
    return Open(QStringLiteral("SELECT * FROM %1 WHERE %2").arg(Quoted(def->name), criterion.Sql()),
                connection, true, {value});
}

bool DbRecordSet::Close() {
    const bool wasOpen = cursor_->open;
    cursor_ = std::make_shared<Cursor>();
    return wasOpen;
}

bool DbRecordSet::IsOpen() const {
    return cursor_->open;
}
int DbRecordSet::GetEditMode() const {
    return static_cast<int>(cursor_->mode);
}
int DbRecordSet::GetRecordCount() const {
    return cursor_->open ? cursor_->Count() : 0;
}
int DbRecordSet::GetFieldCount() const {
    return cursor_->open ? cursor_->columns : 0;
}
bool DbRecordSet::IsBOF() const {
    return cursor_->pos < 0 || cursor_->Count() == 0;
}
bool DbRecordSet::IsEOF() const {
    return cursor_->pos >= cursor_->Count();
}

bool DbRecordSet::AddNew() {
    Cursor& c = *cursor_;
    if (!c.open) return CheckError(kClosedError);
    if (c.table.isEmpty()) return CheckError(kNotUpdatable);
    c.mode = EditMode::Add;
    c.pending.clear();
    return CheckError(QString());
}

bool DbRecordSet::Update() {
    Cursor& c = *cursor_;
    if (!c.open) return CheckError(kClosedError);
    if (c.mode == EditMode::None) return CheckError(QString());
    QStringList columns;
    QVariantList values;
    for (auto it = c.pending.cbegin(); it != c.pending.cend(); ++it) {
        columns << Quoted(c.names[it.key()]);
        values << it.value();
    }
    qint64 id = 0;
    QString sql;
    if (c.mode == EditMode::Add) {
        sql = columns.isEmpty()
                  ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(Quoted(c.table))
                  : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                        .arg(Quoted(c.table), columns.join(u','),
                             QStringList(QList<QString>(columns.size(), QStringLiteral("?")))
                                 .join(u','));
    } else {
        if (!c.OnRow()) return CheckError(kNoCurrentRow);
        id = c.At(c.pos, c.idColumn).i;
        QStringList sets;
        for (const QString& col : columns) sets << col + QStringLiteral("=?");
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE ID=?").arg(Quoted(c.table), sets.join(u','));
        values << id;
    }
    if (!c.connection.Execute(sql, values)) return CheckError(c.connection.GetErrorDescription());
    if (c.mode == EditMode::Add) id = c.connection.LastInsertId();

    // Read the stored row back, so that defaults and the new ID show in the cursor.
    QStringList all;
    for (const QString& n : c.names) all << Quoted(n);
    Statement st(
        c.connection,
        QStringLiteral("SELECT %1 FROM %2 WHERE ID=?").arg(all.join(u','), Quoted(c.table)));
    st.Bind({id});
    if (st.Next()) {
        if (c.mode == EditMode::Add) {
            c.AppendRow(st);
            c.visible.push_back(static_cast<quint32>(c.deleted.size() - 1));
            c.pos = c.Count() - 1;
        } else {
            Cell* row = &c.cells[static_cast<size_t>(c.visible[c.pos]) * c.columns];
            for (int col = 0; col < c.columns; ++col) c.StoreCell(st, col, &row[col]);
        }
    }
    c.mode = EditMode::None;
    c.pending.clear();
    return CheckError(QString());
}

bool DbRecordSet::Delete(int option) {
    Cursor& c = *cursor_;
    if (option == 0) option = 1;
    if (option < 1 || option > 4) return CheckError(kDeleteOption);
    if (!c.open) return CheckError(kClosedError);
    if (c.table.isEmpty()) return CheckError(kNotUpdatable);
    std::vector<int> positions;
    if (option == 1) {
        if (!c.OnRow()) return CheckError(kNoCurrentRow);
        positions.push_back(c.pos);
    } else {
        for (int p = 0; p < c.Count(); ++p) positions.push_back(p);
    }
    DbTransaction transaction(c.connection);
    for (int p : positions)
        if (!c.connection.Execute(QStringLiteral("DELETE FROM %1 WHERE ID=?").arg(Quoted(c.table)),
                                  {c.At(p, c.idColumn).i}))
            return CheckError(c.connection.GetErrorDescription());
    if (transaction.IsActive() && !transaction.Commit())
        return CheckError(c.connection.GetErrorDescription());
    for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
        c.deleted[c.visible[*it]] = 1;
        c.visible.erase(c.visible.begin() + *it);
    }
    if (c.pos > c.Count()) c.pos = c.Count();
    c.mode = EditMode::None;
    c.pending.clear();
    return CheckError(QString());
}

int DbRecordSet::FieldIndex(const QString& name) const {
    for (int i = 0; i < cursor_->names.size(); ++i)
        if (cursor_->names[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

bool DbRecordSet::NeedCurrentRow() {
    if (cursor_->mode == EditMode::Add || cursor_->OnRow()) return true;
    CheckError(kNoCurrentRow);
    return false;
}

bool DbRecordSet::SetFieldByIndex(int index, const QVariant& value) {
    Cursor& c = *cursor_;
    if (index < 0) return CheckError(kRecordIndex);
    if (!c.open) return CheckError(kNoRecord);
    if (index >= c.columns) return CheckError(kNoField);
    if (!NeedCurrentRow()) return false;
    if (c.table.isEmpty() || !c.kinds[index]) return CheckError(kNotUpdatable);
    QVariant stored;
    QString error;
    if (!CheckValue(c.names[index], *c.kinds[index], value, &stored, &error))
        return CheckError(error);
    if (c.mode == EditMode::None) c.mode = EditMode::InProgress;
    c.pending[index] = stored;
    return CheckError(QString());
}

bool DbRecordSet::SetFieldByName(const QString& name, const QVariant& value) {
    if (name.isEmpty()) return CheckError(kEmptyFieldName);
    if (!cursor_->open) return CheckError(kNoRecord);
    const int index = FieldIndex(name);
    if (index < 0) return CheckError(kNoField);
    return SetFieldByIndex(index, value);
}

QVariant DbRecordSet::GetFieldByIndex(int index) {
    Cursor& c = *cursor_;
    if (index < 0) return CheckError(kRecordIndex), QVariant();
    if (!c.open) return CheckError(kNoRecord), QVariant();
    if (index >= c.columns) return CheckError(kNoField), QVariant();
    if (c.mode != EditMode::None && c.pending.contains(index)) {
        CheckError(QString());
        return c.pending[index];
    }
    if (!c.OnRow()) return CheckError(kNoCurrentRow), QVariant();
    CheckError(QString());
    return c.Value(c.At(c.pos, index), index);
}

QVariant DbRecordSet::GetFieldByName(const QString& name) {
    if (name.isEmpty()) return CheckError(kEmptyFieldName), QVariant();
    if (!cursor_->open) return CheckError(kNoRecord), QVariant();
    const int index = FieldIndex(name);
    if (index < 0) return CheckError(kNoField), QVariant();
    return GetFieldByIndex(index);
}

bool DbRecordSet::MoveFirst() {
    if (!cursor_->open) return CheckError(kClosedError);
    cursor_->pos = 0;
    return CheckError(QString());
}

bool DbRecordSet::MoveLast() {
    if (!cursor_->open) return CheckError(kClosedError);
    cursor_->pos = cursor_->Count() == 0 ? 0 : cursor_->Count() - 1;
    return CheckError(QString());
}

bool DbRecordSet::MoveNext() {
    if (!cursor_->open) return CheckError(kClosedError);
    if (IsEOF()) return CheckError(kNoCurrentRow);
    ++cursor_->pos;
    return CheckError(QString());
}

bool DbRecordSet::MovePrevious() {
    if (!cursor_->open) return CheckError(kClosedError);
    if (cursor_->pos < 0 || cursor_->Count() == 0) return CheckError(kNoCurrentRow);
    --cursor_->pos;
    return CheckError(QString());
}

bool DbRecordSet::Move(int count, int start) {
    if (start < 0 || start > 2) return CheckError(kMoveStart);
    Cursor& c = *cursor_;
    if (!c.open) return CheckError(kClosedError);
    const qint64 base = start == 0 ? c.pos : start == 1 ? 0 : c.Count() - 1;
    const qint64 target = base + count;
    if (target < -1 || target > c.Count()) return CheckError(kNoCurrentRow);
    c.pos = static_cast<int>(target);
    return CheckError(QString());
}

int DbRecordSet::GetPageSize() const {
    return cursor_->pageSize;
}

bool DbRecordSet::SetPageSize(int size) {
    if (size < 0) return CheckError(kPageSize);
    cursor_->pageSize = size;
    return CheckError(QString());
}

int DbRecordSet::GetPageCount() const {
    const Cursor& c = *cursor_;
    if (!c.open || c.pageSize <= 0) return 0;
    return (c.Count() + c.pageSize - 1) / c.pageSize;
}

int DbRecordSet::GetAbsolutePage() const {
    const Cursor& c = *cursor_;
    if (!c.open || c.pageSize <= 0) return -1;
    if (c.pos < 0 || c.Count() == 0) return -2;
    if (c.pos >= c.Count()) return -3;
    return c.pos / c.pageSize + 1;
}

bool DbRecordSet::SetAbsolutePage(int page) {
    Cursor& c = *cursor_;
    if (!c.open) return CheckError(kClosedError);
    if (page < 1 || page > GetPageCount()) return CheckError(kNoCurrentRow);
    c.pos = (page - 1) * c.pageSize;
    return CheckError(QString());
}

QString DbRecordSet::GetFieldName(int index) {
    if (index < 0) return CheckError(kFieldIndex), QString();
    if (!cursor_->open) return CheckError(kNoRecord), QString();
    if (index >= cursor_->columns) return CheckError(kNoField), QString();
    CheckError(QString());
    return cursor_->names[index];
}

int DbRecordSet::ResolveField(std::optional<int> index, const QString& name) {
    if (!index && name.isEmpty()) return CheckError(kNoFieldGiven), -1;
    if (index && *index < 0) return CheckError(kFieldIndex), -1;
    if (!cursor_->open) return CheckError(kNoRecord), -1;
    const int i = index ? *index : FieldIndex(name);
    if (i < 0 || i >= cursor_->columns) return CheckError(kNoField), -1;
    CheckError(QString());
    return i;
}

int DbRecordSet::GetFieldType(std::optional<int> index, const QString& name) {
    const int i = ResolveField(index, name);
    if (i < 0) return 0;
    const std::optional<ColumnKind> kind = cursor_->kinds[i];
    if (!kind) {
        for (int r = 0; r < cursor_->Count(); ++r) {
            const ColumnType t = cursor_->At(r, i).type;
            if (t == ColumnType::Integer) return static_cast<int>(FieldType::Integer);
            if (t == ColumnType::Real) return static_cast<int>(FieldType::Double);
            if (t == ColumnType::Text) return static_cast<int>(FieldType::Memo);
        }
        return static_cast<int>(FieldType::Memo);
    }
    switch (*kind) {
        case ColumnKind::Id:
        case ColumnKind::Integer:
            return static_cast<int>(FieldType::Integer);
        case ColumnKind::Real:
            return static_cast<int>(FieldType::Double);
        case ColumnKind::Date:
            return static_cast<int>(FieldType::Date);
        case ColumnKind::Text50:
            return static_cast<int>(FieldType::Text);
        case ColumnKind::Memo:
            return static_cast<int>(FieldType::Memo);
    }
    return 0;
}

int DbRecordSet::GetFieldDefinedSize(std::optional<int> index, const QString& name) {
    const int i = ResolveField(index, name);
    if (i < 0) return 0;
    switch (static_cast<FieldType>(GetFieldType(i))) {
        case FieldType::Integer:
            return 4;
        case FieldType::Double:
        case FieldType::Date:
            return 8;
        case FieldType::Text:
            return 50;
        case FieldType::Memo:
            return 536870910;
    }
    return 0;
}

int DbRecordSet::GetFieldAttributes(std::optional<int> index, const QString& name) {
    const int i = ResolveField(index, name);
    if (i < 0) return 0;
    constexpr int kUpdatable = 0x4, kFixed = 0x10, kNullable = 0x20, kMayBeNull = 0x40,
                  kLong = 0x80, kRowId = 0x100, kKey = 0x8000;
    const std::optional<ColumnKind> kind = cursor_->kinds[i];
    if (kind == ColumnKind::Id) return kFixed | kRowId | kKey;
    int attributes = kMayBeNull | kNullable;
    if (!cursor_->table.isEmpty() && kind) attributes |= kUpdatable;
    const auto type = static_cast<FieldType>(GetFieldType(i));
    if (type == FieldType::Memo) attributes |= kLong;
    if (type == FieldType::Integer || type == FieldType::Double || type == FieldType::Date)
        attributes |= kFixed;
    return attributes;
}

bool DbRecordSet::IsFieldEmpty(std::optional<int> index, const QString& name) {
    const int i = ResolveField(index, name);
    if (i < 0) return true;
    if (!cursor_->OnRow()) return CheckError(kNoCurrentRow), true;
    return cursor_->At(cursor_->pos, i).type == ColumnType::Null;
}

bool DbRecordSet::Find(const QString& criteria, bool backward) {
    Cursor& c = *cursor_;
    findCriteria_.clear();
    if (!c.open) return CheckError(kClosedError);
    Criterion criterion;
    QString error;
    if (!Criterion::Parse(criteria, &criterion, &error)) return CheckError(error);
    const int column = FieldIndex(criterion.column);
    if (column < 0) return CheckError(kNoField);
    const int step = backward ? -1 : 1;
    int p = c.pos;
    for (; p >= 0 && p < c.Count(); p += step)
        if (criterion.Matches(c.Value(c.At(p, column), column))) break;
    c.pos = p < 0 ? -1 : p;
    findCriteria_ = criteria;
    findBackward_ = backward;
    return CheckError(QString());
}

bool DbRecordSet::FindNext() {
    if (findCriteria_.isEmpty()) return false;
    const QString criteria = findCriteria_;
    const bool backward = findBackward_;
    if (!(backward ? MovePrevious() : MoveNext())) return false;
    return Find(criteria, backward);
}

bool DbRecordSet::SetFilter(const QString& filter) {
    Cursor& c = *cursor_;
    if (!c.open) return CheckError(kClosedError);
    c.ShowAll();
    if (filter.isEmpty()) return CheckError(QString());
    Criterion criterion;
    QString error;
    if (!Criterion::Parse(filter, &criterion, &error)) return CheckError(error);
    const int column = FieldIndex(criterion.column);
    if (column < 0) return CheckError(kNoField);
    std::vector<quint32> kept;
    for (int p = 0; p < c.Count(); ++p)
        if (criterion.Matches(c.Value(c.At(p, column), column))) kept.push_back(c.visible[p]);
    c.visible = std::move(kept);
    c.pos = 0;
    return CheckError(QString());
}
