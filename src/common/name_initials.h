#pragma once
// Pinyin initials of a goods name: stored with the goods, matched by the name searches and
// proposed as the goods code.

#include <QString>

// ASCII characters are kept as typed, full-width letters and digits become their ASCII forms,
// and each hanzi GBK holds gives the upper-case first letter of its customary reading; any
// other character adds nothing. 电脑T60 gives DNT60.
QString NameInitials(const QString& text);

// Whether typed (ASCII letters compared without case) occurs in the initials of name when each
// of its hanzi may be read by any of its common readings: 空调 is found by KT as by KD.
bool InitialsMatch(const QString& name, const QString& typed);
