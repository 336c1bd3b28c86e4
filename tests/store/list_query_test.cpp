#include "store/list_query.h"

#include <gtest/gtest.h>

#include "common/cell_row.h"
#include "common/date_text.h"
#include "common/number_text.h"
#include "store/shared_db.h"
#include "support/program_fixture.h"

namespace {

class ListRead : public ProgramFixture {
  protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        Provision();
    }
    // Each cell as "N:" number, "D:" date or its text.
    QStringList Lines(const QString& sql, const QStringList& fields) {
        ListQuery rows(sql);
        const QList<int> columns = rows.Columns(fields);
        QStringList lines;
        CellRow cells;
        while (rows.Next()) {
            cells.Clear();
            for (int c : columns) rows.AddCell(c, &cells);
            QString line;
            for (int i = 0; i < cells.Count(); ++i) {
                if (cells.Kind(i) == CellKind::Number)
                    line += "N:" + NumberText(cells.Value(i));
                else if (cells.Kind(i) == CellKind::Date)
                    line += "D:", AppendPackedDateText(qint64(cells.Value(i)), &line);
                else
                    line += cells.Text(i);
                line += u'|';
            }
            lines << line;
        }
        return lines;
    }
};

TEST_F(ListRead, ValuesComeInTheirListForm) {
    ASSERT_TRUE(SharedConnection().Execute(
        "insert into other (类型, 数量, 金额, 日期, 备注) values (?, ?, ?, ?, ?)",
        {QStringLiteral("收入"), 2.0, 0.1 + 0.2, QDateTime(QDate(2012, 1, 5), QTime(9, 3, 7)),
         QStringLiteral("𠀀 O'x\tü")}));
    ASSERT_TRUE(
        SharedConnection().Execute("insert into other (日期) values (?)", {QDate(2012, 12, 31)}));
    const QStringList lines =
        Lines("select * from other order by ID",
              {"ID", "类型", "数量", "金额", "日期", "备注", "项目", "nosuch"});
    ASSERT_EQ(lines.size(), 2);
    // A tab stays in its cell.
    EXPECT_EQ(lines[0], QStringLiteral("N:1|收入|N:2|N:0.3|D:2012年1月5日 9时3分7秒|𠀀 O'x\tü|||"));
    EXPECT_EQ(lines[1], QStringLiteral("N:2||N:0|N:0|D:2012年12月31日||||"));
    // A text that only looks like a date stays as stored.
    EXPECT_EQ(Lines("select '2012-01-05' as t", {"t"}), QStringList{"2012-01-05|"});
}

TEST_F(ListRead, NumbersAndFailures) {
    ASSERT_TRUE(SharedConnection().Execute("insert into buy (存货数量, 名称) values (2.5, 'x')"));
    ListQuery rows("select * from buy where 名称=?", {"x"});
    const QList<int> c = rows.Columns({"存货数量", "名称"});
    ASSERT_TRUE(rows.Next());
    EXPECT_EQ(rows.Number(c[0]), 2.5);
    EXPECT_EQ(rows.Number(c[1]), 0);
    EXPECT_FALSE(rows.Next());
    ListQuery broken("select * from nosuch");
    EXPECT_FALSE(broken.Ok());
    EXPECT_FALSE(broken.Next());
    EXPECT_FALSE(broken.Error().isEmpty());
}

}  // namespace
