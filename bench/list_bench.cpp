// The whole program at a shop's full size: 100,000 goods and 1,000,000 sales (with a few
// thousand income, expense and bank entries). Times, each in a process of its own so that
// every peak memory figure is its own:
//   - start-up to the login window shown, from the start of the process, after a clean close
//     and after a copy of the program ended with the ledger open;
//   - the login and each page's first fill as the main window makes it;
//   - a sale end to end (the sell window opened from the stock list, "确认销售", the lists'
//     update) and a restock (the window opened, "确认入库", the lists' update);
//   - the export of the whole sales list to Excel;
//   - the peak memory of the whole program (VmHWM);
//   - beside the sales list's first fill, its peer: a QTableView over a QSqlQueryModel of
//     "select * from sell" on the same data.db, at the grid's size, its first screen painted
//     (in a process of its own, with its own peak memory).
// The ledger is built once and kept beside the executable (list_bench_ledger_v1.db); each
// run works on a copy of it in a temporary program directory.
// Usage: bench_list            (all of the above)
//        bench_list server "CONNECTION"   (the same on a PostgreSQL server's database)
//        bench_list startup DIR | crash DIR | work DIR | peer DIR WIDTH HEIGHT
//                                                   (one step, run by the above)
#include <sqlite3.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#ifdef LK_BENCH_SQL_PEER
#include <QHeaderView>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>
#endif
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "admin/maintenance_window.h"
#include "app/login_window.h"
#include "app/main_window.h"
#include "app/open_database.h"
#include "app/provision.h"
#include "bench/bench_support.h"
#include "common/date_text.h"
#include "common/ini.h"
#include "common/program_dir.h"
#include "common/session.h"
#include "common/settings.h"
#include "ledger/goods.h"
#include "platform/record_grid.h"
#include "sales/sales_page.h"
#include "stock/stock_page.h"
#include "store/db_connection.h"
#include "store/migrate.h"
#include "store/shared_db.h"

namespace {

constexpr int kGoods = 100000;
constexpr int kSales = 1000000;
constexpr int kOther = 5000;
constexpr int kBank = 1000;
const QDate kToday(2012, 6, 15);

double Ms(const QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e6;
}

template <typename Step>
double Time(Step step) {
    QElapsedTimer timer;
    timer.start();
    step();
    return Ms(timer);
}

// The peak resident memory of the process as the kernel counts it, in MB.
double VmHwmMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return PeakRssMb();
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return PeakRssMb();
}

// ---- The ledger -------------------------------------------------------------------------

void MakeGoods(sqlite3* db) {
    InsertRows(db,
               "insert into buy (名称, 型号, 编码, 类型, 进货数量, 进货单价, 进货金额, 销售数量, "
               "销售单价, 销售金额, 存货数量, 存货金额, 入库日期, 供货商, 首拼) values "
               "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '2011-01-01', '城东批发部', ?)",
               kGoods, [](sqlite3_stmt* s, int i) {
                   const int k = i % 14;
                   const double bought = 1000, price = BenchCost(i), sold = 10;
                   BindText(s, 1, QByteArray(kNames[k]) + QByteArray::number(i / 14));
                   BindText(s, 2, "X" + QByteArray::number(i % 500));
                   BindText(s, 3, "69" + QByteArray::number(100000000 + i));
                   BindText(s, 4, kTypes[i % 6]);
                   sqlite3_bind_double(s, 5, bought);
                   sqlite3_bind_double(s, 6, price);
                   sqlite3_bind_double(s, 7, bought * price);
                   sqlite3_bind_double(s, 8, sold);
                   sqlite3_bind_double(s, 9, price * 1.3);
                   sqlite3_bind_double(s, 10, sold * price * 1.3);
                   sqlite3_bind_double(s, 11, bought - sold);
                   sqlite3_bind_double(s, 12, (bought - sold) * price);
                   BindText(s, 13, kInitials[k]);
               });
}

