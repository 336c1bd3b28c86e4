#pragma once

#include <QString>

// Where the program keeps its files. A portable copy keeps them beside its executable: a
// folder of its own, or a folder named bin (where installed programs live) marked for it by an
// empty file named "portable" (kPortableMarker) or by the program's own files already there
// (data.db, config.ini, 配置.ini, qwert.ini); in either case one the user may write, is no build
// tree (deleting the build would delete the ledger) and no installed program's (a system folder or
// another account's). Every other copy keeps them in the per-user data directory, UserDataDir(),
// created for its owner alone. Tests point it at a directory of their own.
QString ProgramDir();
// The rule above for an executable in exeDir.
QString ChooseProgramDir(const QString& exeDir);
void SetProgramDir(const QString& dir);
// $XDG_DATA_HOME/lankutong, or ~/.local/share/lankutong when XDG_DATA_HOME is unset or not an
// absolute path.
QString UserDataDir();
// When exeDir holds a data.db that the rule above sets aside, the message telling the user
// where that data is, why it is not used and which directory is used instead; "" otherwise.
QString SetAsideDataNotice(const QString& exeDir);

inline constexpr char16_t kPortableMarker[] = u"portable";

// ProgramDir() + "/" + name.
QString ProgramFile(const QString& name);
