#include "stock/goods_import.h"

#include <unzip.h>

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <memory>

#include "common/date_text.h"
#include "common/gbk.h"
#include "common/name_initials.h"
#include "common/number_text.h"

namespace {

// ---- CSV ----

QString DecodeText(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.mid(3));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? FromGbk(bytes) : text;
}

QChar Separator(const QString& text) {
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    const QStringView first = QStringView(text).left(end < 0 ? text.size() : end);
    return first.count(QLatin1Char('\t')) > first.count(QLatin1Char(',')) ? QLatin1Char('\t')
                                                                          : QLatin1Char(',');
}

// ---- xlsx ----

// One member of the workbook package, or nothing when it is missing or cannot be read.
bool ReadMember(unzFile zip, const char* name, QByteArray* bytes) {
    if (unzLocateFile(zip, name, 0) != UNZ_OK) return false;
    unz_file_info info;
    if (unzGetCurrentFileInfo(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
        unzOpenCurrentFile(zip) != UNZ_OK)
        return false;
    bytes->resize(static_cast<qsizetype>(info.uncompressed_size));
    const int read = unzReadCurrentFile(zip, bytes->data(), static_cast<unsigned>(bytes->size()));
    const bool whole = unzCloseCurrentFile(zip) == UNZ_OK && read == bytes->size();
    return whole;
}

// The text of the element the reader stands on, with the texts of its <t> children (rich text
// runs) joined; phonetic runs (<rPh>) left out.
QString ItemText(QXmlStreamReader& xml) {
    QString text;
    const QStringView end = xml.name();
    const QString endName = end.toString();
    int phonetic = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"rPh") ++phonetic;
            if (xml.name() == u"t" && phonetic == 0) text += xml.readElementText();
        } else if (xml.isEndElement()) {
            if (xml.name() == u"rPh") --phonetic;
            if (xml.name() == endName) break;
        }
    }
    return text;
}

QStringList SharedStrings(const QByteArray& bytes) {
    QStringList strings;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"si") strings << ItemText(xml);
    }
    return strings;
}

// "B3" → column 1.
int ColumnOfRef(QStringView ref) {
    int column = 0;
    for (QChar c : ref) {
        if (c < QLatin1Char('A') || c > QLatin1Char('Z')) break;
        column = column * 26 + (c.unicode() - 'A' + 1);
    }
    return column - 1;
}

// The path inside the package of the workbook's first sheet.
QString FirstSheetPath(unzFile zip) {
    QByteArray workbook, rels;
    if (!ReadMember(zip, "xl/workbook.xml", &workbook) ||
        !ReadMember(zip, "xl/_rels/workbook.xml.rels", &rels))
        return QStringLiteral("xl/worksheets/sheet1.xml");
    QString id;
    QXmlStreamReader wb(workbook);
    while (!wb.atEnd() && id.isEmpty()) {
        wb.readNext();
        if (wb.isStartElement() && wb.name() == u"sheet") {
            for (const QXmlStreamAttribute& a : wb.attributes())
                if (a.name() == u"id") id = a.value().toString();
        }
    }
    QXmlStreamReader rel(rels);
    while (!rel.atEnd()) {
        rel.readNext();
        if (!rel.isStartElement() || rel.name() != u"Relationship") continue;
        if (rel.attributes().value(QStringLiteral("Id")) != id) continue;
        QString target = rel.attributes().value(QStringLiteral("Target")).toString();
        if (target.startsWith(QLatin1Char('/'))) return target.mid(1);
        return QStringLiteral("xl/") + target;
    }
    return QStringLiteral("xl/worksheets/sheet1.xml");
}

