#pragma once
// A bar chart of one series: a title, a category axis with its caption, a value axis with its
// unit and ten divisions, and bars of one colour that each show their value.

#include <QChartView>
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

#include "stats/sales_chart_data.h"

class QBarCategoryAxis;
class QBarSeries;
class QBarSet;
class QValueAxis;

class BarChart : public QChartView {
    Q_OBJECT

  public:
    BarChart(QWidget* parent, const QString& title, const QString& categoryCaption,
             const QString& unit);

    // Replaces the bars (no bars when bars holds none) and sets the title, the bar colour and
    // the value axis that covers them.
    void Show(const QString& title, const QColor& color, const ChartBars& bars);

    QString Title() const;
    QColor BarColor() const;
    QStringList Labels() const;
    QList<double> Values() const;
    AxisRange Axis() const;

  private:
    QBarSet* set_;
    QBarSeries* series_;
    QBarCategoryAxis* categories_;
    QValueAxis* values_;
};
