// The close of a shift and of a day in a shop of 1,000,000 sales over a year at two tills with
// three clerks: the figures of an open shift, its handover, and the close of one day.
// Usage: bench_shift
#include <sqlite3.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

#include "bench/bench_support.h"
#include "common/date_text.h"
#include "common/program_dir.h"
#include "ledger/shift.h"
#include "store/shared_db.h"

namespace {

constexpr int kSales = 1000000;
constexpr int kDays = 365;
const QDate kFirstDay(2025, 12, 11);
const char* const kTills[2] = {"前台1", "前台2"};
const char* const kClerks[3] = {"店员甲", "店员乙", "店员丙"};
const char* const kMethods[5] = {"现金", "微信", "支付宝", "银行卡", "其他"};

// Sale i: day i % kDays, from 8 to 20 o'clock, till and clerk by turns.
QByteArray BookedAt(int i) {
    // About 2,740 sales a day, one every 15 seconds.
    const QDateTime at(kFirstDay.addDays(i % kDays), QTime(8, 0).addSecs((i / kDays) * 15));
    return StoredDateText(at).toUtf8();
}

void MakeShop() {
    sqlite3* db = SharedConnection().GetHandle();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    InsertRows(db,
               "insert into sell (名称, 类型, 销售单价, 销售数量, 销售金额, 欠款额, 原欠款额, "
               "净利润, 销售日期, 收银台, 操作员, 付款方式, 录入时间) values ('圆珠笔', '文具', "
               "3.5, 2, 7, ?, ?, 2, ?, ?, ?, ?, ?)",
               kSales, [](sqlite3_stmt* s, int i) {
                   const double debt = i % 10 == 0 ? 3 : 0;
                   sqlite3_bind_double(s, 1, debt);
                   sqlite3_bind_double(s, 2, debt);
                   const QByteArray at = BookedAt(i);
                   BindText(s, 3, at.left(10));
                   BindText(s, 4, kTills[i % 2]);
                   BindText(s, 5, kClerks[i % 3]);
                   BindText(s, 6, kMethods[i % 5]);
                   BindText(s, 7, at);
               });
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    SetProgramDir(dir.path());
    const QString path = ProgramFile(QStringLiteral("data.db"));
    if (!CreateDatabaseFile(path) || !SharedConnection().OpenFile(path)) {
        std::printf("cannot create %s\n", qPrintable(path));
        return 1;
    }
    MakeShop();
    std::printf("%d sales over %d days at 2 tills by 3 clerks\n", kSales, kDays);
    DbConnection& db = SharedConnection();
    const QDate day = kFirstDay.addDays(200);

    // A shift of the last day from 8 o'clock, read at 16 o'clock and handed over.
    SetNowForTest(QDateTime(day, QTime(8, 0)));
    const LedgerResult started = ledger::StartShift(db, kTills[0], kClerks[0], 200);
    SetNowForTest(QDateTime(day, QTime(16, 0)));
    QElapsedTimer timer;
    ledger::Shift shift;
    QString error;
    timer.start();
    const bool read = ledger::ReadShift(db, started.id, &shift, &error);
    Report("figures of an open shift (8 hours)", timer.nsecsElapsed() / 1e6);
    if (!read) std::printf("  failed: %s\n", qPrintable(error));
    std::printf("  %lld sales in it\n", static_cast<long long>(shift.figures.sales));

    timer.restart();
    ledger::Shift handed;
    const LedgerResult done = ledger::HandOverShift(db, started.id, 150, &handed);
    Report("handover, figures stored", timer.nsecsElapsed() / 1e6);
    if (!done.IsDone()) std::printf("  failed: %s\n", qPrintable(done.error));

    QList<ledger::ShiftFigures> figures;
    QList<ledger::Shift> shifts;
    timer.restart();
    const bool closed = ledger::ReadDayFigures(db, day, &figures, &shifts, &error);
    Report("close of a day, every till and clerk", timer.nsecsElapsed() / 1e6);
    if (!closed) std::printf("  failed: %s\n", qPrintable(error));
    std::printf("  %lld rows of figures, %lld handovers; peak memory %.0f MB\n",
                static_cast<long long>(figures.size()), static_cast<long long>(shifts.size()),
                PeakRssMb());
    SetNowForTest(QDateTime());
    db.Close();
    return 0;
}
