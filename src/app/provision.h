#pragma once
// First start: every file the program needs and does not find is written from its own copy.

#include <QByteArray>

// The default settings files, GBK with CR LF, exactly as the program writes them.
QByteArray DefaultConfigBytes();
QByteArray DefaultReceiptBytes();

// Writes config.ini, data.db (then asks about the video tutorial) and 配置.ini, each only when
// it is missing (or, for a settings file, empty). A failed settings write is reported by the
// settings failure message; a database that could not be made shows when it is opened.
void ProvisionFiles();

// Tells the user, once per file, that a settings file could not be saved.
void ReportSettingsFailures();

// Starts the video tutorial of the program directory; a missing one is not reported.
void StartTutorial();
