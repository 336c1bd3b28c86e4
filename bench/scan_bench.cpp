// A scan at the counter with 100,000 goods in stock: from the Enter the scanner types after a
// code to the receipt line in the list, for a code found whole, a code found only as part of
// a longer one, and a code of no goods; with the peak memory.
// Usage: bench_scan
#include <sqlite3.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <cstdio>

#include "bench/bench_support.h"
#include "common/program_dir.h"
#include "common/settings.h"
#include "platform/dialogs.h"
#include "sales/scan_sale_window.h"
#include "store/shared_db.h"

namespace {

constexpr int kGoods = 100000;
constexpr int kScans = 20;

void MakeGoods() {
    sqlite3* db = SharedConnection().GetHandle();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into buy (名称, 编码, 进货数量, 进货单价, 销售单价, 存货数量, 首拼) "
                       "values (?, ?, 100, 2, 3.5, 100, 'YZB')",
                       -1, &stmt, nullptr);
    for (int i = 0; i < kGoods; ++i) {
        const QByteArray name = QByteArray("圆珠笔") + QByteArray::number(i);
        const QByteArray code = "69" + QByteArray::number(100000000 + i);
        sqlite3_bind_text(stmt, 1, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 2, code.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

// Types the code into the box as key events, then times the Enter alone.
double TimeScan(ScanSaleWindow* window, const QString& code) {
    QLineEdit* box = window->商品编码编辑框;
    for (QChar ch : code) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(box, &key);
    }
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QElapsedTimer timer;
    timer.start();
    QApplication::sendEvent(box, &enter);
    return timer.nsecsElapsed() / 1e6;
}

double MeanScan(ScanSaleWindow* window, const QString& code) {
    double total = 0;
    for (int i = 0; i < kScans; ++i) total += TimeScan(window, code);
    return total / kScans;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    SetProgramDir(dir.path());
    NoDialogs dialogs;
    SetDialogs(&dialogs);
    const QString path = ProgramFile(QStringLiteral("data.db"));
    if (!CreateDatabaseFile(path) || !SharedConnection().OpenFile(path)) {
        std::printf("cannot create %s\n", qPrintable(path));
        return 1;
    }
    MakeGoods();
    std::printf("%d goods, mean of %d scans each\n", kGoods, kScans);

    ScanSaleWindow window(nullptr);
    window.show();
    QApplication::processEvents();
    const int before = window.列表框1->count();
    Report("code found whole (last goods)", MeanScan(&window, QStringLiteral("69100099999")));
    Report("code found whole (first goods)", MeanScan(&window, QStringLiteral("69100000000")));
    Report("code found as part of a longer one", MeanScan(&window, QStringLiteral("100099999")));
    Report("code of no goods", MeanScan(&window, QStringLiteral("6900000000000")));
    std::printf("  lines added: %d (expected %d)\n", window.列表框1->count() - before, 3 * kScans);
    SharedRecordSet().Close();
    SharedConnection().Close();
    SetDialogs(nullptr);
    return 0;
}
