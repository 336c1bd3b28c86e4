#include "stats/bar_chart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QValueAxis>
#include <cmath>

#include "common/number_text.h"

namespace {

constexpr double kValueGap = 2;       // pixels between a bar's end and its value
constexpr double kValueZ = 100;       // above the bars and the grid
constexpr int kMostUprightBars = 12;  // more bars leave too little width for a value across

// The range, widened by hundreds, in which each value's text of extent pixels (along the value
// axis) fits between its bar's end and the edge of a plot of height pixels. Raising the top
// shortens every bar, so a few passes settle both ends; a text taller than the plot is left to
// overflow.
AxisRange RangeWithRoom(AxisRange range, const QList<double>& values, const QList<double>& extents,
                        double height) {
    if (height <= 0) return range;
    for (int pass = 0; pass < 4; ++pass) {
        const AxisRange before = range;
        for (qsizetype i = 0; i < values.size(); ++i) {
            const double share = extents[i] / height;
            if (share >= 1) continue;
            if (values[i] >= 0) {
                const double top = (values[i] - share * range.bottom) / (1 - share);
                range.top = std::max(range.top, std::ceil(top / 100) * 100);
            } else {
                const double bottom = (values[i] - share * range.top) / (1 - share);
                range.bottom = std::min(range.bottom, std::floor(bottom / 100) * 100);
            }
        }
        if (range.top == before.top && range.bottom == before.bottom) break;
    }
    return range;
}

}  // namespace

BarChart::BarChart(QWidget* parent, const QString& title, const QString& categoryCaption,
                   const QString& unit)
    : QChartView(parent) {
    auto* chart = new QChart;
    chart->setTitle(title);
    setAccessibleName(title);  // a reader says the chart by its title
    QFont titleFont = chart->titleFont();
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    // 238 pixels leave little height for eleven value labels: the chart takes the whole view.
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setMargins(QMargins(4, 2, 8, 2));
    set_ = new QBarSet(QString());
    series_ = new QBarSeries;
    series_->append(set_);
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
    connect(chart, &QChart::plotAreaChanged, this, &BarChart::PlaceValues);
}

void BarChart::Show(const QString& title, const QColor& color, const ChartBars& bars) {
    chart()->setTitle(title);
    setAccessibleName(title);
    set_->setColor(color);
    set_->setBorderColor(color);
    qDeleteAll(valueTexts_);
    valueTexts_.clear();
    set_->remove(0, set_->count());
    set_->append(bars.values);
    categories_->setCategories(bars.labels);
    upright_ = bars.values.size() > kMostUprightBars;
    for (double value : bars.values) {
        // Written as the program writes numbers, up to 13 significant digits, so that a bar
        // never shows a rounded figure.
        auto* text = new QGraphicsSimpleTextItem(NumberText(value), chart());
        text->setFont(set_->labelFont());
        text->setBrush(Qt::black);
        text->setZValue(kValueZ);
        if (upright_) text->setRotation(-90);
        valueTexts_ << text;
    }
    ruleRange_ = ValueAxisRange(bars);
    PlaceValues();
}

void BarChart::PlaceValues() {
    const QList<double> values = Values();
    // The chart lays itself out again while Show replaces the bars and their values.
    if (values.size() != valueTexts_.size()) return;
    QList<double> extents;
    for (const QGraphicsSimpleTextItem* text : valueTexts_) {
        const QRectF box = text->boundingRect();
        extents << (upright_ ? box.width() : box.height()) + kValueGap;
    }
    const AxisRange range =
        RangeWithRoom(ruleRange_, values, extents, chart()->plotArea().height());
    values_->setRange(range.bottom, range.top);
    for (qsizetype i = 0; i < valueTexts_.size(); ++i) {
        QGraphicsSimpleTextItem* text = valueTexts_[i];
        const QPointF end = chart()->mapToPosition(QPointF(i, values[i]), series_);
        const QRectF box = text->boundingRect();
        const bool above = values[i] >= 0;
        // Turned by -90 degrees about its origin, the text spans box.height() across and
        // box.width() upwards from its position.
        if (upright_)
            text->setPos(end.x() - box.height() / 2,
                         above ? end.y() - kValueGap : end.y() + kValueGap + box.width());
        else
            text->setPos(end.x() - box.width() / 2,
                         above ? end.y() - kValueGap - box.height() : end.y() + kValueGap);
    }
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
