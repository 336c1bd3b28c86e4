#include "common/settings.h"

#include "common/ini.h"
#include "common/number_text.h"
#include "common/program_dir.h"

QString ConfigPath() { return ProgramFile(QString::fromUtf16(kConfigFile)); }
QString ReceiptPath() { return ProgramFile(QString::fromUtf16(kReceiptFile)); }
QString RememberPath() { return ProgramFile(QString::fromUtf16(kRememberFile)); }

QString ReadSetupKey(const QString& key) {
    return IniRead(ConfigPath(), QStringLiteral("setup"), key);
}

void WriteSetupKey(const QString& key, const QString& value) {
    IniWrite(ConfigPath(), QStringLiteral("setup"), key, value);
}

bool IsFlagOn(const QString& value) { return value == QString::fromUtf16(kFlagOn); }
QString FlagText(bool on) { return QString::fromUtf16(on ? kFlagOn : kFlagOff); }

bool SetupFlag(const QString& key) { return IsFlagOn(ReadSetupKey(key)); }
qint64 SetupColor(const QString& key) {
    return static_cast<qint64>(TextToNumber(ReadSetupKey(key)));
}
double SetupNumber(const QString& key) { return TextToNumber(ReadSetupKey(key)); }
