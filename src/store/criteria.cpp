#include "store/criteria.h"

#include <QDateTime>
#include <QRegularExpression>

#include "common/date_text.h"
#include "common/number_text.h"

namespace {

bool IsNumeric(const QVariant& v) {
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong ||
           v.typeId() == QMetaType::Int;
}

// -1, 0, 1, or 2 when the two cannot be compared.
int Compare(const QVariant& field, const QVariant& value) {
    if (value.typeId() == QMetaType::QDateTime) {
        const QDateTime d = field.typeId() == QMetaType::QDateTime
                                ? field.toDateTime()
                                : ParseDateText(field.toString());
        if (!d.isValid()) return 2;
        const QDateTime w = value.toDateTime();
        return d < w ? -1 : d > w ? 1 : 0;
    }
    if (value.typeId() == QMetaType::Double) {
        double f;
        if (IsNumeric(field))
            f = field.toDouble();
        else if (IsNumberText(field.toString()))
            f = TextToNumber(field.toString());
        else
            return 2;
        const double w = value.toDouble();
        return f < w ? -1 : f > w ? 1 : 0;
    }
    const QString f = IsNumeric(field)                         ? NumberText(field.toDouble())
                      : field.typeId() == QMetaType::QDateTime ? StoredDateText(field.toDateTime())
                                                               : field.toString();
    const int c = f.compare(value.toString(), Qt::CaseInsensitive);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

QRegularExpression LikePattern(const QString& pattern) {
    QString re = QStringLiteral("^");
    for (const QChar c : pattern) {
        if (c == u'%' || c == u'*')
            re += QStringLiteral(".*");
        else if (c == u'_' || c == u'?')
            re += QLatin1Char('.');
        else
            re += QRegularExpression::escape(QString(c));
    }
    re += QLatin1Char('$');
    return QRegularExpression(re, QRegularExpression::CaseInsensitiveOption |
                                      QRegularExpression::DotMatchesEverythingOption);
}

}  // namespace

bool Criterion::Parse(const QString& text, Criterion* out, QString* error) {
    static const QRegularExpression form(
        QStringLiteral(R"(^\s*\[?([^\s=<>\[\]]+)\]?\s*(<>|<=|>=|=|<|>|\blike\b)\s*(.*?)\s*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) {
        *error = QStringLiteral("条件格式不正确：") + text;
        return false;
    }
    Criterion c;
    c.column = m.captured(1);
    const QString op = m.captured(2).toLower();
    c.op = op == QLatin1String("=")    ? Op::Eq
           : op == QLatin1String("<>") ? Op::Ne
           : op == QLatin1String("<")  ? Op::Lt
           : op == QLatin1String("<=") ? Op::Le
           : op == QLatin1String(">")  ? Op::Gt
           : op == QLatin1String(">=") ? Op::Ge
                                       : Op::Like;
    const QString raw = m.captured(3);
    const QChar first = raw.isEmpty() ? QChar() : raw.front();
    if (raw.size() >= 2 && (first == u'\'' || first == u'"') && raw.back() == first) {
        c.value = raw.mid(1, raw.size() - 2);
    } else if (raw.size() >= 2 && first == u'#' && raw.back() == u'#') {
        const QDateTime d = ParseDateText(raw.mid(1, raw.size() - 2));
        if (!d.isValid()) {
            *error = QStringLiteral("日期格式不正确：") + raw;
            return false;
        }
        c.value = d;
    } else if (IsNumberText(raw)) {
        c.value = TextToNumber(raw);
    } else {
        *error = QStringLiteral("条件的值不正确：") + raw;
        return false;
    }
    if (c.op == Op::Like) c.value = c.value.toString();
    *out = c;
    return true;
}

bool Criterion::Matches(const QVariant& field) const {
    if (!field.isValid() || field.isNull()) return false;
    if (op == Op::Like) {
        const QString f = IsNumeric(field) ? NumberText(field.toDouble()) : field.toString();
        return LikePattern(value.toString()).match(f).hasMatch();
    }
    const int c = Compare(field, value);
    if (c == 2) return false;
    switch (op) {
        case Op::Eq:
            return c == 0;
        case Op::Ne:
            return c != 0;
        case Op::Lt:
            return c < 0;
        case Op::Le:
            return c <= 0;
        case Op::Gt:
            return c > 0;
        case Op::Ge:
            return c >= 0;
        case Op::Like:
            break;
    }
    return false;
}

QString Criterion::Sql() const {
    static const char* ops[] = {"=", "<>", "<", "<=", ">", ">=", "LIKE"};
    return QStringLiteral("\"%1\" %2 ?")
        .arg(QString(column).replace(u'"', QStringLiteral("\"\"")),
             QLatin1String(ops[static_cast<int>(op)]));
}
