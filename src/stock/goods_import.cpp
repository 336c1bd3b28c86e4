#include "stock/goods_import.h"

#include <unzip.h>

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <functional>
#include <memory>

#include "common/date_text.h"
#include "common/gbk.h"
#include "common/name_initials.h"
#include "common/number_text.h"

namespace {

// What one file may hold: a goods list of a shop stays far below these, and the table built
// from a file at the limits stays well under 300 MB of memory.
constexpr qint64 kSheetBytes = 200LL * 1024 * 1024;   // the first sheet, unpacked
constexpr qint64 kStringsBytes = 50LL * 1024 * 1024;  // the shared texts, unpacked
constexpr qint64 kCsvBytes = 32LL * 1024 * 1024;
constexpr int kMaxRows = 120000;
constexpr qint64 kMaxCells = 1500000;   // every cell a row holds, and every shared text
constexpr qint64 kMaxChars = 16000000;  // of all the texts kept
constexpr int kMaxColumns = 1000;

const QString kSplitAdvice = QStringLiteral("请把商品分成几个较小的文件，再逐个导入。");

// Counts what a table keeps while it is read, so that reading stops at the limit instead of
// after memory ran out.
class TableBudget {
  public:
    // False, with the message for the user, once the cell would pass a limit.
    bool Take(const QString& text, qsizetype cells, QString* error) {
        cells_ += cells;
        chars_ += text.size();
        if (cells_ <= kMaxCells && chars_ <= kMaxChars) return true;
        *error = QStringLiteral("文件的内容太多（超过150万个格子或1600万个字），无法导入。") +
                 kSplitAdvice;
        return false;
    }

  private:
    qint64 cells_ = 0;
    qint64 chars_ = 0;
};

QString TooManyRows() {
    return QStringLiteral("文件超过%1行，无法导入。").arg(kMaxRows) + kSplitAdvice;
}

// Puts text into row at column, counting the cells the row grows by.
bool PutCell(QStringList* row, int column, const QString& text, TableBudget* budget,
             QString* error) {
    const qsizetype grows = std::max<qsizetype>(0, column + 1 - row->size());
    if (!budget->Take(text, grows, error)) return false;
    while (row->size() <= column) *row << QString();
    (*row)[column] = text;
    return true;
}

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

// One member of the workbook package as it inflates, for a reader that takes it piece by
// piece. The size the package's header gives is not believed: the bytes actually inflated
// are counted, and reading fails once they pass the limit.
class MemberDevice : public QIODevice {
  public:
    MemberDevice(unzFile zip, qint64 limit) : zip_(zip), limit_(limit) {}
    ~MemberDevice() override {
        if (isOpen()) unzCloseCurrentFile(zip_);
    }
    MemberDevice(const MemberDevice&) = delete;
    MemberDevice& operator=(const MemberDevice&) = delete;

    // False when the package has no such member or it cannot be read.
    bool OpenMember(const char* name) {
        if (unzLocateFile(zip_, name, 0) != UNZ_OK || unzOpenCurrentFile(zip_) != UNZ_OK)
            return false;
        return open(QIODevice::ReadOnly);
    }
    bool OverLimit() const { return overLimit_; }
    // True when the member was read to its end and its checksum holds.
    bool CloseMember() {
        close();
        return !failed_ && !overLimit_ && unzCloseCurrentFile(zip_) == UNZ_OK;
    }
    bool isSequential() const override { return true; }

  protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (failed_ || overLimit_) return -1;
        const int read =
            unzReadCurrentFile(zip_, data, static_cast<unsigned>(std::min<qint64>(maxSize, 65536)));
        if (read < 0) {
            failed_ = true;
            return -1;
        }
        inflated_ += read;
        if (inflated_ > limit_) {
            overLimit_ = true;
            return -1;
        }
        if (!Sound(data, read)) {
            failed_ = true;
            return -1;
        }
        return read;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    // The XML reader keeps a whole text, name, comment or declaration in memory, however long.
    // A sheet's markup never holds a comment, a document type or a processing instruction past
    // the declaration, and no cell text runs to 1 MB: without those, every '<' begins a tag
    // and nothing the reader keeps is longer than the bytes between two of them.
    bool Sound(const char* data, int size) {
        for (int i = 0; i < size; ++i) {
            const char c = data[i];
            if (afterTagStart_ && (c == '!' || (c == '?' && tags_ > 1))) return false;
            afterTagStart_ = c == '<';
            if (c == '<') {
                ++tags_;
                sinceTag_ = 0;
            } else if (++sinceTag_ > kLongestRun) {
                return false;
            }
        }
        return true;
    }
    static constexpr qint64 kLongestRun = 1024 * 1024;

    unzFile zip_;
    qint64 limit_;
    qint64 inflated_ = 0;
    qint64 tags_ = 0;
    qint64 sinceTag_ = 0;
    bool afterTagStart_ = false;
    bool failed_ = false;
    bool overLimit_ = false;
};

// The text of the element the reader stands on, with the texts of its <t> children (rich text
// runs) joined; phonetic runs (<rPh>) left out.
QString ItemText(QXmlStreamReader& xml) {
    QString text;
    const QString endName = xml.name().toString();
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

QString DamagedWorkbook() {
    return QStringLiteral("这个Excel文件已损坏，无法读取。请在Excel中打开并另存为.xlsx后再导入。");
}

QString TooLarge(const QString& part, qint64 limit) {
    return QStringLiteral("这个Excel文件的%1解压后超过%2MB，无法导入。")
               .arg(part)
               .arg(limit / (1024 * 1024)) +
           kSplitAdvice;
}

// "B3" → column 1; -1 for no column or one past kMaxColumns.
int ColumnOfRef(QStringView ref) {
    int column = 0;
    for (QChar c : ref) {
        if (c < QLatin1Char('A') || c > QLatin1Char('Z')) break;
        column = column * 26 + (c.unicode() - 'A' + 1);
        if (column > kMaxColumns) return -1;
    }
    return column - 1;
}

// Reads xml to its end with read, which sees each start element; false with the message for
// the user when the member is too large, damaged or read refused.
bool ReadMemberXml(unzFile zip, const char* name, qint64 limit, const QString& part,
                   const std::function<bool(QXmlStreamReader&)>& read, QString* error) {
    MemberDevice member(zip, limit);
    if (!member.OpenMember(name)) {
        *error = QStringLiteral("这个Excel文件里没有可读的工作表");
        return false;
    }
    QXmlStreamReader xml(&member);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && !read(xml)) return false;
    }
    const bool whole = !xml.hasError() && member.CloseMember();
    if (member.OverLimit())
        *error = TooLarge(part, limit);
    else if (!whole)
        *error = DamagedWorkbook();
    return whole;
}

// A small member of the package (the workbook's list of sheets and its relations).
bool ReadSmallMember(unzFile zip, const char* name, QByteArray* bytes) {
    MemberDevice member(zip, 4 * 1024 * 1024);
    if (!member.OpenMember(name)) return false;
    *bytes = member.readAll();
    return member.CloseMember();
}

