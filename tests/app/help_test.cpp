#include "app/help.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QUrlQuery>
#include <memory>

#include "common/gbk.h"
#include "common/ini.h"
#include "common/settings.h"
#include "platform/skin.h"
#include "support/program_fixture.h"

namespace {

// Answers every GET with one page, or never answers when silent.
class PageServer : public QObject {
  public:
    explicit PageServer(QByteArray page, bool silent = false)
        : page_(std::move(page)), silent_(silent) {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    request_ += socket->readAll();
                    if (silent_ || !request_.contains("\r\n\r\n")) return;
                    ++requests;
                    request_.clear();
                    socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: " +
                                  QByteArray::number(page_.size()) + "\r\n\r\n" + page_);
                    socket->disconnectFromHost();
                });
            }
        });
    }
    QString Address() const {
        return QStringLiteral("http://127.0.0.1:%1/").arg(server_.serverPort());
    }
    int requests = 0;

  private:
    QTcpServer server_;
    QByteArray page_;
    QByteArray request_;
    bool silent_;
};

// Takes one mail the way an outgoing mail server does, with a login.
class MailServerStub : public QObject {
  public:
    MailServerStub() {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = server_.nextPendingConnection();
            socket->write("220 stub ESMTP\r\n");
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                while (socket->canReadLine()) Line(socket, socket->readLine());
            });
        });
    }
    quint16 Port() const { return server_.serverPort(); }
    QList<QByteArray> commands;
    QByteArray data;

  private:
    void Line(QTcpSocket* socket, QByteArray line) {
        if (inData_) {
            if (line == ".\r\n") {
                inData_ = false;
                socket->write("250 queued\r\n");
            } else {
                data += line;
            }
            return;
        }
        line = line.trimmed();
        commands << line;
        const QByteArray verb = line.split(' ').first().toUpper();
        if (verb == "EHLO") {
            socket->write("250-stub\r\n250 AUTH PLAIN\r\n");
        } else if (line == "AUTH PLAIN") {
            socket->write("334 \r\n");
        } else if (verb == "DATA") {
            inData_ = true;
            socket->write("354 go on\r\n");
        } else if (verb == "QUIT") {
            socket->write("221 bye\r\n");
            socket->disconnectFromHost();
        } else if (verb == "AUTH" ||
                   (commands.size() > 1 && commands.at(commands.size() - 2) == "AUTH PLAIN")) {
            socket->write("235 welcome\r\n");
        } else {
            socket->write("250 ok\r\n");
        }
    }
    QTcpServer server_;
    bool inData_ = false;
};

class Help : public ProgramFixture {
  protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        Provision();
        owner_ = std::make_unique<QWidget>();
        Skin::Instance().Attach(owner_.get());
        SetBrowserForTest([this](const QUrl& url) {
            opened_ << url;
            return browserWorks_;
        });
    }
    void TearDown() override {
        SetBrowserForTest(nullptr);
        Skin::Instance().Detach();
        owner_.reset();
        ProgramFixture::TearDown();
    }
    void SetKey(const char* section, const char* key, const QString& value) {
        ASSERT_TRUE(
            IniWrite(ConfigPath(), QString::fromLatin1(section), QString::fromUtf8(key), value));
    }
    // Runs the check against server and lets its answer happen.
    void Check(bool report, const PageServer& server, int timeoutMs = 5000) {
        SetKey("setup", "官方网站", server.Address());
        const qsizetype shown = dialogs_.Shown().size();
        QThread* thread = StartUpdateCheck(report, owner_.get(), timeoutMs);
        QSignalSpy ended(thread, &QThread::finished);
        // The check returns at once; its answer comes when the page is in.
        EXPECT_EQ(dialogs_.Shown().size(), shown);
        ASSERT_TRUE(ended.wait(10000));
        QCoreApplication::processEvents();
    }
    static QByteArray NewerPage() {
        return ToGbk(QStringLiteral("岚库通进销存管理软件V1.3 新增会员管理 下载地址：")) +
               " http://127.0.0.1/lkt-v13.zip ";
    }

    std::unique_ptr<QWidget> owner_;
    QList<QUrl> opened_;
    bool browserWorks_ = true;
};

