#include "app/help.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QUrlQuery>
#include <memory>

#include "app/app_images.h"
#include "app/web_transfer.h"
#include "common/gbk.h"
#include "common/ini.h"
#include "common/settings.h"
#include "common/workers.h"
#include "platform/dialogs.h"
#include "platform/skin.h"

namespace {

const QString kDefaultAddress = QStringLiteral("http://www.lankutong.com/");
const QString kAddressKey = QStringLiteral("官方网站");
const QString kMakersAddress = QStringLiteral("fankui@lankutong.com");
const QString kThisVersion = QStringLiteral("岚库通进销存管理软件V1.2");
const QString kNewerVersion = QStringLiteral("岚库通进销存管理软件V1.3");
constexpr int kMailTimeoutMs = 20000;

std::function<bool(const QUrl&)>& Opener() {
    static std::function<bool(const QUrl&)> opener;
    return opener;
}

QString AddressLine() {
    return QStringLiteral("\r\n官方网站：") + ProductAddress() + QStringLiteral("   更详细！");
}

QString MailKey(const char* key) {
    return IniRead(ConfigPath(), QStringLiteral("mail"), QString::fromLatin1(key)).trimmed();
}

// The site's name without a leading "www.", in lower case.
QString SiteOf(const QUrl& url) {
    QString host = url.host().toLower();
    if (host.startsWith(QLatin1String("www."))) host = host.mid(4);
    return host;
}

// Whether the page's download address may be opened: an http or https address on the
// product's own site. Anything else (a file:// address, another program's scheme, another
// site) would run or fetch what a tampered page names.
bool IsOwnDownload(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return false;
    const QString own = SiteOf(QUrl::fromUserInput(ProductAddress()));
    const QString site = SiteOf(url);
    return !own.isEmpty() && (site == own || site.endsWith(QLatin1Char('.') + own));
}

}  // namespace

QString ProductAddress() {
    const QString stored = ReadSetupKey(kAddressKey).trimmed();
    return stored.isEmpty() ? kDefaultAddress : stored;
}

bool OpenInBrowser(const QUrl& url) {
    if (Opener()) return Opener()(url);
    return QDesktopServices::openUrl(url);
}

void SetBrowserForTest(std::function<bool(const QUrl&)> opener) {
    Opener() = std::move(opener);
}

void ShowNewFeatures() {
    ShowMessage(QStringLiteral("新增记住密码 + 导出Excel + 银行管理系统 + "
                               "V1.2主要成分（扫描器销售）+ 数据恢复") +
                    AddressLine(),
                0);
}

void ShowUsageHelp() {
    ShowMessage(QStringLiteral("本软件暂无帮助文档，使用中的问题请通过QQ联系我们，"
                               "我们会及时解答；视频教程也能帮您很快上手。\r\n"
                               "快捷键：\r\n"
                               "Ctrl+1…Ctrl+0  十个导航按钮\r\n"
                               "F10 或 Alt  系统菜单\r\n"
                               "F1  帮助菜单\r\n"
                               "F5  刷新库存或汇总列表\r\n"
                               "Tab  下一个按钮或输入框\r\n"
                               "空格、回车  按下按钮\r\n"
                               "方向键  在皮肤面板中移动\r\n"
                               "菜单键、Shift+F10  列表菜单") +
                    AddressLine(),
                0);
}

UpdatePage ReadUpdatePage(const QByteArray& page) {
    const QString head = FromGbk(page).left(kThisVersion.size());
    if (head == kThisVersion) return UpdatePage::Current;
    if (head == kNewerVersion) return UpdatePage::Newer;
    return UpdatePage::Unknown;
}

QString DownloadAddress(const QByteArray& page) {
    return FromGbk(page.right(30)).trimmed();
}

void AnswerUpdatePage(bool report, bool ok, const QByteArray& page) {
    const UpdatePage kind = ok ? ReadUpdatePage(page) : UpdatePage::Unknown;
    if (kind == UpdatePage::Unknown) {
        if (report)
            ShowMessage(QStringLiteral("对不起！  检查失败！  请检查是网络问题还是软件阻拦了！"),
                        1);
        return;
    }
    if (kind == UpdatePage::Current) {
        if (report) ShowMessage(QStringLiteral("你现在使用的版本是  《最新版》  V1.2版！"), 1);
        return;
    }
    Skin& skin = Skin::Instance();
    const QString caption = QStringLiteral("检查更新");
    if (skin.SkinMessageBox(QStringLiteral("最新版 ") + kNewerVersion + QStringLiteral(" 是否更新"),
                            0, 0, 1, caption) == 1) {
        const QUrl download = QUrl::fromUserInput(DownloadAddress(page));
        if (IsOwnDownload(download))
            OpenInBrowser(download);
        else
            ShowMessage(QStringLiteral("更新页给出的下载地址不是官方网站的网址，没有打开：\r\n") +
                            DownloadAddress(page) + QStringLiteral("\r\n请到官方网站 ") +
                            ProductAddress() + QStringLiteral(" 下载新版本。"),
                        1);
        return;
    }
    if (skin.SkinMessageBox(QStringLiteral("是否再提醒！   确定：不再提醒    取消：继续提醒"), 0, 0,
                            1, caption) != 1)
        return;
    if (!IniWrite(ConfigPath(), QStringLiteral("setup"), SetupKey::kUpdateCheck,
                  QStringLiteral("否")))
        ShowMessage(QStringLiteral("无法写入 config.ini，下次启动仍会检查更新"), 2);
}