// The path inside the package of the workbook's first sheet.
QString FirstSheetPath(unzFile zip) {
    QByteArray workbook, rels;
    if (!ReadSmallMember(zip, "xl/workbook.xml", &workbook) ||
        !ReadSmallMember(zip, "xl/_rels/workbook.xml.rels", &rels))
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

bool SharedStrings(unzFile zip, QStringList* strings, TableBudget* budget, QString* error) {
    // Absent when no text is shared.
    if (unzLocateFile(zip, "xl/sharedStrings.xml", 0) != UNZ_OK) return true;
    return ReadMemberXml(
        zip, "xl/sharedStrings.xml", kStringsBytes, QStringLiteral("文字表"),
        [&](QXmlStreamReader& xml) {
            if (xml.name() != u"si") return true;
            const QString text = ItemText(xml);
            if (!budget->Take(text, 1, error)) return false;
            *strings << text;
            return true;
        },
        error);
}

// The cell the reader stands on, as text.
QString CellText(QXmlStreamReader& xml, const QString& type, const QStringList& shared) {
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
    if (type == u"s") {
        const int index = value.toInt();
        return index >= 0 && index < shared.size() ? shared[index] : QString();
    }
    // Numbers, formula results and booleans as written.
    return type == u"inlineStr" ? inlineText : value;
}

bool SheetRows(unzFile zip, const QString& sheetPath, const QStringList& shared,
               TableBudget* budget, QList<QStringList>* rows, QString* error) {
    int rowIndex = -1;
    return ReadMemberXml(
        zip, sheetPath.toUtf8().constData(), kSheetBytes, QStringLiteral("工作表"),
        [&](QXmlStreamReader& xml) {
            if (xml.name() == u"row") {
                const QStringView r = xml.attributes().value(QStringLiteral("r"));
                rowIndex = r.isEmpty() ? rowIndex + 1 : r.toInt() - 1;
                return true;
            }
            if (xml.name() != u"c" || rowIndex < 0) return true;
            const QXmlStreamAttributes attributes = xml.attributes();
            const QStringView ref = attributes.value(QStringLiteral("r"));
            const QString type = attributes.value(QStringLiteral("t")).toString();
            const QString text = CellText(xml, type, shared);
            if (text.isEmpty()) return true;  // a cell with a format alone holds nothing
            if (rowIndex >= kMaxRows) {
                *error = TooManyRows();
                return false;
            }
            if (rows->size() <= rowIndex) {
                if (!budget->Take(QString(), rowIndex + 1 - rows->size(), error)) return false;
                rows->resize(rowIndex + 1);
            }
            QStringList& row = (*rows)[rowIndex];
            const int column = ref.isEmpty() ? static_cast<int>(row.size()) : ColumnOfRef(ref);
            if (column < 0 || column >= kMaxColumns) {
                *error = QStringLiteral("文件超过%1列，无法导入。").arg(kMaxColumns) +
                         QStringLiteral("请删去不需要的列后再导入。");
                return false;
            }
            return PutCell(&row, column, text, budget, error);
        },
        error);
}

// ---- rows ----

QString Cell(const QStringList& row, int column) {
    return column >= 0 && column < row.size() ? row[column].trimmed() : QString();
}

bool IsBlank(const QStringList& row) {
    return std::all_of(row.begin(), row.end(),
                       [](const QString& c) { return c.trimmed().isEmpty(); });
}

// A number as a person writes one: digits with an optional sign and decimal point. An
// exponent ("1e3") is no price or quantity anyone types, and more likely a slip.
bool IsPlainNumber(const QString& text) {
    static const QRegularExpression plain(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)$"));
    return plain.match(text).hasMatch();
}

// The date of a cell, or an invalid date with the problem for the preview. The ledger keeps
// years of four digits: a later date is a problem of its row, not of the whole import.
QDate ParseImportDate(const QString& text, QString* problem) {
    if (IsPlainNumber(text)) {
        // A workbook keeps a date as days since 1899-12-30; 2958466 is 10000-01-01.
        const double serial = TextToNumber(text);
        if (serial >= 2958466) {
            *problem = QStringLiteral("入库日期晚于9999年");
            return {};
        }
        if (serial >= 1) return QDate(1899, 12, 30).addDays(static_cast<qint64>(serial));
    }
    static const QRegularExpression chinese(QStringLiteral("^(\\d{4})年(\\d{1,2})月(\\d{1,2})日"));
    const QRegularExpressionMatch m = chinese.match(text);
    if (m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (date.isValid()) return date;
    }
    const QDateTime parsed = ParseDateText(text);
    if (parsed.isValid()) return parsed.date();
    *problem = QStringLiteral("入库日期无法识别");
    return {};
}

// A list exported by the program ends with its totals row: "合计：" under the name or the
// type, and sums, with no code, model, unit price, date, supplier or note. A goods item may
// well be named "合计："; its row has those and is checked as any other.
bool IsTotalsRow(const QStringList& row, const ColumnMap& map) {
    const auto label = [](const QString& cell) {
        return cell.trimmed() == QStringLiteral("合计：");
    };
    if (std::none_of(row.begin(), row.end(), label)) return false;
    for (GoodsField field :
         {GoodsField::型号, GoodsField::编码, GoodsField::进货单价, GoodsField::销售单价,
          GoodsField::入库日期, GoodsField::供货商, GoodsField::备注})
        if (!Cell(row, map[field]).isEmpty()) return false;
    for (GoodsField field : {GoodsField::名称, GoodsField::类型}) {
        const QString cell = Cell(row, map[field]);
        if (!cell.isEmpty() && !label(cell)) return false;
    }
    return true;
}

}  // namespace