// Sales spread over the eighteen months up to the benchmark's "today", one in ten owing.
void MakeSales(sqlite3* db) {
    InsertRows(db, kSaleInsert, kSales, [](sqlite3_stmt* s, int i) { BindSale(s, i, kGoods); });
}

void MakeEntries(sqlite3* db) {
    InsertRows(db,
               "insert into other (类型, 编号, 项目, 数量, 单价, 金额, 日期, 备注) values "
               "(?, ?, ?, 1, ?, ?, ?, '')",
               kOther, [](sqlite3_stmt* s, int i) {
                   BindText(s, 1, i % 3 ? "支出" : "收入");
                   BindText(s, 2, "Q" + QByteArray::number(10000 + i));
                   BindText(s, 3, i % 3 ? "房租水电" : "废品回收");
                   sqlite3_bind_double(s, 4, 50 + i % 300);
                   sqlite3_bind_double(s, 5, 50 + i % 300);
                   BindText(s, 6, StoredDateText(QDate(2011, 1, 1).addDays(i % 532)).toUtf8());
               });
    InsertRows(db,
               "insert into bank (银行, 账户, 方式, 金额, 日期, 备注) values "
               "('农业银行', '6228480000000000', ?, ?, ?, '')",
               kBank, [](sqlite3_stmt* s, int i) {
                   BindText(s, 1, i % 2 ? "取款" : "存款");
                   sqlite3_bind_double(s, 2, 1000 + i % 5000);
                   BindText(s, 3, StoredDateText(QDate(2011, 1, 1).addDays(i % 532)).toUtf8());
               });
}

// The built ledger beside the executable; built once, under a temporary name, so that an
// interrupted build never leaves a file a later run would trust.
QString CachedLedger() {
    const QString path = QCoreApplication::applicationDirPath() + "/list_bench_ledger_v1.db";
    if (QFileInfo::exists(path)) return path;
    const QString building = path + ".building";
    QFile::remove(building);
    QElapsedTimer timer;
    timer.start();
    if (!CreateDatabaseFile(building)) {
        std::printf("cannot create %s\n", qPrintable(building));
        return QString();
    }
    sqlite3* db = nullptr;
    sqlite3_open_v2(building.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
    MakeGoods(db);
    MakeSales(db);
    MakeEntries(db);
    const bool done = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    if (!done || !QFile::rename(building, path)) {
        std::printf("cannot build %s\n", qPrintable(path));
        return QString();
    }
    std::printf("ledger built in %.1f s (%.0f MB), kept as %s\n", Ms(timer) / 1000,
                QFileInfo(path).size() / 1048576.0, qPrintable(path));
    return path;
}

// ---- Dialogs ----------------------------------------------------------------------------

// Answers every box at once (OK), names the export file, and hands each modal window to the
// step that opened it. Every text shown is kept, so that a failed step shows as one.
class BenchDialogs final : public DialogSeam {
  public:
    BoxAnswer SystemMessage(QWidget*, const QString& text, const QString&, BoxIcon,
                            BoxButtons) override {
        shown.append(text);
        return BoxAnswer::Ok;
    }
    std::optional<QString> InputText(QWidget*, const QString&, const QString&, const QString&,
                                     bool) override {
        return std::nullopt;
    }
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return exportFile;
    }
    QString FolderName(QWidget*, const QString&, const QString&) override { return {}; }
    int RunModal(QDialog* window) override { return modal ? modal(window) : 0; }
    int SkinMessage(const SkinBoxRequest& request, const std::function<int()>&) override {
        shown.append(request.text);
        return 1;
    }

    QStringList shown;
    QString exportFile;
    std::function<int(QDialog*)> modal;
};

// ---- The steps, each in its own process -------------------------------------------------

