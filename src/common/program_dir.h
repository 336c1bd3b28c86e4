#pragma once

#include <QString>

// Where the program keeps its files: the directory of the running executable (a copy carried
// on a USB stick keeps its files beside itself), or the per-user data directory, created for
// its owner alone, when that one is an installed program's (not writable, a system folder or
// another account's) or a build tree (deleting the build would delete the ledger). Tests point it
// at a directory of their own.
QString ProgramDir();
// The rule above for an executable in exeDir.
QString ChooseProgramDir(const QString& exeDir);
void SetProgramDir(const QString& dir);
// When exeDir holds a data.db that the rule above sets aside, the message telling the user
// where that data is, why it is not used and which directory is used instead; "" otherwise.
QString SetAsideDataNotice(const QString& exeDir);

// ProgramDir() + "/" + name.
QString ProgramFile(const QString& name);
