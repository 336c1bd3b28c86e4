#include "ledger/shift.h"

#include <QDateTime>

#include "common/date_text.h"
#include "ledger/customers.h"
#include "ledger/other.h"
#include "ledger/sales.h"
#include "ledger_fixture.h"

namespace {

const QDate kDay(2024, 3, 1);

QDateTime At(int hour, int minute, int second = 0, int day = 0) {
    return QDateTime(kDay.addDays(day), QTime(hour, minute, second));
}

enum class Kind { Sale, Payment, Income, Expense };

// One booking at a till by a user: a sale of quantity goods for amount with debt, a payment of
// amount from the customer of the last sale with a debt, or an income or expense entry.
struct Booking {
    QDateTime at;
    const char* till;
    const char* user;
    Kind kind;
    double amount;
    const char* method;
    double quantity = 1;
    double debt = 0;
};

// The figures expected, amounts in fen: charged, debt, profit, payments received, income,
// expense, then by method 现金 微信 支付宝 银行卡 其他.
struct Expected {
    qint64 sales, goodsMilli, charged, debt, profit, payments, paymentsFen, income, expense;
    QList<qint64> byMethod;
};

void ExpectFigures(const ledger::ShiftFigures& got, const Expected& want, bool withProfit,
                   const char* what) {
    SCOPED_TRACE(what);
    EXPECT_EQ(got.sales, want.sales);
    EXPECT_EQ(got.goodsMilli, want.goodsMilli);
    EXPECT_EQ(got.chargedFen, want.charged);
    EXPECT_EQ(got.debtFen, want.debt);
    if (withProfit) {
        EXPECT_EQ(got.profitFen, want.profit);
    }
    EXPECT_EQ(got.payments, want.payments);
    EXPECT_EQ(got.paymentsFen, want.paymentsFen);
    EXPECT_EQ(got.incomeFen, want.income);
    EXPECT_EQ(got.expenseFen, want.expense);
    EXPECT_EQ(got.byMethodFen, want.byMethod);
}

class ShiftBooks : public OnBothStores<LedgerFixture> {
  protected:
    void TearDown() override { SetNowForTest(QDateTime()); }

    qint64 Start(const QDateTime& at, const char* till, const char* user, double openingFloat) {
        SetNowForTest(at);
        const LedgerResult r = ledger::StartShift(till1_, QString::fromUtf8(till),
                                                  QString::fromUtf8(user), openingFloat);
        EXPECT_TRUE(r.IsDone()) << r.error.toStdString();
        return r.id;
    }

    void Book(const Booking& b) {
        SetNowForTest(b.at);
        // The two tills book through their own connections.
        DbConnection& db = QByteArrayView(b.till) == QByteArrayView("一号台") ? till1_ : till2_;
        LedgerResult r;
        if (b.kind == Kind::Sale) {
            if (goods_ == 0) goods_ = AddGoods(1000);
            SaleInput s;
            s.goodsId = QString::number(goods_);
            s.名称 = QStringLiteral("圆珠笔");
            s.销售单价 = 12.5;
            s.销售数量 = b.quantity;
            s.销售金额 = b.amount;
            s.欠款额 = b.debt;
            s.销售日期 = b.at.date();
            if (b.debt > 0) s.客户名称 = QStringLiteral("王五");
            s.tillName = QString::fromUtf8(b.till);
            s.user = QString::fromUtf8(b.user);
            s.payMethod = QString::fromUtf8(b.method);
            r = ledger::RecordSale(db, s);
            lastSale_ = r.saleId;
            if (b.debt > 0)
                customer_ =
                    Value(QStringLiteral("sell"), QStringLiteral("客户ID"), r.saleId).toLongLong();
        } else if (b.kind == Kind::Payment) {
            ledger::PaymentInput p;
            p.customerId = customer_;
            p.日期 = b.at;
            p.金额 = b.amount;
            p.方式 = QString::fromUtf8(b.method);
            p.user = QString::fromUtf8(b.user);
            p.tillName = QString::fromUtf8(b.till);
            r = ledger::RecordPayment(db, p);
        } else {
            ledger::OtherEntry e;
            e.类型 = b.kind == Kind::Income ? QStringLiteral("收入") : QStringLiteral("支出");
            e.项目 = QStringLiteral("杂项");
            e.数量 = QStringLiteral("1");
            e.金额 = b.amount;
            e.日期 = b.at.date();
            e.user = QString::fromUtf8(b.user);
            e.tillName = QString::fromUtf8(b.till);
            e.payMethod = QString::fromUtf8(b.method);
            r = ledger::RecordOtherEntry(db, e);
        }
        ASSERT_TRUE(r.IsDone()) << r.error.toStdString();
    }

    ledger::Shift Read(qint64 id) {
        ledger::Shift s;
        QString error;
        EXPECT_TRUE(ledger::ReadShift(till1_, id, &s, &error)) << error.toStdString();
        return s;
    }

    ledger::Shift HandOver(const QDateTime& at, qint64 id, double counted) {
        SetNowForTest(at);
        ledger::Shift s;
        const LedgerResult r = ledger::HandOverShift(till2_, id, counted, &s);
        EXPECT_TRUE(r.IsDone()) << r.error.toStdString();
        return s;
    }

