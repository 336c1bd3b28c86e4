#pragma once
// The settings files and the keys the program reads and writes in them.

#include <QString>

// File names in the program directory.
inline constexpr char16_t kConfigFile[] = u"config.ini";
inline constexpr char16_t kReceiptFile[] = u"配置.ini";
inline constexpr char16_t kRememberFile[] = u"qwert.ini";

QString ConfigPath();    // program directory + "/config.ini"
QString ReceiptPath();   // program directory + "/配置.ini"
QString RememberPath();  // program directory + "/qwert.ini"

// Section [setup] of config.ini.
QString ReadSetupKey(const QString& key);
void WriteSetupKey(const QString& key, const QString& value);

// Value formats: a flag is on only for the text "ture"; colours are Windows colour integers
// (0x00BBGGRR) in decimal; numbers follow the program's text-to-number rule.
inline constexpr char16_t kFlagOn[] = u"ture";
inline constexpr char16_t kFlagOff[] = u"false";
bool IsFlagOn(const QString& value);
QString FlagText(bool on);

bool SetupFlag(const QString& key);
qint64 SetupColor(const QString& key);  // a Windows colour integer
double SetupNumber(const QString& key);

// Keys of [setup].
namespace SetupKey {
inline const QString kPassword = QStringLiteral("password");
inline const QString kBeep = QStringLiteral("beep");
inline const QString kBeepView = QStringLiteral("beepview");
inline const QString kBeepColor = QStringLiteral("beepcolor");
inline const QString kLine = QStringLiteral("line");
inline const QString kBgTwo = QStringLiteral("bgtwo");
inline const QString kBgOne = QStringLiteral("bgone");
inline const QString kLastColor = QStringLiteral("lastcolor");
inline const QString kZero = QStringLiteral("zero");
inline const QString kZeroColor = QStringLiteral("zerocolor");
inline const QString kRmbColor = QStringLiteral("rmbcolor");
inline const QString kOutColor = QStringLiteral("outcolor");
inline const QString kBackPath = QStringLiteral("backpath");
inline const QString kName = QStringLiteral("name");
inline const QString kAdress = QStringLiteral("adress");
inline const QString kTell = QStringLiteral("tell");
inline const QString kTitle = QStringLiteral("dqmc");
inline const QString kUpdateCheck = QStringLiteral("检查更新");
inline const QString kSelectColor = QStringLiteral("selectcolor");
inline const QString kSelectLine = QStringLiteral("selectline");
// The payment method this till took last.
inline const QString kPayMethod = QStringLiteral("付款方式");
// A flag: ordinary users of this till may book a stocktake, not only count it.
inline const QString kStocktakeBooking = QStringLiteral("盘点确认");
}  // namespace SetupKey

// Section [服务器] of config.ini: where the books are kept. 数据库=PostgreSQL keeps them on the
// database server named by 连接, a libpq connection string ("host=... dbname=... user=...");
// without the section, or with any other value, they are data.db in the program directory.
inline const QString kServerSection = QStringLiteral("服务器");
namespace ServerKey {
inline const QString kStore = QStringLiteral("数据库");
inline const QString kConnection = QStringLiteral("连接");
}  // namespace ServerKey
inline const QString kServerStore = QStringLiteral("PostgreSQL");

// Section [Skin] of config.ini and section [程序配置] of 配置.ini.
inline const QString kSkinSection = QStringLiteral("Skin");
inline const QString kReceiptSection = QStringLiteral("程序配置");
