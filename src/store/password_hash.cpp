#include "store/password_hash.h"

#include <sodium.h>

#include <atomic>

namespace {

std::atomic<PasswordHashCost> chosenCost{PasswordHashCost::Interactive};

bool SodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

}  // namespace

void SetPasswordHashCost(PasswordHashCost cost) {
    chosenCost = cost;
}

QString HashPassword(const QString& password) {
    if (!SodiumReady()) return QString();
    const QByteArray bytes = password.toUtf8();
    const bool least = chosenCost == PasswordHashCost::Least;
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(
            hash, bytes.constData(), static_cast<unsigned long long>(bytes.size()),
            least ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE,
            least ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return QString();
    return QString::fromLatin1(hash);
}

bool PasswordMatches(const QString& hash, const QString& typed) {
    if (!SodiumReady() || !IsPasswordHash(hash)) return false;
    const QByteArray stored = hash.toLatin1();
    const QByteArray bytes = typed.toUtf8();
    return crypto_pwhash_str_verify(stored.constData(), bytes.constData(),
                                    static_cast<unsigned long long>(bytes.size())) == 0;
}

bool IsPasswordHash(const QString& stored) {
    return stored.startsWith(QLatin1String(crypto_pwhash_argon2id_STRPREFIX)) &&
           stored.size() < crypto_pwhash_STRBYTES;
}
