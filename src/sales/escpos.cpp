#include "sales/escpos.h"

#include "common/gbk.h"

QList<QByteArray> FitGbkLine(const QByteArray& line, int columns) {
    QList<QByteArray> pieces;
    QByteArray rest = line;
    do {
        QByteArray piece = GbkCutBytes(rest, columns);
        // A column count below one character's width must still move on.
        if (piece.isEmpty() && !rest.isEmpty()) piece = rest.left(1);
        pieces << piece;
        rest.remove(0, piece.size());
    } while (!rest.isEmpty());
    return pieces;
}

QByteArray EscPosReceipt(const QString& text, const EscPosLayout& layout) {
    QByteArray bytes = EscPos::kInitialise + EscPos::kChineseMode;
    QString plain = text;
    plain.remove(u'\r');
    for (const QString& line : plain.split(u'\n')) {
        // Trailing spaces would only push a full line onto a blank one.
        qsizetype end = line.size();
        while (end > 0 && line[end - 1] == u' ') --end;
        for (const QByteArray& piece : FitGbkLine(ToGbk(line.left(end)), layout.columns))
            bytes += piece + '\n';
    }
    bytes += EscPos::kFeedLines + EscPos::kCut;
    if (layout.openDrawer) bytes += EscPos::kDrawerPulse;
    return bytes;
}
