#pragma once
// The help menu: fixed texts, the product web page, the feedback window and the update check.

#include <QByteArray>
#include <QDialog>
#include <QPointer>
#include <QUrl>
#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QThread;

// The product web page: key 官方网站 of [setup], or the program's own address.
QString ProductAddress();

// Opens url with the desktop's default application (browser, mail program); false when none
// took it. Tests put their own opener in place (nullptr restores the desktop's).
bool OpenInBrowser(const QUrl& url);
void SetBrowserForTest(std::function<bool(const QUrl&)> opener);

void ShowNewFeatures();  // 最新特性
void ShowUsageHelp();    // 使用帮助

// What the product page says: it begins with a version text and ends with the download
// address of that version (its last 30 bytes).
enum class UpdatePage { Current, Newer, Unknown };
UpdatePage ReadUpdatePage(const QByteArray& page);
QString DownloadAddress(const QByteArray& page);

// Fetches the product page on a worker thread (time-out timeoutMs) and then, on the thread of
// context, answers as the check does; report false is the silent check at start, which shows
// nothing when the page cannot be read. Returns the worker (deleted when it ends).
QThread* StartUpdateCheck(bool report, QObject* context, int timeoutMs = 5000);
// The answer to a fetched page (ok false: it could not be fetched).
void AnswerUpdatePage(bool report, bool ok, const QByteArray& page);

// The mailto: address that opens the user's mail program with the feedback filled in.
QUrl FeedbackMailto(const QString& to, const QString& subject, const QString& body);

// The window "问题反馈".
class FeedbackWindow final : public QDialog {
    Q_OBJECT

  public:
    FeedbackWindow();
    ~FeedbackWindow() override;

    QString Subject() const;
    QString Body() const;
    // 按钮1: through the mail server of [mail] in config.ini on a worker thread when one is
    // set, else through the user's mail program.
    void Send();

    QLabel* 透明标签1;
    QLineEdit* 编辑框1;
    QLabel* 透明标签2;
    QLineEdit* 编辑框2;
    QLabel* 透明标签3;
    QPlainTextEdit* 编辑框3;
    QLabel* 图片框1;
    QPushButton* 按钮1;
    QPushButton* 按钮2;

  signals:
    // A send has ended and its outcome was shown.
    void sendingEnded();

  private:
    // tlsRefused: the mail server offered no TLS, and the login was never sent.
    void Answer(bool sent, bool tlsRefused = false);
    QPointer<QThread> worker_;
};

// Opens the feedback window modally, without a parent.
void OpenFeedbackWindow();
