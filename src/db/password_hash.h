#pragma once
// The embedded engine keeps no clear passwords: a schema file holds a salted,
// iterated SHA-256 hash of its user's password, so that a copied file does not
// give the password away and guessing it is slow.
#include <QByteArray>
#include <QString>

namespace korvo::db {

inline constexpr int kPasswordHashIterations = 20000;

// "sha256i$ITERATIONS$SALT_HEX$HASH_HEX" with a fresh random salt.
QString hashPassword(const QString& password, int iterations = kPasswordHashIterations);

// True when password gives stored; false for another password and for a
// stored text that is not a hash this function knows (never accept on doubt).
bool passwordMatches(const QString& password, const QString& stored);

}  // namespace korvo::db
