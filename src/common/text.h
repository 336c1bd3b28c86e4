#pragma once

#include <QString>

// Removes ASCII spaces and the full-width space (U+3000) at both ends.
QString TrimSpaces(const QString& text);
