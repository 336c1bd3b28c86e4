#pragma once
// Pinyin initials of a goods name: stored with the goods, matched by the name searches and
// proposed as the goods code.

#include <QString>

// ASCII characters are kept as typed; each GB2312 hanzi gives the upper-case first letter of
// its common reading; any other character adds nothing, except that one GBK cannot hold
// becomes "?" on the way to GBK and is kept as such. 电脑T60 gives DNT60.
QString NameInitials(const QString& text);
