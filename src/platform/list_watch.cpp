#include "platform/list_watch.h"

#include <QSet>

#include "platform/list_refresh.h"
#include "store/change_log.h"
#include "store/shared_db.h"

namespace {

// More changes than this at one look (an import at another till) refill the lists instead.
constexpr int kRowsFollowed = 500;

void ApplyChange(const RowChange& change) {
    if (change.table == QLatin1String("buy")) {
        UpdateListRow(ListId::Stock, change.id);
        UpdateListRow(ListId::Summary, change.id);
    } else if (change.table == QLatin1String("sell")) {
        UpdateListRow(ListId::Sales, change.id);
    } else if (change.table == QLatin1String("other")) {
        UpdateListRow(ListId::Other, change.id);
    } else if (change.table == QLatin1String("bank")) {
        UpdateListRow(ListId::Bank, change.id);
    }
}

}  // namespace

ListWatch::ListWatch(QObject* parent) : QObject(parent) {
    timer_.setInterval(500);
    connect(&timer_, &QTimer::timeout, this, [this] { Look(); });
}

void ListWatch::Start() {
    DbConnection& db = SharedConnection();
    if (db.IsOpen()) {
        dataVersion_ = DataVersion(db);
        lastChange_ = LastChange(db);
        Listen();
    }
    timer_.start();
}

void ListWatch::Listen() {
    delete notices_.data();
    DbConnection& db = SharedConnection();
    listening_ = db.Server();
    const int socket = ListenForChanges(db);
    if (socket < 0) return;
    notices_ = new QSocketNotifier(socket, QSocketNotifier::Read, this);
    connect(notices_, &QSocketNotifier::activated, this, [this] {
        if (TakeChangeNotices(SharedConnection())) Look();
    });
}

void ListWatch::Look() {
    DbConnection& db = SharedConnection();
    if (!db.IsOpen()) {
        delete notices_.data();  // its socket is gone with the connection
        listening_ = nullptr;
        return;
    }
    // The books moved to another connection (a move to a server): listen there.
    if (db.Server() != listening_) Listen();
    // A connection made again after it was lost has a socket of its own.
    if (notices_ && notices_->socket() != ChangeSocket(db)) Listen();
    TakeChangeNotices(db);
    const qint64 version = DataVersion(db);
    if (version < 0) return;
    if (lastChange_ < 0) {
        lastChange_ = LastChange(db);
        if (lastChange_ >= 0) dataVersion_ = version;
        return;
    }
    if (version == dataVersion_) return;
    const ChangesRead read = ReadChanges(db, lastChange_, kRowsFollowed);
    if (!read.ok) return;
    dataVersion_ = version;
    lastChange_ = read.last;
    if (!read.complete) {
        for (ListId list :
             {ListId::Stock, ListId::Sales, ListId::Other, ListId::Bank, ListId::Summary})
            if (ListExists(list)) RefillWholeList(list);
        return;
    }
    // A row changed several times since the last look is brought up to date once.
    QSet<QPair<QString, qint64>> done;
    for (const RowChange& change : read.changes) {
        if (done.contains({change.table, change.id})) continue;
        done.insert({change.table, change.id});
        ApplyChange(change);
    }
}
