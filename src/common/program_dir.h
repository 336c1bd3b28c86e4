#pragma once

#include <QString>

// The directory of the running executable, or the per-user data directory when that one is
// not writable. Tests point it at a temporary directory of their own.
QString ProgramDir();
void SetProgramDir(const QString& dir);

// ProgramDir() + "/" + name.
QString ProgramFile(const QString& name);
