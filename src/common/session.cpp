#include "common/session.h"

#include "common/number_text.h"

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

bool IsRecordId(const QString& id) {
    return !id.isEmpty() && TextToNumber(id) > kTolerance;
}
