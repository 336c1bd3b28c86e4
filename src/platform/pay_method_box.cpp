#include "platform/pay_method_box.h"

#include <QComboBox>

#include "common/settings.h"
#include "ledger/shift.h"
#include "platform/placement.h"

QComboBox* PlacePayMethodBox(QWidget* parent, const QString& name, int x, int y, int w, int h) {
    auto* box = Place<QComboBox>(parent, name, x, y, w, h);
    box->setAccessibleName(QStringLiteral("付款方式"));
    box->setToolTip(QStringLiteral("付款方式"));
    box->addItems(ledger::PayMethods());
    const QString last = ReadSetupKey(SetupKey::kPayMethod);
    box->setCurrentIndex(std::max<int>(0, ledger::PayMethods().indexOf(last)));
    QObject::connect(box, &QComboBox::currentTextChanged, box,
                     [](const QString& method) { WriteSetupKey(SetupKey::kPayMethod, method); });
    return box;
}

QString ChosenPayMethod(const QComboBox* box) {
    return ledger::PayMethodOrCash(box->currentText());
}
