#include "platform/till_keeper.h"

#include <QFileInfo>
#include <QSysInfo>
#include <algorithm>
#include <memory>

#include "common/ini.h"
#include "common/program_dir.h"
#include "common/session.h"
#include "common/settings.h"
#include "common/workers.h"
#include "ledger/till_copy.h"
#include "platform/list_refresh.h"
#include "platform/skin.h"
#include "store/shared_db.h"

namespace {

std::function<void()>& OfflineHook() {
    static std::function<void()> hook;
    return hook;
}

void RefillEveryList() {
    for (ListId list : {ListId::Stock, ListId::Sales, ListId::Other, ListId::Bank, ListId::Summary})
        RefillWholeList(list);
}

// What one look on a worker found.
struct LookResult {
    bool reached = false;  // the server answered
    bool ok = false;       // and the copy's work with it went through
    ledger::SentSales sent;
    QString error;
};

// On the worker, with connections of its own: the till's copy brought up to date from the
// server, the sales waiting on it sent first.
void LookAtServer(const QString& connection, const QString& copyPath, LookResult* result) {
    DbConnection server;
    if (!server.OpenServer(connection)) {
        result->error = server.GetErrorDescription();
        return;
    }
    result->reached = true;
    DbConnection copy;
    if (!ledger::OpenTillCopy(copy, copyPath, &result->error)) return;
    result->ok = ledger::CountWaitingSales(copy) == 0 ||
                 ledger::SendWaitingSales(copy, server, &result->sent, &result->error);
    result->ok = result->ok && ledger::RefreshTillCopy(server, copy, &result->error);
}

void TellOfSentSales(const ledger::SentSales& sent) {
    QString text;
    if (sent.oversold > 0)
        text += QStringLiteral(
                    "离线时卖出的 %1 笔销售超出了服务器上的库存（超卖），已照常记入销售，"
                    "存货数量按实际减少。请核对这些商品的库存。")
                    .arg(sent.oversold);
    if (sent.refused > 0)
        text += QStringLiteral(
                    "%1%2 笔离线销售服务器没有接受：%3。它们仍保存在本机，"
                    "请告诉超级管理员。")
                    .arg(text.isEmpty() ? QString() : QStringLiteral("\r\n\r\n"))
                    .arg(sent.refused)
                    .arg(sent.refusal);
    if (!text.isEmpty())
        Skin::Instance().SkinMessageBox(text, 1, 2, 1, QStringLiteral("离线销售已上传"));
}

}  // namespace

QString TillCopyPath() {
    return ProgramFile(QStringLiteral("till_copy.db"));
}

QString TillName() {
    const QString name = IniRead(ConfigPath(), kServerSection, QStringLiteral("收银台")).trimmed();
    return name.isEmpty() ? QSysInfo::machineHostName() : name;
}

QString ServerConnectionText() {
    const QString store = IniRead(ConfigPath(), kServerSection, ServerKey::kStore).trimmed();
    if (store.compare(kServerStore, Qt::CaseInsensitive) != 0) return QString();
    return IniRead(ConfigPath(), kServerSection, ServerKey::kConnection);
}

bool TillSellsOffline() {
    return SharedConnection().SalesOnly();
}

bool StartSellingOffline(QString* error) {
    const QString path = TillCopyPath();
    if (!QFileInfo::exists(path)) {
        *error = QStringLiteral(
            "这台收银台还没有离线副本：它要先连上服务器一次，才能在服务器"
            "断开时继续销售");
        return false;
    }
    DbConnection& db = SharedConnection();
    db.Close();
    if (!ledger::OpenTillCopy(db, path, error)) return false;
    if (!ledger::TillCopyReady(db)) {
        db.Close();
        *error = QStringLiteral("这台收银台的离线副本还没有商品：它要先连上服务器一次");
        return false;
    }
    db.SetSalesOnly(true);
    RefillEveryList();
    NotifyOfflineChange();
    return true;
}

bool SellOfflineAfterLoss() {
    DbConnection& db = SharedConnection();
    QString error;
    return db.Server() && db.ServerLost() && StartSellingOffline(&error);
}

QString OfflineBannerText() {
    if (!TillSellsOffline()) return QString();
    const qint64 waiting = ledger::CountWaitingSales(SharedConnection());
    return QStringLiteral(
               "服务器连接不上，正在离线销售：%1 笔销售等待上传。入库、修改、删除和"
               "收款要等服务器恢复后再做。")
        .arg(std::max<qint64>(0, waiting));
}

void SetOfflineHook(std::function<void()> hook) {
    OfflineHook() = std::move(hook);
}

void NotifyOfflineChange() {
    if (OfflineHook()) OfflineHook()();
}

TillKeeper::TillKeeper(QObject* parent) : QObject(parent) {
    timer_.setInterval(kLookMs);
    connect(&timer_, &QTimer::timeout, this, [this] { Look(); });
}

TillKeeper::~TillKeeper() {
    StopWorker(worker_);
}

void TillKeeper::Start() {
    if (ServerConnectionText().isEmpty()) return;
    timer_.start();
    Look();
}

void TillKeeper::Look() {
    const QString connection = ServerConnectionText();
    if (worker_ || connection.isEmpty()) return;
    const bool offline = TillSellsOffline();
    auto result = std::make_shared<LookResult>();
    worker_ =
        StartWorker([connection, result, path = TillCopyPath()](
                        const std::atomic<bool>*) { LookAtServer(connection, path, result.get()); },
                    this,
                    [this, result, offline] {
                        worker_ = nullptr;
                        if (offline) {
                            if (result->reached) TellOfSentSales(result->sent);
                            if (result->ok) BackOnServer();
                            NotifyOfflineChange();
                            return;
                        }
                        // The server went away under a till that was on it: it sells on from its
                        // copy.
                        QString error;
                        if (!result->reached && SharedConnection().Server())
                            StartSellingOffline(&error);
                        if (result->sent.sent + result->sent.before > 0)
                            TellOfSentSales(result->sent);
                    },
                    QThread::LowPriority);
}

void TillKeeper::BackOnServer() {
    if (!TillSellsOffline()) return;
    const QString connection = ServerConnectionText();
    // The sales booked on the copy while the worker sent, then the server in its place.
    DbConnection server;
    if (!server.OpenServer(connection)) return;
    ledger::SentSales sent;
    QString error;
    if (!ledger::SendWaitingSales(SharedConnection(), server, &sent, &error)) return;
    server.Close();
    DbConnection& db = SharedConnection();
    db.Close();
    if (!db.OpenServer(connection)) {
        StartSellingOffline(&error);
        return;
    }
    RefillEveryList();
    TellOfSentSales(sent);
}
