#include "session/password_scrambler.h"

#include <gtest/gtest.h>

#include "session/ansi_text.h"

namespace korvo::session {
namespace {

TEST(PasswordScramblerTest, XorsWithBitsEightToFifteenOfTheKey) {
  // 9371 = 0x249B: every code is XORed with 0x24.
  EXPECT_EQ(CrypterMotDePasse("tiger", kPasswordKey), "PMCAV");
  EXPECT_EQ(CrypterMotDePasse("PMCAV", kPasswordKey), "tiger");
  EXPECT_EQ(CrypterMotDePasse("tiger", 0x00FF), "tiger");  // bits 0..7 play no part
  EXPECT_EQ(CrypterMotDePasse("A", 0x0100), QString(QChar('A' ^ 1)));
  EXPECT_EQ(CrypterMotDePasse("", kPasswordKey), "");
}

TEST(PasswordScramblerTest, WorksOnWindowsBytesNotOnUnicode) {
  // The euro sign is byte 0x80 in Windows-1252; 0x80 ^ 0x24 = 0xA4, the currency sign.
  EXPECT_EQ(CrypterMotDePasse(QString::fromUtf8("€"), kPasswordKey), QString::fromUtf8("¤"));
  // "$" becomes NUL, "." a line feed and ")" a carriage return.
  EXPECT_EQ(CrypterMotDePasse("$.)", kPasswordKey), QString(QChar(0)) + "\n\r");
}

TEST(PasswordScramblerTest, TwiceGivesEveryByteBack) {
  QByteArray all;
  for (int i = 0; i < 256; ++i) all.append(static_cast<char>(i));
  const QString text = fromAnsi(all);
  const QString once = CrypterMotDePasse(text, kPasswordKey);
  EXPECT_NE(once, text);
  EXPECT_EQ(toAnsi(once).size(), 256);
  EXPECT_EQ(CrypterMotDePasse(once, kPasswordKey), text);
  const QString longText = QString("0123456789").repeated(40);  // past 255 characters
  EXPECT_EQ(CrypterMotDePasse(CrypterMotDePasse(longText, kPasswordKey), kPasswordKey), longText);
}

}  // namespace
}  // namespace korvo::session
