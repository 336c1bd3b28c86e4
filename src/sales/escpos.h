#pragma once
// The bytes an ESC/POS receipt printer (the 58 mm and 80 mm thermal printers of shop
// counters) takes for a receipt: reset, Chinese character mode, the text in GBK, feed and cut.

#include <QByteArray>
#include <QList>
#include <QString>

struct EscPosLayout {
    int columns = 32;         // single-byte columns of a line: 32 on 58 mm paper, 48 on 80 mm
    bool openDrawer = false;  // pulse the cash drawer after the cut
};

// The receipt's lines (split at line breaks) in GBK, each fitted to the paper: a line wider
// than the paper goes on over the next lines, never splitting a double-byte character.
QByteArray EscPosReceipt(const QString& text, const EscPosLayout& layout);

// A GBK line cut into pieces of at most columns bytes on character boundaries; an empty line
// stays one empty piece.
QList<QByteArray> FitGbkLine(const QByteArray& line, int columns);

namespace EscPos {
inline const QByteArray kInitialise("\x1b\x40", 2);     // ESC @
inline const QByteArray kChineseMode("\x1c\x26", 2);    // FS &
inline const QByteArray kFeedLines("\x1b\x64\x04", 3);  // ESC d 4: clear the cutter
inline const QByteArray kCut("\x1d\x56\x42\x00", 4);    // GS V B 0: feed to the cutter, cut
inline const QByteArray kDrawerPulse("\x1b\x70\x00\x19\xfa", 5);  // ESC p 0: 50 ms on, 500 off
}  // namespace EscPos