QList<QStringList> SheetRows(const QByteArray& bytes, const QStringList& shared) {
    QList<QStringList> rows;
    QXmlStreamReader xml(bytes);
    int rowIndex = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == u"row") {
            const QStringView r = xml.attributes().value(QStringLiteral("r"));
            rowIndex = r.isEmpty() ? rowIndex + 1 : r.toInt() - 1;
            continue;
        }
        if (xml.name() != u"c" || rowIndex < 0) continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        const QStringView ref = attributes.value(QStringLiteral("r"));
        const QString type = attributes.value(QStringLiteral("t")).toString();
        QString value;
        QString inlineText;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == u"c") break;
            if (!xml.isStartElement()) continue;
            if (xml.name() == u"v")
                value = xml.readElementText();
            else if (xml.name() == u"is")
                inlineText = ItemText(xml);
        }
        QString text;
        if (type == u"s") {
            const int index = value.toInt();
            if (index >= 0 && index < shared.size()) text = shared[index];
        } else if (type == u"inlineStr") {
            text = inlineText;
        } else {
            text = value;  // numbers, formula results, booleans as written
        }
        if (rows.size() <= rowIndex) rows.resize(rowIndex + 1);
        QStringList& row = rows[rowIndex];
        const int column = ref.isEmpty() ? static_cast<int>(row.size()) : ColumnOfRef(ref);
        if (column < 0) continue;
        while (row.size() <= column) row << QString();
        row[column] = text;
    }
    return rows;
}

// ---- rows ----

QString Cell(const QStringList& row, int column) {
    return column >= 0 && column < row.size() ? row[column].trimmed() : QString();
}

bool IsBlank(const QStringList& row) {
    return std::all_of(row.begin(), row.end(),
                       [](const QString& c) { return c.trimmed().isEmpty(); });
}

QDate ParseImportDate(const QString& text, bool* ok) {
    *ok = true;
    if (IsNumberText(text)) {
        // A workbook keeps a date as days since 1899-12-30.
        const double serial = TextToNumber(text);
        const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(serial));
        if (serial >= 1 && date.isValid()) return date;
    }
    static const QRegularExpression chinese(QStringLiteral("^(\\d{4})年(\\d{1,2})月(\\d{1,2})日"));
    const QRegularExpressionMatch m = chinese.match(text);
    if (m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (date.isValid()) return date;
    }
    const QDateTime parsed = ParseDateText(text);
    if (parsed.isValid()) return parsed.date();
    *ok = false;
    return {};
}

}  // namespace

ImportTable ReadCsv(const QByteArray& bytes) {
    const QString text = DecodeText(bytes);
    const QChar separator = Separator(text);
    ImportTable table;
    QStringList row;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    const auto endField = [&] {
        row << field;
        field.clear();
        fieldStarted = false;
    };
    const auto endRow = [&] {
        endField();
        table.rows << row;
        row.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"') && !fieldStarted) {
            quoted = fieldStarted = true;
        } else if (c == separator) {
            endField();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            endRow();
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (!field.isEmpty() || !row.isEmpty()) endRow();
    return table;
}

bool ReadXlsx(const QString& path, ImportTable* table, QString* error) {
    // minizip opens by a byte path; QFile::encodeName gives the file system's form of a
    // Chinese path.
    const std::unique_ptr<void, int (*)(unzFile)> zip(
        unzOpen64(QFile::encodeName(path).constData()), unzClose);
    if (!zip) {
        *error = QStringLiteral("无法打开这个Excel文件（不是.xlsx格式或已损坏）");
        return false;
    }
    QByteArray sheet, strings;
    const QString sheetPath = FirstSheetPath(zip.get());
    if (!ReadMember(zip.get(), sheetPath.toUtf8().constData(), &sheet)) {
        *error = QStringLiteral("这个Excel文件里没有可读的工作表");
        return false;
    }
    ReadMember(zip.get(), "xl/sharedStrings.xml", &strings);  // absent when no text is shared
    table->rows = SheetRows(sheet, SharedStrings(strings));
    return true;
}

bool ReadImportFile(const QString& path, ImportTable* table, QString* error) {
    *table = ImportTable();
    if (QFileInfo(path).suffix().compare(QStringLiteral("xlsx"), Qt::CaseInsensitive) == 0)
        return ReadXlsx(path, table, error);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("无法读取文件：") + file.errorString();
        return false;
    }
    *table = ReadCsv(file.readAll());
    return true;
}

QString GoodsFieldName(GoodsField field) {
    static const char16_t* const names[kGoodsFieldCount] = {
        u"名称",     u"型号",     u"编码",     u"类型",   u"进货数量",
        u"进货单价", u"销售单价", u"入库日期", u"供货商", u"备注"};
    return QString::fromUtf16(names[static_cast<int>(field)]);
}