// What main() does before the login window: the same calls in the same order.
void StartLikeTheProgram(const QString& dir) {
    QApplication::setApplicationName(QStringLiteral("lankutong"));
    QApplication::setQuitOnLastWindowClosed(false);
    InstallQtChinese();
    SetProgramDir(dir);
    SetDatabaseOpener(OpenDatabase);
    ReportSettingsFailures();
}

int RunStartup(const QString& dir) {
    BenchDialogs dialogs;
    SetDialogs(&dialogs);
    StartLikeTheProgram(dir);
    LoginWindow* login = OpenLoginWindow();
    QApplication::processEvents();
    // The parent stops its clock at this line.
    std::printf("shown %d users\n", login->组合框1->count());
    std::fflush(stdout);
    for (const QString& text : dialogs.shown) std::printf("  message: %s\n", qPrintable(text));
    delete login;
    SharedRecordSet().Close();
    SharedConnection().Close();
    SetDialogs(nullptr);
    return dialogs.shown.isEmpty() ? 0 : 1;
}

// A copy of the program that dies with the ledger open.
int RunCrash(const QString& dir) {
    DbConnection db;
    if (!db.OpenFile(dir + "/data.db")) return 1;
    _exit(0);
}

void ReportMessages(BenchDialogs& dialogs, const QStringList& expected) {
    if (dialogs.shown != expected)
        std::printf("  ! messages: %s (expected: %s)\n", qPrintable(dialogs.shown.join(" | ")),
                    qPrintable(expected.join(" | ")));
    dialogs.shown.clear();
}

// The step's name padded to 48 columns, a Chinese character taking two.
QByteArray Label(const char* step) {
    const QString text = QString::fromUtf8(step);
    int columns = 0;
    for (const QChar c : text) columns += c.unicode() >= 0x2E80 ? 2 : 1;
    return (text + QString(std::max(0, 48 - columns), u' ')).toUtf8();
}

void Line(const char* step, double ms) {
    std::printf("  %s %9.1f ms   VmHWM %6.0f MB\n", Label(step).constData(), ms, VmHwmMb());
    std::fflush(stdout);
}

void Figure(const char* step, double value, const char* unit) {
    std::printf("  %s %9.2f %s\n", Label(step).constData(), value, unit);
    std::fflush(stdout);
}

void Mean(const char* step, QList<double> ms) {
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double m : ms) sum += m;
    std::printf("  %s %9.1f ms   (min %.1f, max %.1f, %lld runs)\n", Label(step).constData(),
                sum / ms.size(), ms.first(), ms.last(), static_cast<long long>(ms.size()));
    std::fflush(stdout);
}

// The peer of the sales list's first screen: Qt's own table view over its own query model of
// every sale, at the grid's size, on the same file. Prints the time from opening the file to
// the first screen painted, and the process's peak memory.
int RunPeer(const QString& dir, int width, int height) {
#ifdef LK_BENCH_SQL_PEER
    QElapsedTimer timer;
    timer.start();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        std::printf("no QSQLITE driver\n");
        return 1;
    }
    double ms = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(dir + QStringLiteral("/data.db"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            std::printf("%s\n", qPrintable(db.lastError().text()));
            return 1;
        }
        QSqlQueryModel model;
        model.setQuery(QSqlQuery(QStringLiteral("select * from sell"), db));
        QTableView view;
        view.setModel(&model);
        view.resize(width, height);
        view.show();
        view.repaint();
        ms = Ms(timer);
        std::printf("%.1f ms %.0f MB %lld rows read\n", ms, VmHwmMb(),
                    static_cast<long long>(model.rowCount()));
    }
    QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
    return 0;
#else
    Q_UNUSED(dir);
    Q_UNUSED(width);
    Q_UNUSED(height);
    std::printf("built without Qt's SQL module\n");
    return 1;
#endif
}

