// Fills a record grid with 100,000 rows of 18 columns as a list fill does, paints it,
// scrolls through it, sorts it and exports it, printing the time and the peak memory of
// each step.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdio>

#include "platform/record_grid.h"

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 18;

long PeakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void Report(const char* step, QElapsedTimer& timer) {
    std::printf("%-28s %8lld ms   peak RSS %7.1f MB\n", step,
                static_cast<long long>(timer.elapsed()), PeakRssKb() / 1024.0);
    std::fflush(stdout);
    timer.restart();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QElapsedTimer timer;
    timer.start();
    Report("start", timer);

    RecordGrid grid;
    grid.resize(1000, 600);
    grid.SetCols(kCols);
    grid.SetFixedRows(2);
    grid.SetRows(2);
    grid.SetRowHeight(0, 26);
    grid.SetRowHeight(1, 23);
    for (int c = 0; c < kCols; ++c) grid.Column(c).SetWidth(c == 0 ? 20 : c == 1 ? 0 : 60);
    for (int c = 7; c <= 12; ++c) grid.Column(c).SetMask(RecordGrid::cellValue);
    grid.Range(0, 2, 0, 6).Merge();
    grid.SetCellText(0, 2, QStringLiteral("商品信息"));
    grid.SetExtendLastCol(true);
    grid.SetAllowUserSort(true);
    grid.show();
    app.processEvents();
    Report("grid created and shown", timer);

    grid.SetAutoRedraw(false);
    for (int i = 1; i <= kRows; ++i) {
        grid.AddItem(
            QStringLiteral("%1\t%2\t商品名称%1\t型号%3\tBM%1\t类型%4\t%5\t%6\t%7\t"
                           "2012年6月%8日\t%9\t%10\tK%1\t客户%4\t13800000000\t地址%3\t备注")
                .arg(i)
                .arg(i % 5000)
                .arg(i % 97)
                .arg(i % 13)
                .arg(i * 1.5)
                .arg(i % 17)
                .arg(i * 1.5 * (i % 17))
                .arg(i % 28 + 1)
                .arg(i % 3 == 0 ? 10 : 0)
                .arg(i * 0.25));
        if (i % 3 == 0)
            grid.Range(grid.Rows() - 1, 1, grid.Rows() - 1, kCols - 1).SetForeColor(255);
    }
    grid.AddItem(QString());
    const int last = grid.Rows() - 1;
    grid.SetFrozenBottomRows(1);
    grid.Range(last, 1, last, kCols - 1).SetBackColor(13434879);
    grid.Range(last, 1, last, kCols - 1).SetFontBold(true);
    grid.SetCellText(last, 3, QStringLiteral("合计："));
    grid.SetAutoRedraw(true);
    grid.Refresh();
    Report("fill 100000 x 18 (AddItem)", timer);

    grid.viewport()->repaint();
    Report("paint once", timer);

    QScrollBar* bar = grid.verticalScrollBar();
    const int steps = 200;
    for (int s = 1; s <= steps; ++s) {
        bar->setValue(bar->maximum() / steps * s);
        grid.viewport()->repaint();
    }
    Report("scroll + paint x200", timer);

    grid.Column(8).Sort(RecordGrid::cellAscending);
    grid.viewport()->repaint();
    Report("sort numeric column", timer);

    grid.Column(2).Sort(RecordGrid::cellDescending);
    grid.viewport()->repaint();
    Report("sort text column", timer);

    QTemporaryDir dir;
    const bool exported = grid.ExportToExcel(dir.filePath("bench.xlsx"), true, true);
    Report(exported ? "export to Excel" : "export to Excel FAILED", timer);
    return exported ? 0 : 1;
}
