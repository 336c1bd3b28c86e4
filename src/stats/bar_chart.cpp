#include "stats/bar_chart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QGraphicsLayout>
#include <QValueAxis>

BarChart::BarChart(QWidget* parent, const QString& title, const QString& categoryCaption,
                   const QString& unit)
    : QChartView(parent) {
    auto* chart = new QChart;
    chart->setTitle(title);
    QFont titleFont = chart->titleFont();
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    // 238 pixels leave little height for eleven value labels: the chart takes the whole view.
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setMargins(QMargins(4, 2, 8, 2));
    // A value is written as the program writes numbers: up to 13 significant digits, so a bar
    // never shows a rounded figure.
    set_ = new QBarSet(QString());
    series_ = new QBarSeries;
    series_->append(set_);
    series_->setLabelsVisible(true);
    series_->setLabelsFormat(QStringLiteral("@value"));
    series_->setLabelsPrecision(13);
    series_->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    set_->setLabelColor(Qt::black);
    chart->addSeries(series_);

    categories_ = new QBarCategoryAxis;
    categories_->setTitleText(categoryCaption);
    chart->addAxis(categories_, Qt::AlignBottom);
    series_->attachAxis(categories_);
    values_ = new QValueAxis;
    values_->setTitleText(unit);
    values_->setTickCount(11);
    values_->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(values_, Qt::AlignLeft);
    series_->attachAxis(values_);
    for (QAbstractAxis* axis :
         {static_cast<QAbstractAxis*>(categories_), static_cast<QAbstractAxis*>(values_)}) {
        QFont font = axis->labelsFont();
        font.setPointSize(7);
        axis->setLabelsFont(font);
        axis->setTitleFont(font);
        // A label that does not fit is drawn whole rather than cut to "…".
        axis->setTruncateLabels(false);
    }
    const AxisRange empty;
    values_->setRange(empty.bottom, empty.top);
    setChart(chart);
    setFrameShape(QFrame::NoFrame);
    setRenderHint(QPainter::Antialiasing);
}

void BarChart::Show(const QString& title, const QColor& color, const ChartBars& bars) {
    chart()->setTitle(title);
    set_->setColor(color);
    set_->setBorderColor(color);
    // A month's days leave too little width for a value written across its bar.
    series_->setLabelsAngle(bars.values.size() > 12 ? -90 : 0);
    set_->remove(0, set_->count());
    set_->append(bars.values);
    categories_->setCategories(bars.labels);
    const AxisRange range = ValueAxisRange(bars);
    values_->setRange(range.bottom, range.top);
}

QString BarChart::Title() const {
    return chart()->title();
}

QColor BarChart::BarColor() const {
    return set_->color();
}

QStringList BarChart::Labels() const {
    return categories_->categories();
}

QList<double> BarChart::Values() const {
    QList<double> values;
    for (int i = 0; i < set_->count(); ++i) values << set_->at(i);
    return values;
}

AxisRange BarChart::Axis() const {
    return AxisRange{values_->min(), values_->max()};
}