// Runs the peer in a process of its own and prints its line beside the sales list's.
void PeerLine(const QString& dir, QSize size) {
    QProcess peer;
    peer.start(QCoreApplication::applicationFilePath(),
               {"peer", dir, QString::number(size.width()), QString::number(size.height())});
    peer.waitForFinished(60000);
    const QList<QByteArray> words = peer.readAllStandardOutput().trimmed().split(' ');
    if (peer.exitCode() != 0 || words.size() < 5) {
        std::printf("  ! peer: %s\n", words.join(' ').constData());
        return;
    }
    std::printf("  %s %9.1f ms   VmHWM %6.0f MB (its own process; %s rows read)\n",
                Label("QTableView + QSqlQueryModel, same screen").constData(), words[0].toDouble(),
                words[2].toDouble(), words[4].constData());
    std::fflush(stdout);
}

// Right-clicks row of the stock list, as OnStockGridMouseUp selects it.
void SelectStockRow(int row) {
    Session& session = CurrentSession();
    session.selectedRow = row;
    session.selectedId = StockGrid()->CellText(row, 1);
}

int RunWork(const QString& dir) {
    BenchDialogs dialogs;
    SetDialogs(&dialogs);
    SetNowForTest(QDateTime(kToday, QTime(9, 3, 7)));
    StartLikeTheProgram(dir);
    LoginWindow* login = nullptr;
    Line("login window shown", Time([&] {
             login = OpenLoginWindow();
             QApplication::processEvents();
         }));
    login->编辑框2->setText(QStringLiteral("642"));
    Line("login (main window shown, welcome page)", Time([&] {
             login->Login();
             QApplication::processEvents();
         }));
    MainWindow* main = TheMainWindow();
    if (!main) {
        std::printf("  ! no main window: %s\n", qPrintable(dialogs.shown.join(" | ")));
        return 1;
    }
    ReportMessages(dialogs, {});

    std::printf("first fill of each page (the page shown, one repaint):\n");
    const double bareSell = BareRead("select * from sell");
    Line("bare SQLite read of sell", bareSell);
    Line("bare read of buy", BareRead("select * from buy"));
    const std::pair<const char*, int> pages[] = {
        {"库管 (stock list)", MainWindow::kStockPage},
        {"销售明细 (sales list)", MainWindow::kSalesPage},
        {"销售统计 (charts)", MainWindow::kChartPage},
        {"其他收支 (income, expense)", MainWindow::kOtherPage},
        {"存款管理 (bank)", MainWindow::kBankPage},
        {"汇总统计 (summary)", MainWindow::kSummaryPage}};
    for (const auto& [name, page] : pages) {
        const double ms = Time([&] {
            main->ShowPage(page);
            main->repaint();
        });
        Line(name, ms);
        if (page == MainWindow::kSalesPage) {
            Figure("sales list fill / bare read of sell", ms / bareSell, "x");
            PeerLine(dir, SalesGrid()->size());
        }
    }
    ReportMessages(dialogs, {});
    main->ShowPage(MainWindow::kStockPage);
    QApplication::processEvents();

    std::printf("a sale from the stock list, end to end:\n");
    QList<double> opening, confirming, whole;
    for (int i = 0; i < 5; ++i) {
        SelectStockRow(2 + i * 997);
        QElapsedTimer timer;
        timer.start();
        dialogs.modal = [&](QDialog* window) {
            opening.append(Ms(timer));
            QElapsedTimer confirm;
            confirm.start();
            window->findChild<QPushButton*>(QStringLiteral("按钮1"))->click();
            confirming.append(Ms(confirm));
            return window->result();
        };
        TheStockPage().商品销售->trigger();
        main->repaint();
        whole.append(Ms(timer));
        ReportMessages(dialogs, {QStringLiteral("销售商品完成")});
    }
    dialogs.modal = nullptr;
    Mean("opening the sell window", opening);
    Mean("确认销售 with the lists' update", confirming);
    Mean("the whole sale with the repaint", whole);

    std::printf("a restock from the stock list, end to end:\n");
    QList<double> restockOpen, restockConfirm, restockWhole;
    for (int i = 0; i < 5; ++i) {
        SelectStockRow(3 + i * 1009);
        QElapsedTimer timer;
        timer.start();
        TheStockPage().商品续存->trigger();
        QWidget* window = main->findChild<QWidget*>(QStringLiteral("StockInWindow"));
        if (!window) {
            std::printf("  ! no restock window\n");
            return 1;
        }
        restockOpen.append(Ms(timer));
        QElapsedTimer confirm;
        confirm.start();
        window->findChild<QLineEdit*>(QStringLiteral("数量框"))->setText(QStringLiteral("12"));
        window->findChild<QPushButton*>(QStringLiteral("按钮2"))->click();
        restockConfirm.append(Ms(confirm));
        main->repaint();
        restockWhole.append(Ms(timer));
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ReportMessages(dialogs, {QStringLiteral("续存商品完成")});
    }
    Mean("opening the restock window", restockOpen);
    Mean("确认入库 with the lists' update", restockConfirm);
    Mean("the whole restock with the repaint", restockWhole);

    // Another till restocks one goods item; the time until this copy's stock list shows it
    // by itself (the change log and, on a server, the notice of the commit).
    {
        DbConnection till;
        const bool opened =
            SharedConnection().Path().isEmpty()
                ? till.OpenServer(IniRead(ConfigPath(), kServerSection, ServerKey::kConnection))
                : till.OpenFile(SharedConnection().Path());
        SelectStockRow(11);
        const qint64 goods = CurrentSession().selectedId.toLongLong();
        auto rowText = [] {
            QStringList cells;
            for (int c = 0; c < StockGrid()->Cols(); ++c) cells << StockGrid()->CellText(11, c);
            return cells;
        };
        const QStringList before = rowText();
        QElapsedTimer seen;
        seen.start();
        if (!opened || !ledger::Restock(till, goods, 1).IsDone()) {
            std::printf("  ! the other till's restock failed\n");
        } else {
            while (rowText() == before && seen.elapsed() < 5000)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
            Figure("another till's restock shown in this stock list", Ms(seen), "ms");
        }
    }

    std::printf("export of the whole sales list:\n");
    main->ShowPage(MainWindow::kSalesPage);
    QApplication::processEvents();
    dialogs.exportFile = dir + QStringLiteral("/销售明细.xlsx");
    CurrentSession().selectedRow = 2;  // the row right-clicked for the menu
    Line("输出销售Excel (1,000,000 sales)", Time([] { TheSalesPage().输出销售Excel->trigger(); }));
    Figure("workbook", QFileInfo(dialogs.exportFile).size() / 1048576.0, "MB");
    ReportMessages(dialogs, {QStringLiteral("输出Excel成功")});

    Figure("peak memory of the program (VmHWM)", VmHwmMb(), "MB");
    delete main;
    SharedRecordSet().Close();
    SharedConnection().Close();
    SetDialogs(nullptr);
    return 0;
}

