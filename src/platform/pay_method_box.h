#pragma once
// The box of how a sale or payment is paid, in the sell, scan sale and payment windows. It opens
// on the method this till used last, and a method chosen is remembered for this till, so a
// till that takes mostly WeChat pay opens on 微信.

#include <QString>

class QComboBox;
class QWidget;

QComboBox* PlacePayMethodBox(QWidget* parent, const QString& name, int x, int y, int w, int h);

// The method the box shows, 现金 for none.
QString ChosenPayMethod(const QComboBox* box);
