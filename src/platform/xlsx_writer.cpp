#include "platform/xlsx_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace {

using namespace std::string_view_literals;

// A plain zip archive (no zip64): an entry over 4 GB fails the workbook instead.
constexpr uint64_t kZipLimit = 0xFFFFFFFFu;

void Put16(std::string& out, uint32_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}
void Put32(std::string& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

struct ZipEntry {
    std::string name;
    uint32_t crc = 0;
    uint64_t packed = 0;
    uint64_t size = 0;
    uint64_t offset = 0;  // of its local header
};

// The DOS date and time stamped on every entry.
struct DosStamp {
    uint16_t date = 0x21;  // 1980-01-01
    uint16_t time = 0;
};

DosStamp Now() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    if (d.year() < 1980 || d.year() > 2107) return {};
    return {static_cast<uint16_t>(((d.year() - 1980) << 9) | (d.month() << 5) | d.day()),
            static_cast<uint16_t>((t.hour() << 11) | (t.minute() << 5) | (t.second() / 2))};
}

// The fields a local header and a directory entry share: flags, method, stamp, checksum,
// sizes, name length and no extra field.
void PutEntryFields(std::string& h, const ZipEntry& e, DosStamp stamp) {
    Put16(h, 0);  // flags
    Put16(h, 8);  // deflate
    Put16(h, stamp.time);
    Put16(h, stamp.date);
    Put32(h, e.crc);
    Put32(h, static_cast<uint32_t>(e.packed));
    Put32(h, static_cast<uint32_t>(e.size));
    Put16(h, static_cast<uint32_t>(e.name.size()));
    Put16(h, 0);  // no extra field
}

std::string LocalHeader(const ZipEntry& e, DosStamp stamp) {
    std::string h;
    Put32(h, 0x04034b50);
    Put16(h, 20);  // version needed: deflate
    PutEntryFields(h, e, stamp);
    return h + e.name;
}

std::string CentralHeader(const ZipEntry& e, DosStamp stamp) {
    std::string h;
    Put32(h, 0x02014b50);
    Put16(h, 20);  // made by
    Put16(h, 20);  // needed
    PutEntryFields(h, e, stamp);
    Put16(h, 0);  // comment
    Put16(h, 0);  // disk
    Put16(h, 0);  // internal attributes
    Put32(h, 0);  // external attributes
    Put32(h, static_cast<uint32_t>(e.offset));
    return h + e.name;
}

constexpr auto kContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/></Types>)"sv;

constexpr auto kPackageRelations =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)"sv;

constexpr auto kWorkbook =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><bookViews><workbookView/></bookViews><sheets><sheet name=")"sv;
constexpr auto kWorkbookEnd = R"(" sheetId="1" r:id="rId1"/></sheets></workbook>)"sv;

constexpr auto kWorkbookRelations =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/></Relationships>)"sv;

// The cell formats in the order of XlsxWriter::Format; dates in the lists' own form.
constexpr auto kStyles =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><numFmts count="2"><numFmt numFmtId="164" formatCode="yyyy&quot;年&quot;m&quot;月&quot;d&quot;日&quot;"/><numFmt numFmtId="165" formatCode="yyyy&quot;年&quot;m&quot;月&quot;d&quot;日&quot; h&quot;时&quot;m&quot;分&quot;s&quot;秒&quot;"/></numFmts><fonts count="2"><font><sz val="11"/><name val="Calibri"/><family val="2"/></font><font><b/><sz val="11"/><name val="Calibri"/><family val="2"/></font></fonts><fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills><borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders><cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs><cellXfs count="8"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/><xf numFmtId="0" fontId="1" fillId="0" borderId="0" xfId="0" applyFont="1"/><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0" applyAlignment="1"><alignment horizontal="center" vertical="center"/></xf><xf numFmtId="0" fontId="1" fillId="0" borderId="0" xfId="0" applyFont="1" applyAlignment="1"><alignment horizontal="center" vertical="center"/></xf><xf numFmtId="164" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/><xf numFmtId="164" fontId="1" fillId="0" borderId="0" xfId="0" applyNumberFormat="1" applyFont="1"/><xf numFmtId="165" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/><xf numFmtId="165" fontId="1" fillId="0" borderId="0" xfId="0" applyNumberFormat="1" applyFont="1"/></cellXfs><cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles></styleSheet>)"sv;

