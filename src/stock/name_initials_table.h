#pragma once
// The table itself, name_initials_table.cpp, is written by tools/gen_name_initials.py.

inline constexpr int kGb2312FirstHanziRow = 0xB0;
inline constexpr int kGb2312LastHanziRow = 0xF7;
inline constexpr int kGb2312FirstCell = 0xA1;
inline constexpr int kGb2312LastCell = 0xFE;
inline constexpr int kGb2312HanziRows = kGb2312LastHanziRow - kGb2312FirstHanziRow + 1;
inline constexpr int kGb2312Cells = kGb2312LastCell - kGb2312FirstCell + 1;

// The upper-case initial of each hanzi code, indexed by (row - 0xB0) * 94 + (cell - 0xA1);
// '\0' for the five unused codes at the end of row 0xD7.
extern const char kGb2312Initials[kGb2312HanziRows * kGb2312Cells + 1];
