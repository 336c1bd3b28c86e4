#pragma once
// Brings the lists up to date with what other copies of the program on the same ledger (a
// second till, the office computer) change, within a second of their commit and without the
// user refreshing: each changed record's row is updated as after a change made here.

#include <QObject>
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
    QTimer timer_;
    qint64 dataVersion_ = -1;
    qint64 lastChange_ = -1;
};