constexpr auto kSheetStart =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheetViews><sheetView tabSelected="1" workbookViewId="0"/></sheetViews><sheetFormatPr defaultRowHeight="15"/>)"sv;

// The sheet's XML goes to the compressing thread in pieces of about this size.
constexpr size_t kChunk = 1 << 20;
// Pieces waiting for it at most: the rows built meanwhile wait in memory.
constexpr size_t kQueued = 3;

void AppendNumber(std::string& out, double value) {
    char text[32];
    // Shortest text that reads back as the same double; "-0" would read as a text in places.
    const auto [end, error] = std::to_chars(text, text + sizeof text, value == 0 ? 0.0 : value);
    out.append(text, error == std::errc() ? end : text);
}

void AppendInt(std::string& out, uint64_t value) {
    char text[24];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    out.append(text, end);
}

// "A", "B", ..., "Z", "AA", ...
std::string ColumnName(int col) {
    std::string name;
    for (int c = col + 1; c > 0; c = (c - 1) / 26)
        name.insert(name.begin(), static_cast<char>('A' + (c - 1) % 26));
    return name;
}

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// The text as UTF-8 cell content: XML's special characters escaped, control characters XML
// cannot carry in Excel's _xHHHH_ form, a broken surrogate as U+FFFD.
void AppendEscaped(std::string& out, QStringView text) {
    const size_t start = out.size();
    out.resize(start + static_cast<size_t>(text.size()) * 7);
    char* p = out.data() + start;
    const char16_t* s = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        uint32_t c = s[i];
        if (c < 0x80) {
            if (c == '&') {
                std::memcpy(p, "&amp;", 5);
                p += 5;
            } else if (c == '<') {
                std::memcpy(p, "&lt;", 4);
                p += 4;
            } else if (c == '>') {
                std::memcpy(p, "&gt;", 4);
                p += 4;
            } else if (c < 0x20 && c != '\t' && c != '\n') {
                p += std::snprintf(p, 8, "_x%04X_", static_cast<unsigned>(c));
            } else {
                *p++ = static_cast<char>(c);
            }
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
        } else if ((c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF) {
            c = 0xFFFD;
        }
        if (c < 0x800) {
            *p++ = static_cast<char>(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            *p++ = static_cast<char>(0xE0 | (c >> 12));
            *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        } else {
            *p++ = static_cast<char>(0xF0 | (c >> 18));
            *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        }
        if (c >= 0x80) *p++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    out.resize(static_cast<size_t>(p - out.data()));
}

// The wanted name as a sheet can carry it.
QString SheetName(const QString& wanted) {
    QString name;
    for (const QChar c : wanted)
        if (c.unicode() >= 0x20 && !QStringView(u":\\/?*[]").contains(c)) name += c;
    name.truncate(31);
    if (!name.isEmpty() && name.back().isHighSurrogate()) name.chop(1);
    // Excel refuses an apostrophe at either end.
    const auto trimmed = [](QChar c) { return c == u'\'' || c.isSpace(); };
    while (!name.isEmpty() && trimmed(name.front())) name.remove(0, 1);
    while (!name.isEmpty() && trimmed(name.back())) name.chop(1);
    return name.isEmpty() ? QStringLiteral("Sheet1") : name;
}

}  // namespace

struct XlsxWriter::Impl {
    FILE* file = nullptr;
    bool failed = false;
    DosStamp stamp = Now();
    std::vector<ZipEntry> entries;

    // The sheet: built here, compressed and written by the thread.
    bool sheetStarted = false;
    std::vector<int> widths;
    std::string xml;
    std::vector<std::string> columnNames;
    std::string rowNumber;  // of the row being built, as text
    int row = -1;
    bool rowOpen = false;
    int lastCol = -1;
    bool lastEmpty = false;  // the row's last cell is an empty text
    std::string merges;
    int mergeCount = 0;

    std::thread thread;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::string> queue;
    std::vector<std::string> spare;
    bool closing = false;
    bool threadFailed = false;  // under mutex
    z_stream zip{};
    bool zipReady = false;

    ~Impl() {
        StopThread(true);
        if (zipReady) deflateEnd(&zip);
        if (file) std::fclose(file);
    }

    uint64_t Offset() {
        const off_t at = ftello(file);
        if (at < 0) failed = true;
        return at < 0 ? 0 : static_cast<uint64_t>(at);
    }

    bool WriteRaw(const void* data, size_t size) {
        if (size && std::fwrite(data, 1, size, file) != size) failed = true;
        return !failed;
    }

    // A whole small part, compressed in one go.
    void AddPart(const char* name, std::string_view content) {
        if (failed) return;
        ZipEntry e{name, 0, 0, content.size(), Offset()};
        e.crc = crc32(0, reinterpret_cast<const Bytef*>(content.data()),
                      static_cast<uInt>(content.size()));
        std::string packed(compressBound(static_cast<uLong>(content.size())) + 16, '\0');
        z_stream z{};
        if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                         Z_DEFAULT_STRATEGY) != Z_OK) {
            failed = true;
            return;
        }
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.data()));
        z.avail_in = static_cast<uInt>(content.size());
        z.next_out = reinterpret_cast<Bytef*>(packed.data());
        z.avail_out = static_cast<uInt>(packed.size());
        const int result = deflate(&z, Z_FINISH);
        e.packed = z.total_out;
        deflateEnd(&z);
        if (result != Z_STREAM_END) {
            failed = true;
            return;
        }
        const std::string header = LocalHeader(e, stamp);
        if (WriteRaw(header.data(), header.size()) && WriteRaw(packed.data(), e.packed))
            entries.push_back(std::move(e));
    }

    // The thread: compresses each piece of the sheet as it comes and writes it.
    void Compress() {
        std::vector<Bytef> out(kChunk);
        ZipEntry& sheet = entries.back();
        bool ok = true;
        for (;;) {
            std::string piece;
            bool last = false;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return !queue.empty() || closing; });
                if (!queue.empty()) {
                    piece = std::move(queue.front());
                    queue.pop_front();
                }
                last = closing && queue.empty();
            }
            changed.notify_all();
            sheet.crc = crc32(sheet.crc, reinterpret_cast<const Bytef*>(piece.data()),
                              static_cast<uInt>(piece.size()));
            sheet.size += piece.size();
            zip.next_in = reinterpret_cast<Bytef*>(piece.data());
            zip.avail_in = static_cast<uInt>(piece.size());
            int result = Z_OK;
            do {
                zip.next_out = out.data();
                zip.avail_out = static_cast<uInt>(out.size());
                result = deflate(&zip, last ? Z_FINISH : Z_NO_FLUSH);
                const size_t produced = out.size() - zip.avail_out;
                if (result == Z_STREAM_ERROR ||
                    (produced && std::fwrite(out.data(), 1, produced, file) != produced))
                    ok = false;
            } while (ok && (zip.avail_out == 0 || (last && result != Z_STREAM_END)));
            piece.clear();
            {
                std::lock_guard lock(mutex);
                spare.push_back(std::move(piece));
                if (!ok) threadFailed = true;
            }
            if (!ok || last) break;
        }
        sheet.packed = zip.total_out;
        changed.notify_all();
    }

    void StartSheet() {
        if (sheetStarted) return;
        sheetStarted = true;
        if (failed) return;
        ZipEntry e{"xl/worksheets/sheet1.xml", 0, 0, 0, Offset()};
        // The sizes and checksum go into the header when the sheet is complete.
        const std::string header = LocalHeader(e, stamp);
        if (!WriteRaw(header.data(), header.size())) return;
        entries.push_back(std::move(e));
        // The sheet's rows compress fastest at level 1, at a size close to the default level's.
        if (deflateInit2(&zip, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            failed = true;
            return;
        }
        zipReady = true;
        thread = std::thread([this] { Compress(); });

        xml.reserve(kChunk + kChunk / 4);
        xml.append(kSheetStart);
        if (!widths.empty()) {
            xml.append("<cols>");
            for (size_t i = 0; i < widths.size(); ++i) {
                // Excel counts widths in characters of 7 pixels, in 256ths.
                const double width = std::floor(widths[i] * 256.0 / 7.0) / 256.0;
                xml.append("<col min=\"");
                AppendInt(xml, i + 1);
                xml.append("\" max=\"");
                AppendInt(xml, i + 1);
                xml.append("\" width=\"");
                AppendNumber(xml, width);
                xml.append("\" customWidth=\"1\"/>");
            }
            xml.append("</cols>");
        }
        xml.append("<sheetData>");
    }

    // Hands the built XML to the thread once there is a piece's worth (or all of it).
    void Pass(bool all) {
        if (failed || (!all && xml.size() < kChunk)) return;
        std::string next;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return queue.size() < kQueued || threadFailed; });
            if (threadFailed) {
                failed = true;
                return;
            }
            queue.push_back(std::move(xml));
            if (!spare.empty()) {
                next = std::move(spare.back());
                spare.pop_back();
            }
        }
        changed.notify_all();
        xml = std::move(next);
        xml.clear();
        xml.reserve(kChunk + kChunk / 4);
    }

    // Ends the thread; abandon: whatever it still has is dropped.
    bool StopThread(bool abandon) {
        if (!thread.joinable()) return false;
        {
            std::lock_guard lock(mutex);
            if (abandon) queue.clear();
            closing = true;
        }
        changed.notify_all();
        thread.join();
        return !threadFailed;
    }

    void CloseRow() {
        if (rowOpen) xml.append("</row>");
        rowOpen = false;
    }

    // Opens the cell's element up to its value.
    void StartCell(int col, Format format, const char* type) {
        if (!rowOpen) {
            xml.append("<row r=\"");
            xml.append(rowNumber);
            xml.append("\">");
            rowOpen = true;
        }
        // A cell right after the one before takes the next place without naming it: a sixth
        // less of the sheet to build and compress. A reader may count an empty text as no cell, so
        // the one after it names its place.
        const bool named = col != lastCol + 1 || lastEmpty;
        lastCol = col;
        lastEmpty = false;
        if (named) {
            if (static_cast<size_t>(col) >= columnNames.size()) {
                for (int c = static_cast<int>(columnNames.size()); c <= col; ++c)
                    columnNames.push_back(ColumnName(c));
            }
            xml.append("<c r=\"");
            xml.append(columnNames[col]);
            xml.append(rowNumber);
            xml.push_back('"');
        } else {
            xml.append("<c");
        }
        if (format != kPlain) {
            xml.append(" s=\"");
            AppendInt(xml, format);
            xml.push_back('"');
        }
        xml.append(type);
    }

    bool FinishArchive();

    bool CellAllowed(int col) {
        if (failed || row < 0 || col < 0 || col >= kMaxCols || col <= lastCol) failed = true;
        return !failed;
    }
};

