#pragma once
// INI files with the Windows private-profile rules: GBK text, CR LF line ends, sections and
// keys matched without regard to ASCII case, a 10240-byte value buffer, no deletion of keys.
// A UTF-8 byte-order mark at the start is passed over and kept.

#include <QByteArray>
#include <QString>
#include <functional>

// The value of key in section of file, cut to 10239 GBK bytes; "" for a missing file,
// section or key, and for an empty file name, section or key name (the file is not touched).
QString IniRead(const QString& file, const QString& section, const QString& key);

// Writes key=value, creating the file, the section (at the end of the file) or the key (after
// the last line of its section) as needed and leaving every other line as it was. An empty
// value leaves "key=". Returns false for empty names or a failed write; callers that follow
// the settings rules ignore the result, since the failure handler tells the user. A file that
// exists but cannot be read is not written.
bool IniWrite(const QString& file, const QString& section, const QString& key,
              const QString& value);

// Replaces a settings file whole (see WriteWholeFile); a failure goes to the handler.
bool WriteSettingsFile(const QString& file, const QByteArray& bytes);

// Called with the file and the reason when a settings write fails: once for a file, not again
// until a write to it has succeeded (a key written at each keystroke is reported once).
void SetSettingsFailureHandler(
    std::function<void(const QString& file, const QString& reason)> handler);
