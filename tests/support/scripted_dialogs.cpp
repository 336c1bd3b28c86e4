#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <QDialog>

QStringList ScriptedDialogs::Texts() const {
    QStringList texts;
    for (const ShownBox& box : shown_) texts << box.text;
    return texts;
}

void ScriptedDialogs::ExpectAllUsed() {
    QStringList unused;
    auto note = [&unused](size_t count, const char* what) {
        if (count > 0) unused << QStringLiteral("%1 %2 not used").arg(count).arg(what);
    };
    note(system_.size(), "system box answer(s)");
    note(skin_.size(), "skin box answer(s)");
    note(input_.size(), "input box answer(s)");
    note(files_.size(), "file or folder answer(s)");
    note(colors_.size(), "colour box answer(s)");
    note(windows_.size(), "window action(s)");
    note(cancelProgress_ ? 1 : 0, "progress cancel(s)");
    EXPECT_TRUE(unused.isEmpty()) << "the script holds more than the test showed: "
                                  << unused.join(QStringLiteral("; ")).toStdString()
                                  << "\nshown: " << Texts().join(u'|').toStdString();
    system_.clear();
    skin_.clear();
    input_.clear();
    files_.clear();
    colors_.clear();
    windows_.clear();
    cancelProgress_ = false;
}

BoxAnswer ScriptedDialogs::SystemMessage(QWidget*, const QString& text, const QString& caption,
                                         BoxIcon icon, BoxButtons buttons) {
    shown_.append(ShownBox{ShownBox::Kind::System, text, caption, icon, buttons, 0, 0, {}, {}});
    if (system_.empty()) return BoxAnswer::Ok;
    const BoxAnswer answer = system_.front();
    system_.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::InputText(QWidget*, const QString& prompt,
                                                  const QString& caption, const QString&, bool) {
    shown_.append(ShownBox{
        ShownBox::Kind::Input, prompt, caption, BoxIcon::None, BoxButtons::OkCancel, 0, 0, {}, {}});
    if (input_.empty()) return std::nullopt;
    const auto [accepted, text] = input_.front();
    input_.pop_front();
    if (!accepted) return std::nullopt;
    return text;
}

QString ScriptedDialogs::NextFile() {
    if (files_.empty()) return QString();
    const QString path = files_.front();
    files_.pop_front();
    return path;
}

QString ScriptedDialogs::OpenFileName(QWidget*, const QString& caption, const QString&,
                                      const QString& filter) {
    shown_.append(ShownBox{ShownBox::Kind::OpenFile,
                           QString(),
                           caption,
                           BoxIcon::None,
                           BoxButtons::Ok,
                           0,
                           0,
                           filter,
                           {}});
    return NextFile();
}

QString ScriptedDialogs::SaveFileName(QWidget*, const QString& caption, const QString& dir,
                                      const QString& filter) {
    shown_.append(ShownBox{ShownBox::Kind::SaveFile, QString(), caption, BoxIcon::None,
                           BoxButtons::Ok, 0, 0, filter, dir});
    return NextFile();
}

QString ScriptedDialogs::FolderName(QWidget*, const QString& caption, const QString&) {
    shown_.append(ShownBox{
        ShownBox::Kind::Folder, QString(), caption, BoxIcon::None, BoxButtons::Ok, 0, 0, {}, {}});
    return NextFile();
}

std::optional<QColor> ScriptedDialogs::PickColor(QWidget*, const QColor& initial) {
    shown_.append(ShownBox{ShownBox::Kind::Color,
                           initial.name(),
                           QString(),
                           BoxIcon::None,
                           BoxButtons::Ok,
                           0,
                           0,
                           {},
                           {}});
    if (colors_.empty()) return std::nullopt;
    const std::optional<QColor> answer = colors_.front();
    colors_.pop_front();
    return answer;
}

namespace {
class ScriptedProgress final : public Progress {
  public:
    explicit ScriptedProgress(bool cancel) : cancel_(cancel) {}
    bool Advance(qint64, qint64) override { return !cancel_; }

  private:
    bool cancel_;
};
}  // namespace

std::unique_ptr<Progress> ScriptedDialogs::StartProgress(QWidget*, const QString& text) {
    progressTexts_ << text;
    const bool cancel = cancelProgress_;
    cancelProgress_ = false;
    return std::make_unique<ScriptedProgress>(cancel);
}

int ScriptedDialogs::RunModal(QDialog* window) {
    shown_.append(ShownBox{ShownBox::Kind::Window,
                           window->objectName(),
                           window->windowTitle(),
                           BoxIcon::None,
                           BoxButtons::Ok,
                           0,
                           0,
                           {},
                           {}});
    if (!windows_.empty()) {
        auto action = std::move(windows_.front());
        windows_.pop_front();
        action(window);
    }
    return window->result();
}

int ScriptedDialogs::SkinMessage(const SkinBoxRequest& request, const std::function<int()>&) {
    shown_.append(ShownBox{ShownBox::Kind::Skin,
                           request.text,
                           request.caption,
                           BoxIcon::None,
                           BoxButtons::Ok,
                           request.type,
                           request.icon,
                           {},
                           {}});
    if (skin_.empty()) return 1;
    const int answer = skin_.front();
    skin_.pop_front();
    return answer;
}