XlsxWriter::XlsxWriter(const QString& path, const QString& sheetName)
    : d_(std::make_unique<Impl>()) {
    // A workbook of the books is its owner's alone, whatever the umask says.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd >= 0 && (::fchmod(fd, S_IRUSR | S_IWUSR) != 0 || !(d_->file = ::fdopen(fd, "wb"))))
        ::close(fd);
    if (!d_->file) {
        d_->failed = true;
        return;
    }
    d_->AddPart("[Content_Types].xml", kContentTypes);
    d_->AddPart("_rels/.rels", kPackageRelations);
    const std::string workbook = std::string(kWorkbook) +
                                 SheetName(sheetName).toHtmlEscaped().toStdString() +
                                 std::string(kWorkbookEnd);
    d_->AddPart("xl/workbook.xml", workbook);
    d_->AddPart("xl/_rels/workbook.xml.rels", kWorkbookRelations);
    d_->AddPart("xl/styles.xml", kStyles);
}

XlsxWriter::~XlsxWriter() = default;

bool XlsxWriter::Ok() const {
    return !d_->failed;
}

void XlsxWriter::SetColumnWidths(const std::vector<int>& pixels) {
    if (d_->sheetStarted || static_cast<int>(pixels.size()) > kMaxCols) {
        d_->failed = true;
        return;
    }
    d_->widths = pixels;
}

