#include "db/password_hash.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QStringList>

namespace korvo::db {
namespace {

constexpr QLatin1StringView kScheme("sha256i");
constexpr int kSaltBytes = 16;
// A stored count above this is refused rather than run: a tampered file must
// not make every logon spin for minutes.
constexpr int kMaxIterations = 5'000'000;

QByteArray derive(const QString& password, const QByteArray& salt, int iterations) {
  const QByteArray secret = password.toUtf8();
  QCryptographicHash hash(QCryptographicHash::Sha256);
  hash.addData(salt);
  hash.addData(secret);
  QByteArray digest = hash.result();
  for (int i = 1; i < iterations; ++i) {
    hash.reset();
    hash.addData(digest);
    hash.addData(salt);
    hash.addData(secret);
    digest = hash.result();
  }
  return digest;
}

// Compares every byte whatever the first difference, so timing tells nothing.
bool sameBytes(const QByteArray& a, const QByteArray& b) {
  if (a.size() != b.size()) return false;
  unsigned char diff = 0;
  for (qsizetype i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
  return diff == 0;
}

}  // namespace

QString hashPassword(const QString& password, int iterations) {
  QByteArray salt(kSaltBytes, Qt::Uninitialized);
  QRandomGenerator* random = QRandomGenerator::system();
  for (char& c : salt) c = static_cast<char>(random->generate() & 0xff);
  const QByteArray digest = derive(password, salt, iterations);
  return QStringList{kScheme, QString::number(iterations), QString::fromLatin1(salt.toHex()),
                     QString::fromLatin1(digest.toHex())}
      .join(QLatin1Char('$'));
}

bool passwordMatches(const QString& password, const QString& stored) {
  const QStringList parts = stored.split(QLatin1Char('$'));
  if (parts.size() != 4 || parts[0] != kScheme) return false;
  bool ok = false;
  const int iterations = parts[1].toInt(&ok);
  if (!ok || iterations < 1 || iterations > kMaxIterations) return false;
  const QByteArray salt = QByteArray::fromHex(parts[2].toLatin1());
  const QByteArray expected = QByteArray::fromHex(parts[3].toLatin1());
  if (salt.isEmpty() || expected.size() != 32) return false;
  return sameBytes(derive(password, salt, iterations), expected);
}

}  // namespace korvo::db
