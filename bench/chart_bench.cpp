// The sales charts at 1,000,000 sales: the time the 销售统计 page takes to show the monthly
// and the daily chart of the current year and month (reading, axes, bars, one repaint), when
// the sales span eighteen months and when all of them fall in the charted year.
// Usage: bench_chart
#include <sqlite3.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>

#include "bench/bench_support.h"
#include "common/date_text.h"
#include "common/program_dir.h"
#include "common/session.h"
#include "stats/bar_chart.h"
#include "stats/chart_page.h"
#include "store/shared_db.h"

namespace {

constexpr int kSales = 1000000;

// kSales sales over days days up to the benchmark's "today", at times of day through opening
// hours, in one transaction.
void MakeSales(int days) {
    sqlite3* db = SharedConnection().GetHandle();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into sell (名称, 销售单价, 销售数量, 销售金额, 销售日期, 净利润) "
                       "values ('圆珠笔', ?, ?, ?, ?, ?)",
                       -1, &stmt, nullptr);
    const QDateTime first(QDate(2012, 6, 15).addDays(1 - days), QTime(8, 0));
    const qint64 perDay = kSales / days + 1;
    for (int i = 0; i < kSales; ++i) {
        const double price = 1.5 + (i % 200) * 0.25, quantity = 1 + i % 5;
        const QDateTime when = first.addDays(i / perDay).addSecs((i % perDay) * 12 * 3600 / perDay);
        const QByteArray date = StoredDateText(when).toUtf8();
        sqlite3_bind_double(stmt, 1, price);
        sqlite3_bind_double(stmt, 2, quantity);
        sqlite3_bind_double(stmt, 3, price * quantity);
        sqlite3_bind_text(stmt, 4, date.constData(), static_cast<int>(date.size()),
                          SQLITE_TRANSIENT);
        sqlite3_bind_double(stmt, 5, price * quantity * 0.23);
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

template <typename Step>
double Time(Step step) {
    QElapsedTimer timer;
    timer.start();
    step();
    return timer.nsecsElapsed() / 1e6;
}

int RunOne(const char* title, int days) {
    QTemporaryDir dir;
    SetProgramDir(dir.path());
    const QString path = ProgramFile(QStringLiteral("data.db"));
    if (!CreateDatabaseFile(path) || !SharedConnection().OpenFile(path)) {
        std::printf("cannot create %s\n", qPrintable(path));
        return 1;
    }
    std::printf("%d sales over %d days (%s)\n", kSales, days, title);
    Report("database built", Time([&] { MakeSales(days); }));

    QWidget page;
    page.resize(1008, 608);
    BuildChartPage(&page);
    page.show();
    QApplication::processEvents();
    ChartPage& charts = TheChartPage();
    auto show = [&] {
        ShowChartPage();
        charts.月销售统计柱状图控件->repaint();
        charts.日销售统计柱状图控件->repaint();
    };
    Report("first showing of the page", Time(show));
    constexpr int kRuns = 5;
    double total = 0;
    for (int i = 0; i < kRuns; ++i) total += Time(show);
    Report("showing the page (mean of 5)", total / kRuns);
    Report("monthly profit (按钮11)", Time([&] { charts.按钮11->click(); }));
    Report("daily profit (按钮8)", Time([&] { charts.按钮8->click(); }));

    ForgetChartPage();
    SharedRecordSet().Close();
    SharedConnection().Close();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    NoDialogs dialogs;
    SetDialogs(&dialogs);
    SetNowForTest(QDateTime(QDate(2012, 6, 15), QTime(9, 3, 7)));
    CurrentSession().userRole = kSuperAdmin;
    if (RunOne("eighteen months", 531) != 0) return 1;
    return RunOne("all in the charted year", 166);
}
