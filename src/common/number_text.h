#pragma once
// Numbers as the program writes and reads them in cells, edit boxes and statements.

#include <QString>

// At most 13 significant digits, no trailing zeros or point; exponent form only below 1e-4
// or from 1e13 ("0.3", "12.5", "1.5e+20").
QString NumberText(double value);
// Appends NumberText(value) to text without a temporary string.
void AppendNumberText(double value, QString* text);

// A count of units of 1/scale (scale a power of ten: fen are units of 1/100) as NumberText
// writes the figure, but exact at any size: "3282500", "234057.98", "-0.5".
QString UnitsText(qint64 units, int scale);
// An amount of yuan in whole fen, rounded to the nearest.
qint64 Fen(double amount);

// The text's leading decimal number (after leading spaces); empty or non-numeric text is 0.
double TextToNumber(const QString& text);

// True when the whole text (spaces around it aside) is one decimal number.
bool IsNumberText(const QString& text);

// Comparisons with the program's tolerance of 0.0000001.
constexpr double kTolerance = 0.0000001;
bool IsZero(double value);
bool IsGreater(double a, double b);  // a - b > tolerance
bool IsLess(double a, double b);     // b - a > tolerance

// A sum as a totals row shows it: within the tolerance of 0 it is 0, so that the leftovers of
// binary fractions (0.1 + 0.2 - 0.3) never show as a figure.
double ListTotal(double sum);
