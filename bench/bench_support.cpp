#include "bench/bench_support.h"

#include <sqlite3.h>
#include <sys/resource.h>

#include <QDate>
#include <QElapsedTimer>
#include <cstdio>

#include "common/date_text.h"
#include "store/shared_db.h"
#include "store/statement.h"

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
    if (!SharedConnection().GetHandle()) {
        // Books on a server: the rows as the store hands them over to a list, in pieces.
        Statement st(SharedConnection(), QString::fromUtf8(sql));
        st.ReadInPieces();
        long long sink = 0;
        while (st.Next())
            for (int c = 0; c < st.ColumnCount(); ++c) sink += st.TextBytes(c).size();
        if (sink < 0) std::printf("impossible\n");
        return timer.nsecsElapsed() / 1e6;
    }
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

void BindText(sqlite3_stmt* stmt, int index, const QByteArray& text) {
    sqlite3_bind_text(stmt, index, text.constData(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

const char* const kNames[14] = {"圆珠笔", "笔记本", "电池", "台灯", "螺丝刀", "毛巾", "饼干",
                                "矿泉水", "衬衫",   "积木", "胶带", "剪刀",   "插座", "灯泡"};
const char* const kInitials[14] = {"YZB", "BJB", "DC", "TD", "LSD", "MJ", "BG",
                                   "KQS", "CS",  "JM", "JD", "JD",  "CZ", "DP"};
const char* const kTypes[6] = {"文具", "电器", "五金", "日用品", "食品", "服装"};

namespace {
const char* const kCustomers[] = {"张三", "李四", "王五", "赵六", "城东小学", "", "华南公司"};
}  // namespace

double BenchCost(int goods) {
    return 1.5 + (goods % 200) * 0.25;
}

const char* const kSaleInsert =
    "insert into sell (名称, 型号, 编码, 类型, 进货单价, 存货数量, 销售单价, 销售数量, "
    "销售金额, 销售日期, 欠款额, 净利润, 客户编号, 客户名称, 联系方式, 客户地址, 备注, 首拼, "
    "UID) values (?, ?, ?, ?, ?, 500, ?, ?, ?, ?, ?, ?, ?, ?, '13800000000', ?, ?, ?, ?)";

void BindSale(sqlite3_stmt* s, int i, int goodsCount) {
    const int goods = i % goodsCount, k = goods % 14;
    const double cost = BenchCost(goods), price = cost * 1.3, quantity = 1 + i % 5;
    BindText(s, 1, QByteArray(kNames[k]) + QByteArray::number(goods / 14));
    BindText(s, 2, "X" + QByteArray::number(goods % 500));
    BindText(s, 3, "69" + QByteArray::number(100000000 + goods));
    BindText(s, 4, kTypes[goods % 6]);
    sqlite3_bind_double(s, 5, cost);
    sqlite3_bind_double(s, 6, price);
    sqlite3_bind_double(s, 7, quantity);
    sqlite3_bind_double(s, 8, price * quantity);
    BindText(s, 9, StoredDateText(QDate(2011, 1, 1).addDays(i % 532)).toUtf8());
    sqlite3_bind_double(s, 10, i % 10 ? 0 : price);
    sqlite3_bind_double(s, 11, (price - cost) * quantity);
    BindText(s, 12, "2011" + QByteArray::number(100000 + i));
    BindText(s, 13, kCustomers[i % 7]);
    BindText(s, 14, i % 3 ? QByteArray() : QByteArray("东大街 18 号"));
    BindText(s, 15, i % 4 ? QByteArray() : QByteArray("月结"));
    BindText(s, 16, kInitials[k]);
    sqlite3_bind_int64(s, 17, goods + 1);
}
