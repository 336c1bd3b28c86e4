#include "platform/dialogs.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTranslator>

namespace {

QMessageBox::StandardButtons ToQt(BoxButtons buttons) {
    switch (buttons) {
        case BoxButtons::Ok:
            return QMessageBox::Ok;
        case BoxButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case BoxButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case BoxButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case BoxButtons::RetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon ToQt(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::None:
            return QMessageBox::NoIcon;
        case BoxIcon::Information:
            return QMessageBox::Information;
        case BoxIcon::Warning:
            return QMessageBox::Warning;
        case BoxIcon::Error:
            return QMessageBox::Critical;
        case BoxIcon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

class RealDialogs final : public DialogSeam {
  public:
    BoxAnswer SystemMessage(QWidget* parent, const QString& text, const QString& caption,
                            BoxIcon icon, BoxButtons buttons) override {
        QMessageBox box(ToQt(icon), caption, text, ToQt(buttons), parent);
        // The buttons read Chinese even where Qt's own translations are not installed.
        const std::pair<QMessageBox::StandardButton, const char16_t*> texts[] = {
            {QMessageBox::Ok, u"确定"},
            {QMessageBox::Cancel, u"取消"},
            {QMessageBox::Yes, u"是"},
            {QMessageBox::No, u"否"},
            {QMessageBox::Retry, u"重试"}};
        for (const auto& [button, label] : texts)
            if (QAbstractButton* b = box.button(button)) b->setText(QString::fromUtf16(label));
        switch (box.exec()) {
            case QMessageBox::Ok:
                return BoxAnswer::Ok;
            case QMessageBox::Yes:
                return BoxAnswer::Yes;
            case QMessageBox::No:
                return BoxAnswer::No;
            case QMessageBox::Retry:
                return BoxAnswer::Retry;
            default:
                return BoxAnswer::Cancel;
        }
    }

    std::optional<QString> InputText(QWidget* parent, const QString& prompt, const QString& caption,
                                     const QString& initial, bool password) override {
        QInputDialog dialog(parent);
        dialog.setWindowTitle(caption);
        dialog.setLabelText(prompt);
        dialog.setTextEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);
        dialog.setTextValue(initial);
        dialog.setOkButtonText(QStringLiteral("确定"));
        dialog.setCancelButtonText(QStringLiteral("取消"));
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.textValue();
    }

    QString OpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, caption, dir, filter);
    }

    QString SaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& filter) override {
        return QFileDialog::getSaveFileName(parent, caption, dir, filter);
    }

    QString FolderName(QWidget* parent, const QString& caption, const QString& dir) override {
        return QFileDialog::getExistingDirectory(parent, caption, dir);
    }

    std::optional<QColor> PickColor(QWidget* parent, const QColor& initial) override {
        const QColor color = QColorDialog::getColor(initial, parent);
        if (!color.isValid()) return std::nullopt;
        return color;
    }

    std::unique_ptr<Progress> StartProgress(QWidget* parent, const QString& text) override;

    int RunModal(QDialog* window) override { return window->exec(); }

    int SkinMessage(const SkinBoxRequest&, const std::function<int()>& run) override {
        return run();
    }
};

// A modal progress dialog: it appears only when the work lasts, and every report lets the
// windows repaint and the cancel button answer.
class DialogProgress final : public Progress {
  public:
    DialogProgress(QWidget* parent, const QString& text)
        : dialog_(text, QStringLiteral("取消"), 0, 100, parent) {
        dialog_.setWindowTitle(QStringLiteral("请稍候"));
        // Nothing else may change the books, and with them the list being written, meanwhile.
        dialog_.setWindowModality(Qt::ApplicationModal);
        dialog_.setMinimumDuration(300);
        dialog_.setAutoReset(false);
    }
    bool Advance(qint64 done, qint64 total) override {
        const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 0;
        if (percent != dialog_.value()) dialog_.setValue(percent);
        QCoreApplication::processEvents();
        return !dialog_.wasCanceled();
    }

  private:
    QProgressDialog dialog_;
};

class SilentProgress final : public Progress {
  public:
    bool Advance(qint64, qint64) override { return true; }
};

std::unique_ptr<Progress> RealDialogs::StartProgress(QWidget* parent, const QString& text) {
    return std::make_unique<DialogProgress>(parent, text);
}

DialogSeam*& Installed() {
    static DialogSeam* seam = nullptr;
    return seam;
}

}  // namespace

std::unique_ptr<Progress> DialogSeam::StartProgress(QWidget*, const QString&) {
    return std::make_unique<SilentProgress>();
}

DialogSeam& Dialogs() {
    static RealDialogs real;
    DialogSeam* seam = Installed();
    return seam ? *seam : real;
}

void SetDialogs(DialogSeam* seam) {
    Installed() = seam;
}

bool InstallQtChinese() {
    static QTranslator translator;
    if (!translator.isEmpty()) return true;
    if (!translator.load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}
