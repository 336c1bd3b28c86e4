#include "common/name_initials.h"

#include <algorithm>
#include <vector>

#include "common/name_initials_table.h"

namespace {

// A full-width letter or digit as its ASCII form, a compatibility ideograph as the hanzi it
// stands for; any other character unchanged.
char16_t Plain(QChar c) {
    const QChar::Decomposition tag = c.decompositionTag();
    if (tag != QChar::Wide && tag != QChar::Canonical) return c.unicode();
    const QString plain = c.decomposition();
    if (plain.size() != 1) return c.unicode();
    if (tag == QChar::Wide && !plain[0].isLetterOrNumber()) return c.unicode();
    return plain[0].unicode();
}

char PrimaryInitial(char16_t hanzi) {
    if (hanzi < kFirstHanzi || hanzi > kLastHanzi) return '\0';
    const char letter = kHanziInitials[hanzi - kFirstHanzi];
    return letter == '.' ? '\0' : letter;
}

const char* OtherInitials(char16_t hanzi) {
    const HanziOtherInitials* end = kHanziOtherInitials + kHanziOtherCount;
    const HanziOtherInitials* found = std::lower_bound(
        kHanziOtherInitials, end, hanzi,
        [](const HanziOtherInitials& entry, char16_t code) { return entry.hanzi < code; });
    return found != end && found->hanzi == hanzi ? found->letters : "";
}

// The one character a text character adds to the initials ('\0' for none), hanzi given by
// their customary reading. Surrogates (characters GBK cannot hold) add nothing.
char16_t InitialOf(QChar c) {
    const char16_t plain = Plain(c);
    if (plain >= 0x01 && plain <= 0x7F) return plain;
    return static_cast<char16_t>(PrimaryInitial(plain));
}

char16_t Upper(char16_t c) {
    return c >= 'a' && c <= 'z' ? static_cast<char16_t>(c - 'a' + 'A') : c;
}

}  // namespace

QString NameInitials(const QString& text) {
    QString initials;
    for (const QChar c : text) {
        const char16_t initial = InitialOf(c);
        if (initial != 0) initials += QChar(initial);
    }
    return initials;
}

bool InitialsMatch(const QString& name, const QString& typed) {
    if (typed.isEmpty()) return true;
    // Each character that adds to the initials, with the other letters a hanzi may give.
    struct Letter {
        char16_t initial;
        const char* others;
    };
    std::vector<Letter> letters;
    letters.reserve(static_cast<size_t>(name.size()));
    for (const QChar c : name) {
        const char16_t initial = InitialOf(c);
        if (initial == 0) continue;
        letters.push_back({Upper(initial), OtherInitials(Plain(c))});
    }
    const auto fits = [](const Letter& letter, char16_t want) {
        if (letter.initial == want) return true;
        for (const char* other = letter.others; *other != '\0'; ++other)
            if (*other == want) return true;
        return false;
    };
    const size_t length = static_cast<size_t>(typed.size());
    for (size_t start = 0; start + length <= letters.size(); ++start) {
        size_t i = 0;
        while (i < length && fits(letters[start + i], Upper(typed[i].unicode()))) ++i;
        if (i == length) return true;
    }
    return false;
}
