#pragma once
// Login passwords as the books keep them: an Argon2id hash with its own random salt and cost
// in libsodium's text form, never the password itself.

#include <QString>

// How much work and memory one hash costs. The program hashes at the interactive cost (a
// login waits a fraction of a second; a guess over a stolen file costs as much); test runs
// hash thousands of books and use the least libsodium allows. A stored hash carries its own
// cost, so a hash of either cost verifies under both.
enum class PasswordHashCost { Interactive, Least };
void SetPasswordHashCost(PasswordHashCost cost);

// The stored form of password; empty when hashing failed (out of memory).
QString HashPassword(const QString& password);
// Whether typed is the password stored as hash. A stored value that is no hash never matches.
bool PasswordMatches(const QString& hash, const QString& typed);
// Whether stored is in the hash form (a clear password of an earlier version is not).
bool IsPasswordHash(const QString& stored);
