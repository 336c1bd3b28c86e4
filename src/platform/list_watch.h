#pragma once
// Brings the lists up to date with what other copies of the program on the same ledger (a
// second till, the office computer) change, within a second of their commit and without the
// user refreshing: each changed record's row is updated as after a change made here. A copy
// looks twice a second; on a server it also looks as soon as the server tells it of a commit.

#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

class ListWatch : public QObject {
  public:
    explicit ListWatch(QObject* parent = nullptr);

    // Notes where the change log stands and looks twice a second from then on.
    void Start();
    // Applies what other connections committed since the last look; a look that cannot read
    // the ledger now (another till holds it) is made again at the next one.
    void Look();

  private:
    // On a server the notice of another till's commit brings the look forward; the timer
    // stays for a file and for a notice that arrived within another answer.
    void Listen();

    QTimer timer_;
    QPointer<QSocketNotifier> notices_;
    const void* listening_ = nullptr;  // the server connection the notices come from
    qint64 dataVersion_ = -1;
    qint64 lastChange_ = -1;
};
