#include "repository/name_scrambling.h"

#include <gtest/gtest.h>

#include "repository/code_page_1252.h"

using namespace korvo::repository;

TEST(CrypterNom, CombinesEachCodePageByteWithTheKeysSecondByte) {
  // 9583 >> 8 = 0x25
  EXPECT_EQ(CrypterNom("A"), QString("d"));
  EXPECT_EQ(CrypterNom("Employe"), QString("`HUIJ\\@"));
  EXPECT_EQ(CrypterNom(" "), QString(QChar(0x05)));
  // The byte, not the Unicode code, is combined: 0xA5 (yen) ^ 0x25 = 0x80, the euro sign.
  EXPECT_EQ(CrypterNom(QString(QChar(0xA5))), QString(QChar(0x20AC)));
  EXPECT_EQ(CrypterNom(""), QString());
}

TEST(CrypterNom, IsItsOwnInverseForEveryCharacter) {
  QString all;
  for (int b = 0; b < 256; ++b) all.append(windows1252ToChar(static_cast<unsigned char>(b)));
  all += QString::fromUtf8("中文 ✓");
  const QString once = CrypterNom(all);
  EXPECT_EQ(once.size(), all.size());
  EXPECT_NE(once, all);
  EXPECT_EQ(CrypterNom(once), all);
  const QString longName(1000, QChar('x'));
  EXPECT_EQ(CrypterNom(CrypterNom(longName)), longName);
}

TEST(Windows1252, EveryByteDecodesAndEncodesBack) {
  for (int b = 0; b < 256; ++b) {
    const QChar c = windows1252ToChar(static_cast<unsigned char>(b));
    const auto back = charToWindows1252(c);
    ASSERT_TRUE(back.has_value()) << b;
    EXPECT_EQ(*back, b);
  }
  EXPECT_FALSE(charToWindows1252(QChar(0x80)).has_value());  // the euro sign owns byte 0x80
  EXPECT_FALSE(charToWindows1252(QChar(0x4E2D)).has_value());
}