void XlsxWriter::StartRow(int row) {
    Impl& d = *d_;
    d.StartSheet();
    if (row <= d.row || row >= kMaxRows) d.failed = true;
    if (d.failed) return;
    d.CloseRow();
    d.Pass(false);
    d.row = row;
    d.lastCol = -1;
    d.rowNumber.clear();
    AppendInt(d.rowNumber, static_cast<uint64_t>(row) + 1);
}

void XlsxWriter::WriteNumber(int col, double value, Format format) {
    Impl& d = *d_;
    if (!d.CellAllowed(col)) return;
    if (!std::isfinite(value)) {
        d.failed = true;
        return;
    }
    d.StartCell(col, format, "><v>");
    AppendNumber(d.xml, value);
    d.xml.append("</v></c>");
}

void XlsxWriter::WriteText(int col, QStringView text, Format format) {
    Impl& d = *d_;
    if (text.size() > kMaxTextLength) d.failed = true;
    if (!d.CellAllowed(col)) return;
    d.StartCell(col, format, " t=\"inlineStr\"><is>");
    // Spaces at either end are part of the text only where the element says so.
    const bool keepSpaces =
        !text.isEmpty() && (IsSpace(text.front().unicode()) || IsSpace(text.back().unicode()));
    d.xml.append(keepSpaces ? "<t xml:space=\"preserve\">" : "<t>");
    AppendEscaped(d.xml, text);
    d.xml.append("</t></is></c>");
    d.lastEmpty = text.isEmpty();
}

