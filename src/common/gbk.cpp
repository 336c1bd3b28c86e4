#include "common/gbk.h"

#include <iconv.h>

#include <QList>

#include <cerrno>

namespace {

// One conversion through iconv; unconvertible input is replaced, never dropped silently.
QByteArray Convert(const char* to, const char* from, const QByteArray& in, const QByteArray& bad,
                   int badStep) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return QByteArray();
    QByteArray out;
    out.reserve(in.size() * 2 + 8);
    char* src = const_cast<char*>(in.constData());
    size_t srcLeft = static_cast<size_t>(in.size());
    char buffer[4096];
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<qsizetype>(dst - buffer));
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: replace the offending unit and go on.
            out.append(bad);
            const size_t step = std::min(static_cast<size_t>(badStep), srcLeft);
            src += step;
            srcLeft -= step;
        }
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    iconv_close(cd);
    return out;
}

}  // namespace

QByteArray ToGbk(const QString& text) {
    // UTF-32 input lets a bad character be skipped as one 4-byte unit.
    QByteArray utf32;
    const QList<uint> units = text.toUcs4();
    utf32.resize(units.size() * 4);
    for (qsizetype i = 0; i < units.size(); ++i) {
        const uint u = units[i];
        utf32[i * 4] = static_cast<char>(u & 0xff);
        utf32[i * 4 + 1] = static_cast<char>((u >> 8) & 0xff);
        utf32[i * 4 + 2] = static_cast<char>((u >> 16) & 0xff);
        utf32[i * 4 + 3] = static_cast<char>((u >> 24) & 0xff);
    }
    return Convert("CP936", "UTF-32LE", utf32, QByteArray("?"), 4);
}

QString FromGbk(const QByteArray& bytes) {
    return QString::fromUtf8(Convert("UTF-8", "CP936", bytes, QByteArray("\xEF\xBF\xBD"), 1));
}

qsizetype GbkByteCount(const QString& text) { return ToGbk(text).size(); }

QByteArray GbkCutBytes(const QByteArray& bytes, qsizetype maxBytes) {
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[pos]);
        const qsizetype width = (lead >= 0x81 && lead <= 0xFE && pos + 1 < bytes.size()) ? 2 : 1;
        if (pos + width > maxBytes) break;
        pos += width;
    }
    return bytes.left(pos);
}

QString GbkCut(const QString& text, qsizetype maxBytes) {
    return FromGbk(GbkCutBytes(ToGbk(text), maxBytes));
}
