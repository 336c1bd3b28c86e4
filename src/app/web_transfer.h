#pragma once
// The program's two network transfers through libcurl: one HTTP GET of a whole page and one
// mail handed to an outgoing mail server. Both block until they end or their time-out passes,
// so callers run them on a worker thread. Nothing here shows anything.

#include <QByteArray>
#include <QString>
#include <atomic>

struct TransferResult {
    bool ok = false;
    QByteArray body;          // the page (GET only)
    QString error;            // libcurl's reason when !ok
    bool tlsRefused = false;  // the mail server would not encrypt the connection
};

// GET of url, redirections followed; an HTTP error status is a failure. The transfer gives up
// after timeoutMs, or soon after *stop becomes true.
TransferResult FetchPage(const QString& url, int timeoutMs,
                         const std::atomic<bool>* stop = nullptr);

struct MailServer {
    QString host;
    int port = 25;
    QString user;  // no login when empty
    QString password;
    // Implicit TLS on port 465, STARTTLS required on any other. A login always goes over TLS,
    // whatever this says: a mailbox password is never sent in clear.
    bool tls = false;
};

struct MailMessage {
    QString from;
    QString to;
    QString subject;
    QString body;
};

// The message in Internet mail form: UTF-8 headers and a base64 text body, CR LF line ends.
QByteArray MailText(const MailMessage& message);

// Hands message to server; ok once the server accepted it for delivery.
TransferResult SendMail(const MailServer& server, const MailMessage& message, int timeoutMs,
                        const std::atomic<bool>* stop = nullptr);