// ---- The parent -------------------------------------------------------------------------

// Milliseconds from starting a step's process to its first line of output.
double TimeToFirstLine(const QStringList& arguments, QByteArray* output) {
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(QCoreApplication::applicationFilePath(), arguments);
    double ms = -1;
    while (process.waitForReadyRead(60000)) {
        *output += process.readAllStandardOutput();
        if (output->contains('\n')) {
            ms = Ms(timer);
            break;
        }
    }
    process.waitForFinished(60000);
    *output += process.readAllStandardOutput() + process.readAllStandardError();
    if (process.exitCode() != 0) std::printf("  ! step failed: %s\n", output->constData());
    return ms;
}

int RunAll() {
    const QString ledger = CachedLedger();
    if (ledger.isEmpty()) return 1;
    {
        // An index or table the program added since the ledger was built is added to the
        // kept ledger once, not to every copy while its start-up is timed.
        DbConnection once;
        if (!once.OpenFile(ledger)) {
            std::printf("cannot open %s: %s\n", qPrintable(ledger),
                        qPrintable(once.GetErrorDescription()));
            return 1;
        }
    }
    QTemporaryDir dir(QCoreApplication::applicationDirPath() + "/list_bench_XXXXXX");
    const QString data = dir.filePath("data.db");
    if (!QFile::copy(ledger, data)) return 1;
    QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner);
    // The program's files as a first start writes them; no update check over the network and
    // no daily backup on a worker thread while the steps are timed.
    SetProgramDir(dir.path());
    ProvisionFiles();
    WriteSetupKey(SetupKey::kUpdateCheck, QStringLiteral("否"));
    WriteSetupKey(kAutoBackupKey, QStringLiteral("否"));
    std::printf("%d goods, %d sales, %d income and expense entries, %d bank entries (%.0f MB)\n",
                kGoods, kSales, kOther, kBank, QFileInfo(data).size() / 1048576.0);

    std::printf("start-up to the login window, from the start of the process:\n");
    QList<double> starts;
    for (int i = 0; i < 5; ++i) {
        QByteArray output;
        starts.append(TimeToFirstLine({"startup", dir.path()}, &output));
    }
    Mean("after a clean close", starts);
    QProcess::execute(QCoreApplication::applicationFilePath(), {"crash", dir.path()});
    QByteArray output;
    const double afterCrash = TimeToFirstLine({"startup", dir.path()}, &output);
    Figure("after a copy ended with the ledger open", afterCrash, "ms");

    const int code =
        QProcess::execute(QCoreApplication::applicationFilePath(), {"work", dir.path()});
    return code;
}

}  // namespace

