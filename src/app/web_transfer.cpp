#include "app/web_transfer.h"

#include <curl/curl.h>

#include <QDateTime>
#include <QUuid>

namespace {

// A page larger than this is not the product page.
constexpr qsizetype kMaxPageBytes = 4 * 1024 * 1024;

// libcurl's global state is set up once, before the first transfer of any thread.
void InitCurl() {
    static const bool done = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Q_UNUSED(done);
}

size_t CollectBody(char* data, size_t size, size_t count, void* user) {
    auto* body = static_cast<QByteArray*>(user);
    const size_t bytes = size * count;
    if (body->size() + static_cast<qsizetype>(bytes) > kMaxPageBytes) return 0;
    body->append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

int CheckStop(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* stop = static_cast<const std::atomic<bool>*>(user);
    return stop && stop->load() ? 1 : 0;
}

struct Upload {
    QByteArray bytes;
    qsizetype sent = 0;
};

size_t FeedUpload(char* buffer, size_t size, size_t count, void* user) {
    auto* upload = static_cast<Upload*>(user);
    const qsizetype room = static_cast<qsizetype>(size * count);
    const qsizetype n = std::min(room, upload->bytes.size() - upload->sent);
    memcpy(buffer, upload->bytes.constData() + upload->sent, static_cast<size_t>(n));
    upload->sent += n;
    return static_cast<size_t>(n);
}

// A handle with what both transfers share: the time-out, the stop flag, no signals (worker
// threads).
CURL* NewHandle(const QByteArray& url, int timeoutMs, const std::atomic<bool>* stop) {
    InitCurl();
    CURL* curl = curl_easy_init();
    if (!curl) return nullptr;
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(timeoutMs));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeoutMs));
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, CheckStop);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, stop);
    return curl;
}

TransferResult Finish(CURL* curl, CURLcode code, const char* errorBuffer) {
    TransferResult result;
    result.ok = code == CURLE_OK;
    if (!result.ok)
        result.error = QString::fromUtf8(errorBuffer[0] ? errorBuffer : curl_easy_strerror(code));
    curl_easy_cleanup(curl);
    return result;
}

QByteArray EncodedWord(const QString& text) {
    return "=?UTF-8?B?" + text.toUtf8().toBase64() + "?=";
}

// An address without anything that could end a header or an SMTP command.
QByteArray Address(const QString& text) {
    QByteArray bytes = text.trimmed().toUtf8();
    bytes.replace('\r', "").replace('\n', "").replace('<', "").replace('>', "");
    return bytes;
}

}  // namespace

TransferResult FetchPage(const QString& url, int timeoutMs, const std::atomic<bool>* stop) {
    CURL* curl = NewHandle(url.toUtf8(), timeoutMs, stop);
    if (!curl) return {false, {}, QStringLiteral("libcurl 无法初始化")};
    QByteArray body;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, CollectBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    const CURLcode code = curl_easy_perform(curl);
    TransferResult result = Finish(curl, code, errorBuffer);
    if (result.ok) result.body = body;
    return result;
}

QByteArray MailText(const MailMessage& message) {
    const QByteArray body = message.body.toUtf8().toBase64();
    QByteArray text;
    text += "Date: " + QDateTime::currentDateTime().toString(Qt::RFC2822Date).toLatin1() + "\r\n";
    text += "From: <" + Address(message.from) + ">\r\n";
    text += "To: <" + Address(message.to) + ">\r\n";
    text += "Subject: " + EncodedWord(message.subject) + "\r\n";
    const QByteArray from = Address(message.from);
    const QByteArray host = from.mid(from.indexOf('@') + 1);
    text += "Message-ID: <" + QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + "@" +
            (from.contains('@') ? host : QByteArray("localhost")) + ">\r\n";
    text += "MIME-Version: 1.0\r\n";
    text += "Content-Type: text/plain; charset=UTF-8\r\n";
    text += "Content-Transfer-Encoding: base64\r\n\r\n";
    for (qsizetype i = 0; i < body.size(); i += 76) text += body.mid(i, 76) + "\r\n";
    return text;
}

TransferResult SendMail(const MailServer& server, const MailMessage& message, int timeoutMs,
                        const std::atomic<bool>* stop) {
    const bool tls = server.tls || !server.user.isEmpty();
    const bool implicitTls = tls && server.port == 465;
    const QByteArray url = (implicitTls ? "smtps://" : "smtp://") + server.host.trimmed().toUtf8() +
                           ":" + QByteArray::number(server.port);
    CURL* curl = NewHandle(url, timeoutMs, stop);
    if (!curl) return {false, {}, QStringLiteral("libcurl 无法初始化")};
    char errorBuffer[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    if (tls && !implicitTls) curl_easy_setopt(curl, CURLOPT_USE_SSL, CURLUSESSL_ALL);
    const QByteArray user = server.user.toUtf8();
    const QByteArray password = server.password.toUtf8();
    if (!user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }
    const QByteArray from = "<" + Address(message.from) + ">";
    const QByteArray to = "<" + Address(message.to) + ">";
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    curl_slist* recipients = curl_slist_append(nullptr, to.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
    Upload upload{MailText(message)};
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, FeedUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    const CURLcode code = curl_easy_perform(curl);
    curl_slist_free_all(recipients);
    TransferResult result = Finish(curl, code, errorBuffer);
    result.tlsRefused = code == CURLE_USE_SSL_FAILED;
    return result;
}
