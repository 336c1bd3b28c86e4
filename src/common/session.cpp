#include "common/session.h"

#include <cmath>

#include "common/number_text.h"
#include "common/settings.h"

Session& CurrentSession() {
    static Session session;
    return session;
}

bool IsSuperAdmin() {
    return CurrentSession().userRole == kSuperAdmin;
}

bool CostFiguresVisible() {
    return IsSuperAdmin();
}

bool MayBookStocktakes() {
    return IsSuperAdmin() || SetupFlag(SetupKey::kStocktakeBooking);
}

bool IsRecordId(const QString& id) {
    return !id.isEmpty() && TextToNumber(id) > kTolerance;
}

qint64 RecordIdValue(const QString& id) {
    return std::llround(TextToNumber(id));
}