QThread* StartUpdateCheck(bool report, QObject* context, int timeoutMs) {
    auto result = std::make_shared<TransferResult>();
    const QString address = ProductAddress();
    return StartWorker(
        [result, address, timeoutMs](const std::atomic<bool>* stop) {
            *result = FetchPage(address, timeoutMs, stop);
        },
        context, [report, result] { AnswerUpdatePage(report, result->ok, result->body); });
}

QUrl FeedbackMailto(const QString& to, const QString& subject, const QString& body) {
    QUrl url(QStringLiteral("mailto:") + to);
    QUrlQuery query;
    // Fully encoded by hand: a "&", "+" or "=" typed in the message stays text.
    auto encode = [](const QString& text) {
        return QString::fromLatin1(QUrl::toPercentEncoding(text));
    };
    query.setQuery(QStringLiteral("subject=") + encode(subject) + QStringLiteral("&body=") +
                   encode(body));
    url.setQuery(query);
    return url;
}

FeedbackWindow::FeedbackWindow() : QDialog(nullptr) {
    setObjectName(QStringLiteral("FeedbackWindow"));
    setWindowTitle(QStringLiteral("问题反馈"));
    setFixedSize(468, 349);
    auto label = [this](const char16_t* name, const QString& text, int x, int y, int w, int h) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromUtf16(name));
        l->setGeometry(x, y, w, h);
        return l;
    };
    auto edit = [this](const char16_t* name, int x, int y) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromUtf16(name));
        e->setGeometry(x, y, 184, 24);
        return e;
    };
    透明标签1 = label(u"透明标签1", QStringLiteral("您的姓名："), 40, 32, 56, 24);
    编辑框1 = edit(u"编辑框1", 120, 32);
    透明标签2 = label(u"透明标签2", QStringLiteral("您的QQ号："), 40, 72, 64, 16);
    编辑框2 = edit(u"编辑框2", 120, 72);
    透明标签3 = label(u"透明标签3", QStringLiteral("反馈内容："), 40, 112, 120, 24);
    编辑框3 = new QPlainTextEdit(this);
    编辑框3->setObjectName(QStringLiteral("编辑框3"));
    编辑框3->setGeometry(32, 144, 408, 120);
    图片框1 = label(u"图片框1", QString(), 336, 24, 96, 96);
    图片框1->setPixmap(QPixmap::fromImage(ProgramIconImage(96)));
    按钮1 = new QPushButton(QStringLiteral("提交"), this);
    按钮1->setObjectName(QStringLiteral("按钮1"));
    按钮1->setGeometry(48, 280, 96, 24);
    按钮2 = new QPushButton(QStringLiteral("取消"), this);
    按钮2->setObjectName(QStringLiteral("按钮2"));
    按钮2->setGeometry(272, 280, 104, 24);
    connect(按钮1, &QPushButton::clicked, this, [this] { Send(); });
    connect(按钮2, &QPushButton::clicked, this, [this] { reject(); });
}

FeedbackWindow::~FeedbackWindow() {
    // A mail still on its way is stopped rather than left running for a window that is gone.
    StopWorker(worker_);
}

QString FeedbackWindow::Subject() const {
    return 编辑框1->text() + QStringLiteral(" 给你的 进销存 反馈意见");
}

QString FeedbackWindow::Body() const {
    return 编辑框1->text() + QStringLiteral(" 的QQ号：") + 编辑框2->text() +
           QStringLiteral("\r\n反馈信息：\r\n") + 编辑框3->toPlainText();
}

void FeedbackWindow::Send() {
    const QString to = MailKey("to").isEmpty() ? kMakersAddress : MailKey("to");
    MailServer server;
    server.host = MailKey("server");
    if (server.host.isEmpty()) {
        Answer(OpenInBrowser(FeedbackMailto(to, Subject(), Body())));
        return;
    }
    const QString port = MailKey("port");
    if (!port.isEmpty()) server.port = port.toInt();
    server.user = MailKey("user");
    server.password = IniRead(ConfigPath(), QStringLiteral("mail"), QStringLiteral("password"));
    server.tls = IsFlagOn(MailKey("tls"));
    const QString from = server.user.contains(u'@') ? server.user : to;
    const MailMessage message{from, to, Subject(), Body()};
    auto result = std::make_shared<TransferResult>();
    按钮1->setEnabled(false);
    worker_ = StartWorker(
        [server, message, result](const std::atomic<bool>* stop) {
            *result = SendMail(server, message, kMailTimeoutMs, stop);
        },
        this,
        [this, result] {
            worker_ = nullptr;
            按钮1->setEnabled(true);
            Answer(result->ok, result->tlsRefused);
        });
}

void FeedbackWindow::Answer(bool sent, bool tlsRefused) {
    if (sent)
        Skin::Instance().SkinMessageBox(QStringLiteral("感谢您的意见，我们将加被努力。"), 0, 0, 1,
                                        QStringLiteral("感谢您的意见"));
    else if (tlsRefused)
        ShowMessage(QStringLiteral("邮件服务器不提供加密连接（TLS），为保护邮箱密码，反馈没有发送。"
                                   "\r\n请在设置中换用支持加密连接的邮件服务器。"),
                    2);
    else
        ShowMessage(QStringLiteral("反馈没有发送出去，\r\n请检查网络和邮件设置后再试。"), 2);
    emit sendingEnded();
}

void OpenFeedbackWindow() {
    QPointer<FeedbackWindow> window = new FeedbackWindow;
    Dialogs().RunModal(window);
    delete window.data();
}