bool ReadCsv(const QByteArray& bytes, ImportTable* table, QString* error) {
    *table = ImportTable();
    const QString text = DecodeText(bytes);
    const QChar separator = Separator(text);
    TableBudget budget;
    QStringList row;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    const auto endField = [&] {
        const bool kept = PutCell(&row, static_cast<int>(row.size()), field, &budget, error);
        field.clear();
        fieldStarted = false;
        return kept;
    };
    const auto endRow = [&] {
        if (!endField()) return false;
        if (table->rows.size() >= kMaxRows) {
            *error = TooManyRows();
            return false;
        }
        table->rows << row;
        row.clear();
        return true;
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
            if (!endField()) return false;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            if (!endRow()) return false;
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    return (field.isEmpty() && row.isEmpty()) || endRow();
}

bool ReadXlsx(const QString& path, ImportTable* table, QString* error) {
    *table = ImportTable();
    // minizip opens by a byte path; QFile::encodeName gives the file system's form of a
    // Chinese path.
    const std::unique_ptr<void, int (*)(unzFile)> zip(
        unzOpen64(QFile::encodeName(path).constData()), unzClose);
    if (!zip) {
        *error = QStringLiteral("无法打开这个Excel文件（不是.xlsx格式或已损坏）");
        return false;
    }
    TableBudget budget;
    QStringList shared;
    if (!SharedStrings(zip.get(), &shared, &budget, error)) return false;
    QList<QStringList> rows;
    if (!SheetRows(zip.get(), FirstSheetPath(zip.get()), shared, &budget, &rows, error))
        return false;
    table->rows = std::move(rows);
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
    if (file.size() > kCsvBytes) {
        *error = QStringLiteral("文件超过%1MB，无法导入。").arg(kCsvBytes / (1024 * 1024)) +
                 kSplitAdvice;
        return false;
    }
    return ReadCsv(file.readAll(), table, error);
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
        if (IsTotalsRow(row, map)) continue;
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
            if (!cell.isEmpty() && !IsPlainNumber(cell)) {
                problems << GoodsFieldName(n.field) + QStringLiteral("不是数字");
                continue;
            }
            *n.value = TextToNumber(cell);
            if (IsLess(*n.value, 0))
                problems << GoodsFieldName(n.field) + QStringLiteral("是负数");
            else if (!IsGreater(*n.value, 0))
                problems << QString::fromUtf16(n.missing);
        }
        const QString date = Cell(row, map[GoodsField::入库日期]);
        if (date.isEmpty()) {
            g.入库日期 = today;
        } else {
            QString problem;
            g.入库日期 = ParseImportDate(date, &problem);
            if (!problem.isEmpty()) problems << problem;
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
