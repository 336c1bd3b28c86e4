#include "common/session.h"

Session& CurrentSession() {
    static Session session;
    return session;
}

bool IsSuperAdmin() { return CurrentSession().userRole == kSuperAdmin; }