TEST_F(Help, ThePageOfThisVersionIsReportedOnlyWhenAsked) {
    PageServer server(ToGbk(QStringLiteral("岚库通进销存管理软件V1.2 欢迎使用")));
    Check(false, server);
    EXPECT_TRUE(dialogs_.Texts().isEmpty());
    Check(true, server);
    EXPECT_EQ(dialogs_.Texts(),
              QStringList{QStringLiteral("你现在使用的版本是  《最新版》  V1.2版！")});
    EXPECT_EQ(server.requests, 2);  // one fetch per check
}

TEST_F(Help, ANewerVersionOffersItsDownloadOrStopsTheReminder) {
    PageServer server(NewerPage());
    dialogs_.AnswerSkin(1);
    Check(false, server);
    ASSERT_EQ(opened_.size(), 1);
    EXPECT_EQ(opened_.first(), QUrl(QStringLiteral("http://127.0.0.1/lkt-v13.zip")));
    EXPECT_EQ(dialogs_.Shown().first().caption, QStringLiteral("检查更新"));

    dialogs_.AnswerSkin(0);
    dialogs_.AnswerSkin(0);
    Check(true, server);
    EXPECT_EQ(ReadSetupKey(SetupKey::kUpdateCheck), QString());

    dialogs_.Clear();
    dialogs_.AnswerSkin(0);
    dialogs_.AnswerSkin(1);
    Check(true, server);
    EXPECT_EQ(dialogs_.Texts(),
              (QStringList{QStringLiteral("最新版 岚库通进销存管理软件V1.3 是否更新"),
                           QStringLiteral("是否再提醒！   确定：不再提醒    取消：继续提醒")}));
    EXPECT_EQ(ReadSetupKey(SetupKey::kUpdateCheck), QStringLiteral("否"));
    EXPECT_EQ(opened_.size(), 1);
}

// A tampered page may name any address: only one on the product's own site, over http or
// https, is opened; the user is told of any other.
TEST_F(Help, ADownloadAddressOffTheProductsSiteIsNeverOpened) {
    for (const char* address : {" file:///tmp/lkt-v13.desktop ", " http://10.0.0.9/lkt-v13.zip ",
                                " smb://127.0.0.1/a "}) {
        PageServer server(ToGbk(QStringLiteral("岚库通进销存管理软件V1.3 下载地址：")) + address);
        dialogs_.Clear();
        dialogs_.AnswerSkin(1);
        Check(false, server);
        EXPECT_TRUE(opened_.isEmpty()) << address;
        ASSERT_EQ(dialogs_.Texts().size(), 2) << address;
        EXPECT_TRUE(dialogs_.Texts().last().startsWith(
            QStringLiteral("更新页给出的下载地址不是官方网站的网址，没有打开")))
            << address;
    }
}

TEST_F(Help, AnUnreadablePageFailsLoudlyOnlyWhenAsked) {
    const QString failed = QStringLiteral("对不起！  检查失败！  请检查是网络问题还是软件阻拦了！");
    PageServer other(QByteArray("<html>维护中</html>"));
    Check(true, other);
    EXPECT_EQ(dialogs_.Texts(), QStringList{failed});

    dialogs_.Clear();
    PageServer silent(QByteArray(), true);
    Check(false, silent, 300);
    EXPECT_TRUE(dialogs_.Texts().isEmpty());
    Check(true, silent, 300);
    EXPECT_EQ(dialogs_.Texts(), QStringList{failed});
}

