#include "bench/bench_support.h"

#include <sqlite3.h>
#include <sys/resource.h>

#include <QElapsedTimer>
#include <cstdio>

#include "store/shared_db.h"

double PeakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void Report(const char* step, double ms) {
    std::printf("  %-40s %9.1f ms   peak RSS %7.1f MB\n", step, ms, PeakRssMb());
    std::fflush(stdout);
}

BoxAnswer NoDialogs::SystemMessage(QWidget*, const QString&, const QString&, BoxIcon, BoxButtons) {
    return BoxAnswer::Ok;
}
std::optional<QString> NoDialogs::InputText(QWidget*, const QString&, const QString&,
                                            const QString&, bool) {
    return std::nullopt;
}
QString NoDialogs::OpenFileName(QWidget*, const QString&, const QString&, const QString&) {
    return {};
}
QString NoDialogs::SaveFileName(QWidget*, const QString&, const QString&, const QString&) {
    return {};
}
QString NoDialogs::FolderName(QWidget*, const QString&, const QString&) {
    return {};
}
int NoDialogs::RunModal(QDialog*) {
    return 0;
}
int NoDialogs::SkinMessage(const SkinBoxRequest&, const std::function<int()>&) {
    return 1;
}

double BareRead(const char* sql) {
    QElapsedTimer timer;
    timer.start();
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(SharedConnection().GetHandle(), sql, -1, &stmt, nullptr);
    long long sink = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const int columns = sqlite3_column_count(stmt);
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
                case SQLITE_INTEGER:
                    sink += sqlite3_column_int64(stmt, c);
                    break;
                case SQLITE_FLOAT:
                    sink += static_cast<long long>(sqlite3_column_double(stmt, c));
                    break;
                case SQLITE_TEXT:
                    sink += sqlite3_column_bytes(stmt, c);
                    break;
                default:
                    break;
            }
        }
    }
    sqlite3_finalize(stmt);
    if (sink < 0) std::printf("impossible\n");  // keeps the reads from being optimised away
    return timer.nsecsElapsed() / 1e6;
}