    qint64 goods_ = 0;
    qint64 customer_ = 0;
    qint64 lastSale_ = 0;
};

// Three shifts at once: 张三 at 一号台 (A), 李四 at 二号台 (B, across midnight) and, later, 张三
// at 二号台 (C). Each counts its own bookings alone; the day counts every till and user.
TEST_P(ShiftBooks, EachShiftCountsItsOwnBookingsToTheFen) {
    const qint64 a = Start(At(9, 0), "一号台", "张三", 200);
    const qint64 b = Start(At(9, 0), "二号台", "李四", 100);
    EXPECT_EQ(Start(At(9, 5), "一号台", "张三", 999), a) << "logging in again goes on with it";
    const QList<Booking> bookings = {
        {At(9, 10), "一号台", "张三", Kind::Sale, 25, "现金", 2},
        {At(9, 20), "二号台", "李四", Kind::Sale, 12.5, "现金", 1, 12.5},
        {At(9, 30), "一号台", "张三", Kind::Sale, 37.5, "支付宝", 3},
        {At(9, 40), "二号台", "李四", Kind::Payment, 5, "现金"},
        {At(9, 50), "一号台", "张三", Kind::Expense, 3.3, "现金"},
        {At(10, 0), "二号台", "李四", Kind::Income, 10.1, "微信"},
        {At(10, 10), "一号台", "张三", Kind::Sale, 12, "银行卡", 1, 2},
        {At(10, 20), "二号台", "李四", Kind::Sale, 12.5, "", 1},
    };
    for (const Booking& booking : bookings) Book(booking);

    const Expected shiftA = {3, 6000, 7450, 200, 2650, 0, 0, 0, 330, {2170, 0, 3750, 1000, 0}};
    ExpectFigures(Read(a).figures, shiftA, true, "A open");
    const ledger::Shift handedA = HandOver(At(12, 0), a, 226.5);
    ExpectFigures(handedA.figures, shiftA, true, "A handed over");
    EXPECT_EQ(handedA.ExpectedCashFen(), 22170);
    EXPECT_EQ(handedA.DifferenceFen(), 480);
    const ledger::Shift storedA = Read(a);
    ExpectFigures(storedA.figures, shiftA, false, "A as stored");
    EXPECT_EQ(storedA.end, At(12, 0));
    EXPECT_EQ(storedA.DifferenceFen(), 480);
    ledger::Shift again;
    EXPECT_EQ(ledger::HandOverShift(till1_, a, 1, &again).outcome, LedgerResult::RecordChanged);
    EXPECT_EQ(Read(a).countedFen, 22650) << "a second handover changes nothing";

    const qint64 c = Start(At(12, 30), "二号台", "张三", 50);
    EXPECT_NE(c, a);
    Book({At(13, 0), "二号台", "张三", Kind::Sale, 12.5, "现金", 1});
    // A sale the administrator deletes leaves the figures and is told apart.
    Book({At(13, 10), "二号台", "张三", Kind::Sale, 25, "现金", 2});
    SetNowForTest(At(13, 20));
    ASSERT_TRUE(ledger::DeleteSale(till1_, lastSale_).IsDone());
    Book({At(23, 30), "二号台", "李四", Kind::Sale, 20, "其他", 1});
    Book({At(0, 30, 0, 1), "二号台", "李四", Kind::Expense, 1, "现金"});
    const Expected shiftB = {3, 3000, 4500, 1250, 2100,
                             1, 500,  1010, 100,  {1650, 1010, 0, 0, 2000}};
    const ledger::Shift handedB = HandOver(At(1, 0, 0, 1), b, 116.5);
    ExpectFigures(handedB.figures, shiftB, false, "B across midnight");
    EXPECT_EQ(handedB.DifferenceFen(), 0);
    ExpectFigures(Read(b).figures, shiftB, false, "B as stored");
    const ledger::Shift openC = Read(c);
    ExpectFigures(openC.figures, {1, 1000, 1250, 0, 450, 0, 0, 0, 0, {1250, 0, 0, 0, 0}}, true,
                  "C open");
    EXPECT_EQ(openC.figures.deletedSales, 1);
    EXPECT_EQ(openC.figures.deletedFen, 2500);

    QList<ledger::ShiftFigures> day;
    QList<ledger::Shift> handovers;
    QString error;
    ASSERT_TRUE(ledger::ReadDayFigures(till1_, kDay, &day, &handovers, &error))
        << error.toStdString();
    ASSERT_EQ(day.size(), 3);
    EXPECT_EQ(day[0].tillName, QStringLiteral("一号台"));
    EXPECT_EQ(day[0].user, QStringLiteral("张三"));
    ExpectFigures(day[0], shiftA, true, "day: A");
    EXPECT_EQ(day[1].user, QStringLiteral("张三"));
    ExpectFigures(day[1], {1, 1000, 1250, 0, 450, 0, 0, 0, 0, {1250, 0, 0, 0, 0}}, true, "day: C");
    EXPECT_EQ(day[2].user, QStringLiteral("李四"));
    ExpectFigures(day[2], {3, 3000, 4500, 1250, 2100, 1, 500, 1010, 0, {1750, 1010, 0, 0, 2000}},
                  true, "day: B before midnight");
    ASSERT_EQ(handovers.size(), 1);
    EXPECT_EQ(handovers[0].id, a);
    ASSERT_TRUE(ledger::ReadDayFigures(till1_, kDay.addDays(1), &day, &handovers, &error));
    ASSERT_EQ(day.size(), 1);
    ExpectFigures(day[0], {0, 0, 0, 0, 0, 0, 0, 0, 100, {-100, 0, 0, 0, 0}}, true,
                  "day after: B's expense");
    ASSERT_EQ(handovers.size(), 1);
    EXPECT_EQ(handovers[0].id, b);
}

LK_ON_BOTH_STORES(ShiftBooks);

}  // namespace
