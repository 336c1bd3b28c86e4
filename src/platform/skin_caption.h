#pragma once
// The fixed caption of the program's own message boxes.

#include <QString>

inline QString ProgramCaption() {
    return QStringLiteral("岚库通进销存管理系统");
}