// The same steps on a PostgreSQL server: the kept ledger is moved to the server's database
// once (an empty one, or one this benchmark filled before), then the program runs on it.
int RunOnServer(const QString& connection) {
    const QString ledger = CachedLedger();
    if (ledger.isEmpty()) return 1;
    DbConnection file;
    DbConnection server;
    if (!file.OpenFile(ledger) || !server.OpenServer(connection)) {
        std::printf("cannot open the ledger or the server: %s %s\n",
                    qPrintable(file.GetErrorDescription()),
                    qPrintable(server.GetErrorDescription()));
        return 1;
    }
    QList<TableTally> tallies;
    QString error;
    if (!TallyTables(server, &tallies, &error)) return 1;
    if (tallies[0].rows == 0) {
        QElapsedTimer timer;
        timer.start();
        if (!MigrateToServer(file, server, {}, &tallies, &error)) {
            std::printf("the move to the server failed: %s\n", qPrintable(error));
            return 1;
        }
        Figure("moving the ledger to the server (once)", timer.elapsed() / 1000.0, "s");
    }
    file.Close();
    server.Close();
    QTemporaryDir dir(QCoreApplication::applicationDirPath() + "/list_bench_XXXXXX");
    SetProgramDir(dir.path());
    NoDialogs quiet;  // the first start's question about the new data.db beside the program
    SetDialogs(&quiet);
    ProvisionFiles();
    SetDialogs(nullptr);
    WriteSetupKey(SetupKey::kUpdateCheck, QStringLiteral("否"));
    WriteSetupKey(kAutoBackupKey, QStringLiteral("否"));
    IniWrite(ConfigPath(), kServerSection, ServerKey::kConnection, connection);
    IniWrite(ConfigPath(), kServerSection, ServerKey::kStore, kServerStore);
    std::printf("%d goods, %d sales on the server\n", kGoods, kSales);
    return QProcess::execute(QCoreApplication::applicationFilePath(), {"work", dir.path()});
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString step = argc > 2 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString dir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (step == "startup") return RunStartup(dir);
    if (step == "crash") return RunCrash(dir);
    if (step == "work") return RunWork(dir);
    if (step == "peer" && argc > 4) return RunPeer(dir, std::atoi(argv[3]), std::atoi(argv[4]));
    if (step == "server") return RunOnServer(dir);
    return RunAll();
}