ColumnMap GuessColumns(const ImportTable& table) {
    const auto bare = [](QString text) { return text.remove(QLatin1Char(' ')).trimmed(); };
    for (int r = 0; r < std::min<qsizetype>(10, table.rows.size()); ++r) {
        ColumnMap candidate;
        int named = 0;
        const QStringList& row = table.rows[r];
        // Under a group caption ("进货信息" over "数量", "单价", "金额", as the stock list is
        // exported) a header names the field the group and it make together.
        QString group;
        for (int c = 0; c < row.size(); ++c) {
            if (r > 0 && c < table.rows[r - 1].size() && !bare(table.rows[r - 1][c]).isEmpty()) {
                group = bare(table.rows[r - 1][c]);
                if (group.endsWith(QStringLiteral("信息"))) group.chop(2);
            }
            const QString header = bare(row[c]);
            for (int f = 0; f < kGoodsFieldCount && !header.isEmpty(); ++f) {
                const QString field = GoodsFieldName(static_cast<GoodsField>(f));
                if (candidate.column[f] < 0 && (header == field || group + header == field)) {
                    candidate.column[f] = c;
                    ++named;
                    break;
                }
            }
        }
        if (named >= 2) {
            candidate.headerRow = r;
            return candidate;
        }
    }
    return {};
}

std::vector<ImportGoods> CheckImportRows(const ImportTable& table, const ColumnMap& map,
                                         const QDate& today) {
    std::vector<ImportGoods> goods;
    QHash<QString, int> lineOfCode;
    for (qsizetype r = map.headerRow + 1; r < table.rows.size(); ++r) {
        const QStringList& row = table.rows[r];
        if (IsBlank(row)) continue;
        // A list exported by the program ends with its totals row.
        if (std::any_of(row.begin(), row.end(),
                        [](const QString& c) { return c.trimmed() == QStringLiteral("合计："); }))
            continue;
        ImportGoods g;
        g.line = static_cast<int>(r) + 1;
        QStringList problems;
        const auto text = [&](GoodsField field, QString* out) {
            *out = Cell(row, map[field]);
            if (out->size() > 50) problems << GoodsFieldName(field) + QStringLiteral("超过50个字");
        };
        text(GoodsField::名称, &g.名称);
        text(GoodsField::型号, &g.型号);
        g.编码 = Cell(row, map[GoodsField::编码]);
        text(GoodsField::类型, &g.类型);
        text(GoodsField::供货商, &g.供货商);
        text(GoodsField::备注, &g.备注);
        if (g.类型.isEmpty()) problems << QStringLiteral("商品类别必须填写");
        if (g.名称.isEmpty()) problems << QStringLiteral("商品名称必须填写");
        const struct {
            GoodsField field;
            double* value;
            const char16_t* missing;
        } numbers[] = {
            {GoodsField::进货单价, &g.进货单价, u"进货价格必须填写"},
            {GoodsField::进货数量, &g.进货数量, u"进货数量必须填写"},
            {GoodsField::销售单价, &g.销售单价, u"销售价格必须填写"},
        };
        for (const auto& n : numbers) {
            const QString cell = Cell(row, map[n.field]);
            if (!cell.isEmpty() && !IsNumberText(cell)) {
                problems << GoodsFieldName(n.field) + QStringLiteral("不是数字");
                continue;
            }
            *n.value = TextToNumber(cell);
            if (!IsGreater(*n.value, 0)) problems << QString::fromUtf16(n.missing);
        }
        const QString date = Cell(row, map[GoodsField::入库日期]);
        if (date.isEmpty()) {
            g.入库日期 = today;
        } else {
            bool ok = false;
            g.入库日期 = ParseImportDate(date, &ok);
            if (!ok) problems << QStringLiteral("入库日期无法识别");
        }
        g.首拼 = NameInitials(g.名称);
        if (g.编码.isEmpty()) g.编码 = g.首拼 + NameInitials(g.型号);
        if (g.编码.isEmpty()) {
            problems << QStringLiteral("商品编码必须填写");
        } else if (g.编码.size() > 50) {
            problems << QStringLiteral("编码超过50个字");
        } else {
            const auto earlier = lineOfCode.constFind(g.编码.toUpper());
            if (earlier != lineOfCode.constEnd())
                problems << QStringLiteral("编码与第%1行相同").arg(*earlier);
            else
                lineOfCode.insert(g.编码.toUpper(), g.line);
        }
        g.problem = problems.join(QStringLiteral("；"));
        goods.push_back(std::move(g));
    }
    return goods;
}