// A mailbox login never goes over a connection without TLS: a server that offers none is
// refused before the login; without a login the mail goes through it.
TEST_F(Help, FeedbackGoesThroughTheConfiguredMailServerAndItsLoginOnlyOverTls) {
    MailServerStub stub;
    SetKey("mail", "server", QStringLiteral("127.0.0.1"));
    SetKey("mail", "port", QString::number(stub.Port()));
    SetKey("mail", "user", QStringLiteral("shop@example.com"));
    SetKey("mail", "password", QStringLiteral("密码1"));
    SetKey("mail", "to", QStringLiteral("makers@example.com"));
    {
        FeedbackWindow window;
        QSignalSpy ended(&window, &FeedbackWindow::sendingEnded);
        window.Send();
        ASSERT_TRUE(ended.wait(10000));
    }
    EXPECT_EQ(dialogs_.Texts(),
              QStringList{QStringLiteral(
                  "邮件服务器不提供加密连接（TLS），为保护邮箱密码，反馈没有发送。\r\n"
                  "请在设置中换用支持加密连接的邮件服务器。")});
    for (const QByteArray& command : stub.commands)
        EXPECT_FALSE(command.toUpper().startsWith("AUTH")) << command.constData();
    EXPECT_TRUE(stub.data.isEmpty());

    dialogs_.Clear();
    SetKey("mail", "user", QString());
    FeedbackWindow window;
    window.编辑框3->setPlainText(QStringLiteral("打印小票时\r\n.\r\n少一行"));
    QSignalSpy ended(&window, &FeedbackWindow::sendingEnded);
    window.Send();
    ASSERT_TRUE(ended.wait(10000));

    EXPECT_EQ(dialogs_.Texts(), QStringList{QStringLiteral("感谢您的意见，我们将加被努力。")});
    EXPECT_TRUE(stub.commands.contains("MAIL FROM:<makers@example.com>"));
    EXPECT_TRUE(stub.commands.contains("RCPT TO:<makers@example.com>"));
    // Every box empty still gives the subject its fixed part.
    EXPECT_TRUE(stub.data.contains("Subject: =?UTF-8?B?" +
                                   QStringLiteral(" 给你的 进销存 反馈意见").toUtf8().toBase64()));
    const QByteArray encoded = stub.data.mid(stub.data.indexOf("\r\n\r\n") + 4);
    EXPECT_EQ(QString::fromUtf8(QByteArray::fromBase64(encoded)),
              QStringLiteral(" 的QQ号：\r\n反馈信息：\r\n打印小票时\n.\n少一行"));
}

TEST_F(Help, AMailThatCannotBeHandedOverIsReportedAsSuch) {
    quint16 closedPort;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        closedPort = probe.serverPort();
    }
    SetKey("mail", "server", QStringLiteral("127.0.0.1"));
    SetKey("mail", "port", QString::number(closedPort));
    FeedbackWindow window;
    QSignalSpy ended(&window, &FeedbackWindow::sendingEnded);
    window.Send();
    EXPECT_FALSE(window.按钮1->isEnabled());
    ASSERT_TRUE(ended.wait(10000));
    EXPECT_EQ(dialogs_.Texts(),
              QStringList{QStringLiteral("反馈没有发送出去，\r\n请检查网络和邮件设置后再试。")});
    EXPECT_TRUE(window.按钮1->isEnabled());
}

TEST_F(Help, WithoutAMailServerFeedbackOpensTheMailProgramFilledIn) {
    FeedbackWindow window;
    window.编辑框1->setText(QStringLiteral("王五"));
    window.编辑框2->setText(QStringLiteral("12345"));
    window.编辑框3->setPlainText(QStringLiteral("进价&售价 = 利润 + 税？"));
    window.Send();
    ASSERT_EQ(opened_.size(), 1);
    const QUrl url = opened_.first();
    EXPECT_EQ(url.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(url.path(), QStringLiteral("fankui@lankutong.com"));
    const QUrlQuery query(url);
    EXPECT_EQ(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
              QStringLiteral("王五 给你的 进销存 反馈意见"));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
              QStringLiteral("王五 的QQ号：12345\r\n反馈信息：\r\n进价&售价 = 利润 + 税？"));
    EXPECT_EQ(dialogs_.Texts(), QStringList{QStringLiteral("感谢您的意见，我们将加被努力。")});

    dialogs_.Clear();
    browserWorks_ = false;
    window.Send();
    EXPECT_EQ(dialogs_.Texts(),
              QStringList{QStringLiteral("反馈没有发送出去，\r\n请检查网络和邮件设置后再试。")});
}

}  // namespace
