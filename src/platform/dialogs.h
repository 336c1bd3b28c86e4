#pragma once
// Every message box, input box, file or folder dialog and modal window opening goes through
// this seam, so that tests answer them without a modal loop.

#include <QColor>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QWidget;

enum class BoxIcon { None, Information, Warning, Error, Question };
enum class BoxButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class BoxAnswer { Ok, Cancel, Yes, No, Retry };

// What a skinned message box shows (drawn by the window skin); the seam decides whether it
// is really run.
struct SkinBoxRequest {
    QString text;
    QString caption;
    int type = 0;           // button set
    int icon = 0;           // icon number
    int defaultButton = 0;  // 1-based
};

// Long work the user watches and may stop: the work reports how far it got.
class Progress {
  public:
    virtual ~Progress() = default;
    // done of total steps; false once the user cancelled.
    virtual bool Advance(qint64 done, qint64 total) = 0;
};

class DialogSeam {
  public:
    virtual ~DialogSeam() = default;

    virtual BoxAnswer SystemMessage(QWidget* parent, const QString& text, const QString& caption,
                                    BoxIcon icon, BoxButtons buttons) = 0;
    // nullopt when the user cancels.
    virtual std::optional<QString> InputText(QWidget* parent, const QString& prompt,
                                             const QString& caption, const QString& initial,
                                             bool password) = 0;
    // "" when the user cancels.
    virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString FolderName(QWidget* parent, const QString& caption, const QString& dir) = 0;
    // The colour picked starting from initial; nullopt when the user cancels. Seams that
    // never show a colour box keep this answer.
    virtual std::optional<QColor> PickColor(QWidget* /*parent*/, const QColor& /*initial*/) {
        return std::nullopt;
    }
    // Progress of long work, labelled text, with a cancel button; it closes when the returned
    // object goes. Seams that never show progress keep this answer: work that is never
    // cancelled.
    virtual std::unique_ptr<Progress> StartProgress(QWidget* parent, const QString& text);
    // Runs window modally and returns its result code.
    virtual int RunModal(QDialog* window) = 0;
    // Runs a skinned message box: run() shows it and returns its result.
    virtual int SkinMessage(const SkinBoxRequest& request, const std::function<int()>& run) = 0;
};

// The seam in use: the real dialogs unless a test installed its own.
DialogSeam& Dialogs();
// Installs seam (not owned); nullptr restores the real dialogs.
void SetDialogs(DialogSeam* seam);

// Loads Qt's own Chinese texts (file dialogs, standard buttons) from the system's Qt
// translations; false when they are not installed.
bool InstallQtChinese();
