#pragma once

#include <QString>
#include <QVariant>

// Removes ASCII spaces and the full-width space (U+3000) at both ends.
QString TrimSpaces(const QString& text);

// The message for a value the ledger refused to store: the error code text, and on a second
// line what is wrong in words where the user's input is the cause (a number box empty or not
// a number, a text over 50 characters). label names the box; number says the field takes a
// number.
QString InputErrorText(const QString& codeText, const QString& label, const QVariant& value,
                       bool number = false);
