#pragma once
// A bar chart of one series: a title, a category axis with its caption, a value axis with its
// unit and ten divisions, and bars of one colour that each show their value beyond the bar's
// end, upright when the bars are too narrow for a value written across.

#include <QChartView>
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

#include "stats/sales_chart_data.h"

class QBarCategoryAxis;
class QBarSeries;
class QBarSet;
class QGraphicsSimpleTextItem;
class QValueAxis;

class BarChart : public QChartView {
    Q_OBJECT

  public:
    BarChart(QWidget* parent, const QString& title, const QString& categoryCaption,
             const QString& unit);

    // Replaces the bars (no bars when bars holds none) and sets the title, the bar colour and
    // the value axis that covers them and leaves room for their values.
    void Show(const QString& title, const QColor& color, const ChartBars& bars);

    QString Title() const;
    QColor BarColor() const;
    QStringList Labels() const;
    QList<double> Values() const;
    AxisRange Axis() const;

  private:
    // Raises the axis from the rule's range until every value fits between its bar and the
    // plot's edge, and puts each value there.
    void PlaceValues();

    QBarSet* set_;
    QBarSeries* series_;
    QBarCategoryAxis* categories_;
    QValueAxis* values_;
    // Qt places a turned bar label as if it were not turned, half of it inside the bar, and
    // leaves no room for it: the chart writes the values itself.
    QList<QGraphicsSimpleTextItem*> valueTexts_;
    AxisRange ruleRange_;
    bool upright_ = false;
};
