#pragma once
// What the benchmark programs share: the peak memory, a report line, dialogs that never
// wait, and the bare SQLite read every list fill is measured against.

#include "platform/dialogs.h"

double PeakRssMb();
void Report(const char* step, double ms);

// Every box is answered at once (OK, or cancelled where there is a choice of file or text).
class NoDialogs final : public DialogSeam {
  public:
    BoxAnswer SystemMessage(QWidget*, const QString&, const QString&, BoxIcon, BoxButtons) override;
    std::optional<QString> InputText(QWidget*, const QString&, const QString&, const QString&,
                                     bool) override;
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override;
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override;
    QString FolderName(QWidget*, const QString&, const QString&) override;
    int RunModal(QDialog*) override;
    int SkinMessage(const SkinBoxRequest&, const std::function<int()>&) override;
};

// Milliseconds to read the query's rows through the C API into a discarded result, each value
// in its own type, on the shared connection.
double BareRead(const char* sql);
