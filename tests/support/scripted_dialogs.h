#pragma once
// The dialog seam for tests: records every box shown and answers from a script.

#include <QList>
#include <QString>
#include <deque>
#include <functional>

#include "platform/dialogs.h"

struct ShownBox {
    enum class Kind { System, Skin, Input, OpenFile, SaveFile, Folder, Window, Color };
    Kind kind;
    QString text;     // message, prompt, or the window's object name
    QString caption;  // caption, title, or the window's title
    BoxIcon icon = BoxIcon::None;
    BoxButtons buttons = BoxButtons::Ok;
    int skinType = 0;
    int skinIcon = 0;
    QString filter;
    QString dir;  // the folder a file dialog opens in
};

class ScriptedDialogs final : public DialogSeam {
  public:
    // Answers are used in order, one per box of the matching kind; a box without a scripted
    // answer gets OK (system), 1 (skin), cancel (input, files) or the window's own result
    // without being shown.
    void AnswerSystem(BoxAnswer answer) { system_.push_back(answer); }
    void AnswerSkin(int result) { skin_.push_back(result); }
    // nullopt: the user cancels.
    void AnswerInput(const std::optional<QString>& text) {
        input_.push_back({text.has_value(), text.value_or(QString())});
    }
    void AnswerFile(const QString& path) { files_.push_back(path); }
    // nullopt: the user cancels the colour box.
    void AnswerColor(const std::optional<QColor>& color) { colors_.push_back(color); }
    // The next progress shown is cancelled at the first report of the work.
    void CancelProgress() { cancelProgress_ = true; }
    const QStringList& ProgressTexts() const { return progressTexts_; }
    // Called with the window instead of its modal loop; the window's result is returned.
    void OnWindow(std::function<void(QDialog*)> action) { windows_.push_back(std::move(action)); }

    // Fails the running test when the script holds an answer or a window action that no box
    // or window took, naming them, and forgets them. The fixture calls it at the end of every
    // test: a window that never opened would otherwise pass every check its action makes.
    void ExpectAllUsed();

    const QList<ShownBox>& Shown() const { return shown_; }
    QStringList Texts() const;  // the text of every box shown, in order
    void Clear() { shown_.clear(); }

    BoxAnswer SystemMessage(QWidget* parent, const QString& text, const QString& caption,
                            BoxIcon icon, BoxButtons buttons) override;
    std::optional<QString> InputText(QWidget* parent, const QString& prompt, const QString& caption,
                                     const QString& initial, bool password) override;
    QString OpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& filter) override;
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& filter) override;
    QString FolderName(QWidget* parent, const QString& caption, const QString& dir) override;
    std::optional<QColor> PickColor(QWidget* parent, const QColor& initial) override;
    std::unique_ptr<Progress> StartProgress(QWidget* parent, const QString& text) override;
    int RunModal(QDialog* window) override;
    int SkinMessage(const SkinBoxRequest& request, const std::function<int()>& run) override;

  private:
    QString NextFile();
    QList<ShownBox> shown_;
    std::deque<BoxAnswer> system_;
    std::deque<int> skin_;
    std::deque<std::pair<bool, QString>> input_;  // accepted, text
    std::deque<QString> files_;
    std::deque<std::optional<QColor>> colors_;
    std::deque<std::function<void(QDialog*)>> windows_;
    bool cancelProgress_ = false;
    QStringList progressTexts_;
};
