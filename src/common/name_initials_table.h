#pragma once
// The table itself, name_initials_table.cpp, is written by tools/gen_name_initials.py.

inline constexpr char16_t kFirstHanzi = 0x4E00;
inline constexpr char16_t kLastHanzi = 0x9FA5;
inline constexpr int kHanziCount = kLastHanzi - kFirstHanzi + 1;

// The upper-case initial of the customary reading of each code point from kFirstHanzi to
// kLastHanzi; '.' for the few that have none.
extern const char kHanziInitials[kHanziCount + 1];

// The initials of the other common readings, where they start with another letter; sorted by
// hanzi.
struct HanziOtherInitials {
    char16_t hanzi;
    const char* letters;
};
extern const HanziOtherInitials kHanziOtherInitials[];
extern const int kHanziOtherCount;
