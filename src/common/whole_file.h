#pragma once
// Files the user owns are replaced whole: the new content goes to a file of its own beside the
// target, is synced, and only then renamed over the target, so a full disk, an I/O error or a
// crash leaves either the old file byte for byte or the complete new one.

#include <QByteArray>
#include <QString>
#include <functional>

// Replaces (or creates) path with bytes. A new file is readable by its owner only; a replaced
// one keeps its mode. On failure the old file is untouched and error says why, in Chinese.
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

enum class FileRead { Missing, Read, Unreadable };
// Reads the whole of path; Unreadable for a file that exists but cannot be read to its end.
FileRead ReadWholeFile(const QString& path, QByteArray* bytes);

// The write(2) call the writer uses; tests install one that fails (nullptr restores it).
using WriteCall = std::function<long(int fd, const char* data, long size)>;
void SetWriteCallForTest(WriteCall call);
