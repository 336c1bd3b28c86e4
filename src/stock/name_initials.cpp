#include "stock/name_initials.h"

#include "common/gbk.h"
#include "stock/name_initials_table.h"

namespace {

// The initial of one double-byte GBK character, or '\0' when it is not a GB2312 hanzi.
char HanziInitial(unsigned char lead, unsigned char trail) {
    if (lead < kGb2312FirstHanziRow || lead > kGb2312LastHanziRow) return '\0';
    if (trail < kGb2312FirstCell || trail > kGb2312LastCell) return '\0';
    return kGb2312Initials[(lead - kGb2312FirstHanziRow) * kGb2312Cells +
                           (trail - kGb2312FirstCell)];
}

}  // namespace

QString NameInitials(const QString& text) {
    const QByteArray gbk = ToGbk(text);
    QString initials;
    qsizetype pos = 0;
    while (pos < gbk.size()) {
        const auto byte = static_cast<unsigned char>(gbk[pos]);
        if (byte >= 0x01 && byte <= 0x7F) {
            initials += QChar(byte);
            ++pos;
        } else if (byte >= 0x81 && byte <= 0xFE) {
            // Only 0x81-0xFE lead a double byte in GBK; a lone lead byte at the end adds nothing.
            if (pos + 1 < gbk.size()) {
                const char initial = HanziInitial(byte, static_cast<unsigned char>(gbk[pos + 1]));
                if (initial != '\0') initials += QChar(initial);
            }
            pos += 2;
        } else {
            // A zero byte, or the single-byte euro sign 0x80: nothing, and the next byte stays
            // its own character.
            ++pos;
        }
    }
    return initials;
}