bool XlsxWriter::WriteDate(int col, int year, int month, int day, int hour, int minute, int second,
                           Format format) {
    const QDate date(year, month, day);
    if (!date.isValid() || year < 1900) return false;
    // Excel counts 1900-01-01 as day 1 and holds a 29 February 1900 that never was.
    qint64 serial = date.toJulianDay() - QDate(1899, 12, 31).toJulianDay();
    if (serial >= 60) ++serial;
    const double value =
        static_cast<double>(serial) + (hour * 3600 + minute * 60 + second) / 86400.0;
    Impl& d = *d_;
    if (!d.CellAllowed(col)) return true;
    d.StartCell(col, format, "><v>");
    AppendNumber(d.xml, value);
    d.xml.append("</v></c>");
    return true;
}

void XlsxWriter::Merge(int top, int left, int bottom, int right) {
    Impl& d = *d_;
    if (top < 0 || left < 0 || bottom < top || right < left || bottom >= kMaxRows ||
        right >= kMaxCols) {
        d.failed = true;
        return;
    }
    d.merges.append("<mergeCell ref=\"");
    d.merges.append(ColumnName(left));
    AppendInt(d.merges, static_cast<uint64_t>(top) + 1);
    d.merges.push_back(':');
    d.merges.append(ColumnName(right));
    AppendInt(d.merges, static_cast<uint64_t>(bottom) + 1);
    d.merges.append("\"/>");
    ++d.mergeCount;
}

bool XlsxWriter::Finish() {
    Impl& d = *d_;
    d.StartSheet();
    if (d.failed) return false;
    d.CloseRow();
    d.xml.append("</sheetData>");
    if (d.mergeCount > 0) {
        d.xml.append("<mergeCells count=\"");
        AppendInt(d.xml, static_cast<uint64_t>(d.mergeCount));
        d.xml.append("\">");
        d.xml.append(d.merges);
        d.xml.append("</mergeCells>");
    }
    d.xml.append(
        "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
        "footer=\"0.3\"/></worksheet>");
    d.Pass(true);
    if (!d.StopThread(false)) d.failed = true;
    if (d.failed || !d.FinishArchive()) {
        d.failed = true;
        return false;
    }
    return true;
}

bool XlsxWriter::Impl::FinishArchive() {
    Impl& d = *this;

    // The sheet's header gets its sizes and checksum; then the directory closes the archive.
    const ZipEntry& sheet = d.entries.back();
    const uint64_t end = d.Offset();
    if (sheet.size > kZipLimit || end > kZipLimit) return false;
    const std::string header = LocalHeader(sheet, d.stamp);
    if (fseeko(d.file, static_cast<off_t>(sheet.offset), SEEK_SET) != 0 ||
        !d.WriteRaw(header.data(), header.size()) ||
        fseeko(d.file, static_cast<off_t>(end), SEEK_SET) != 0)
        return false;
    std::string directory;
    for (const ZipEntry& e : d.entries) directory += CentralHeader(e, d.stamp);
    std::string tail;
    Put32(tail, 0x06054b50);
    Put16(tail, 0);
    Put16(tail, 0);
    Put16(tail, static_cast<uint32_t>(d.entries.size()));
    Put16(tail, static_cast<uint32_t>(d.entries.size()));
    Put32(tail, static_cast<uint32_t>(directory.size()));
    Put32(tail, static_cast<uint32_t>(end));
    Put16(tail, 0);
    if (end + directory.size() + tail.size() > kZipLimit ||
        !d.WriteRaw(directory.data(), directory.size()) || !d.WriteRaw(tail.data(), tail.size()))
        return false;
    // Complete on disk before the caller puts it in place of an older file.
    if (std::fflush(d.file) != 0 || fsync(fileno(d.file)) != 0) return false;
    const bool closed = std::fclose(d.file) == 0;
    d.file = nullptr;
    return closed;
}
