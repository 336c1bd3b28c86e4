#pragma once
// INI files with the Windows private-profile rules: GBK text, CR LF line ends, sections and
// keys matched without regard to ASCII case, a 10240-byte value buffer, no deletion of keys.

#include <QString>

// The value of key in section of file, cut to 10239 GBK bytes; "" for a missing file,
// section or key, and for an empty file name, section or key name (the file is not touched).
QString IniRead(const QString& file, const QString& section, const QString& key);

// Writes key=value, creating the file, the section (at the end of the file) or the key (after
// the last line of its section) as needed and leaving every other line as it was. An empty
// value leaves "key=". Returns false for empty names or a failed write; callers that follow
// the settings rules ignore the result.
bool IniWrite(const QString& file, const QString& section, const QString& key,
              const QString& value);
