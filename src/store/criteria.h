#pragma once
// Criteria of the form the program searches with: a column compared with a quoted text, a
// number or a #date# ("用户名='张三'", "ID=5", "名称 like '%纸%'").

#include <QString>
#include <QVariant>

struct Criterion {
    enum class Op { Eq, Ne, Lt, Le, Gt, Ge, Like };
    QString column;
    Op op = Op::Eq;
    QVariant value;  // QString, double or QDateTime

    // Parses text; on failure returns false with the reason in error. Quotes inside a quoted
    // value are ordinary characters: the value runs to the last quote.
    static bool Parse(const QString& text, Criterion* out, QString* error);

    // Whether a field value (null, number, text or date) meets the criterion.
    bool Matches(const QVariant& field) const;

    // The SQL condition with one "?" for value.
    QString Sql() const;
};
