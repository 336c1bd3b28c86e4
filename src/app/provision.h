#pragma once
// First start: every file the program needs and does not find is written from its own copy.

#include <QByteArray>

// The default settings files, GBK with CR LF, exactly as the program writes them.
QByteArray DefaultConfigBytes();
QByteArray DefaultReceiptBytes();

// Writes config.ini, data.db (then asks about the video tutorial) and 配置.ini, each only when
// it is missing. A failed write is not reported: it shows later as default values or as a
// database that cannot be opened.
void ProvisionFiles();

// Starts the video tutorial of the program directory; a missing one is not reported.
void StartTutorial();
