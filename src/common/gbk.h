#pragma once
// GBK (code page 936) text: the settings files, byte-counted widths, the pinyin walk.

#include <QByteArray>
#include <QString>

// Characters GBK cannot hold become "?".
QByteArray ToGbk(const QString& text);
// Invalid byte sequences become U+FFFD.
QString FromGbk(const QByteArray& bytes);

qsizetype GbkByteCount(const QString& text);

// The longest prefix of text whose GBK form has at most maxBytes bytes, never splitting a
// double-byte character.
QString GbkCut(const QString& text, qsizetype maxBytes);

// The longest prefix of GBK bytes of at most maxBytes bytes that ends on a character boundary.
QByteArray GbkCutBytes(const QByteArray& bytes, qsizetype maxBytes);
