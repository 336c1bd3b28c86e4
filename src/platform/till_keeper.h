#pragma once
// A till whose books are on a server keeps selling when the server is away. While connected it
// keeps its own copy of the goods, customers and users current (ledger/till_copy); when the
// server cannot be reached, at the start or in the middle of the day, the shared connection
// moves to that copy, which books sales only, and every sale made there waits under the number
// the till gave it. Once the server answers again the waiting sales go to it, each booked
// exactly once, and the till is back on the server. From the main thread only.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>
#include <QTimer>
#include <functional>

// Where this till keeps its copy, beside data.db.
QString TillCopyPath();
// The till's name in config.ini ([服务器] 收银台), by default the computer's name.
QString TillName();
// The connection string of config.ini when the books are on a server; empty for data.db.
QString ServerConnectionText();

// The shared connection is on the till's copy, selling without the server.
bool TillSellsOffline();
// Puts the till's copy in the place of the server on the shared connection; false with *error
// when there is none yet (a till that never reached its server) or it cannot be opened.
bool StartSellingOffline(QString* error);
// A statement on the shared connection just failed: when that was because its server went
// away, the till sells on from its copy at once instead of telling the user (the keeper's next
// look would find the same). False when the server is still there or the till has no copy.
bool SellOfflineAfterLoss();
// The banner's text while the till sells offline; empty while it is on its server.
QString OfflineBannerText();
// Called when the till went offline or came back, and when the waiting sales changed.
void SetOfflineHook(std::function<void()> hook);
void NotifyOfflineChange();

class TillKeeper : public QObject {
  public:
    static constexpr int kLookMs = 10000;

    explicit TillKeeper(QObject* parent = nullptr);
    ~TillKeeper() override;

    // Looks every kLookMs from now on, when the books are on a server or the till's copy.
    void Start();
    // One look now, unless the one before still runs: online the copy is brought up to date,
    // offline the server is tried and the waiting sales sent.
    void Look();
    // The look's work ran; its end is handled on this thread.
    bool Busy() const { return worker_ != nullptr; }

  private:
    // The server answered and took the waiting sales: the till goes back onto it.
    void BackOnServer();

    QTimer timer_;
    QPointer<QThread> worker_;
};
