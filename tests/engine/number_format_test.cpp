// Number format models, number text and decimal rounding, called directly.
#include "engine/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/ora_error.h"
#include "engine/value.h"

namespace korvo::engine {
namespace {

struct FormatCase {
  double value;
  const char* format;
  const char* expected;
};

TEST(NumberFormat, ModelsFormatAsOracleDocumentsThem) {
  const FormatCase cases[] = {
      {0, "99.99", "   .00"},
      {0.1, "99.99", "   .10"},
      {-0.2, "99.99", "  -.20"},
      {0, "90.99", "  0.00"},
      {0.1, "90.99", "  0.10"},
      {-0.2, "90.99", " -0.20"},
      {0, "9999", "    0"},
      {1, "9999", "    1"},
      {0, "B9999", "     "},
      {1, "B9999", "    1"},
      {0, "B90.99", "      "},
      {0.5, "B90.99", "   .50"},
      {10.5, "B90.99", " 10.50"},
      {123.456, "999.999", " 123.456"},
      {-123.456, "999.999", "-123.456"},
      {123.456, "FM999.009", "123.456"},
      {123.456, "9.9EEEE", "  1.2E+02"},
      {1e123, "9.9EEEE", " 1.0E+123"},
      {123.456, "FM9.9EEEE", "1.2E+02"},
      {0.00012, "9.99EEEE", "  1.20E-04"},
      {-9.99, "9.9EEEE", " -1.0E+01"},
      {123.45, "FM999.009", "123.45"},
      {123, "FM999.009", "123.00"},
      {1234567890, "9999999999S", "1234567890+"},
      {-1234567890, "9999999999S", "1234567890-"},
      {1234.5, "999G999D99", "   1,234.50"},
      {666.66, "99.99", "######"},
      {1234.5, "FM999G999D99", "1,234.5"},
      {10, "FM990D99", "10."},
      {-123, "999MI", "123-"},
      {123, "999MI", "123 "},
      {-12, "999MI", " 12-"},
      {123, "FM999MI", "123"},
      {-123, "999PR", "<123>"},
      {123, "999PR", " 123 "},
      {123, "$999", " $123"},
      {-123, "$999", "-$123"},
      {123, "S999", "+123"},
      {-5, "S999", "  -5"},
      {12, "0999", " 0012"},
      {12, "9990", "   12"},
      {0.5, "9", " 1"},
      {0.4, "9", " 0"},
      {-0.4, "9", " 0"},
      {12, "9G999", "    12"},
      {1234, "9,999", " 1,234"},
      {1234567, "9,999,999", " 1,234,567"},
      {12345, "9G999", "######"},
      {1485, "RN", "       MCDLXXXV"},
      {1485, "FMrn", "mcdlxxxv"},
      {4000, "RN", "###############"},
      {12, "99V99", " 1200"},
      {1234.5, "TM", "1234.5"},
      {0.5, "TM9", ".5"},
      {1234, "TME", "1.234E+03"},
      {2.675, "9.99", " 2.68"},
      {1e15, "9999999999999999", " 1000000000000000"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(formatNumber(c.value, c.format), c.expected) << c.value << " " << c.format;
}

TEST(NumberFormat, NlsCharactersReplaceDAndG) {
  EXPECT_EQ(formatNumber(1234.5, "9G999D9", ',', '.'), " 1.234,5");
  EXPECT_EQ(formatNumber(1234.5, "9,999.9", ',', '.'), " 1,234.5");
  EXPECT_EQ(formatNumber(0.5, "TM", ',', '.'), ",5");
}

TEST(NumberFormat, InvalidModelsAreRefused) {
  for (const char* format : {"", "FM", "9.9.9", "99D9D", "G999", "9S9", "MI99", "9X", "L999",
                             "99.9V9", "EEEE", "9EEEE9"}) {
    try {
      formatNumber(1, format);
      ADD_FAILURE() << '"' << format << "\" was accepted";
    } catch (const OraError& e) {
      EXPECT_EQ(e.code(), 1481) << format;
    }
  }
}

TEST(NumberText, ImplicitConversion) {
  EXPECT_EQ(parseNumber(" 12 "), 12);
  EXPECT_EQ(parseNumber("-1.5e3"), -1500);
  EXPECT_EQ(parseNumber(".5"), 0.5);
  EXPECT_EQ(parseNumber("+7."), 7);
  EXPECT_EQ(parseNumber("1,5", ','), 1.5);
  for (const char* bad : {"", " ", "12a", "1.5.", "1e", "--1", "1 2", "0x10", "1,5", "e5"})
    EXPECT_THROW(parseNumber(bad), OraError) << '"' << bad << '"';
  EXPECT_THROW(parseNumber("1.5", ','), OraError);
  EXPECT_THROW(parseNumber("1e999"), OraError);
}

TEST(NumberText, WithFormatModel) {
  EXPECT_EQ(parseNumberWithFormat("1,234.50", "9G999D99"), 1234.5);
  EXPECT_EQ(parseNumberWithFormat("1.234,50", "9G999D99", ',', '.'), 1234.5);
  EXPECT_EQ(parseNumberWithFormat("  $1,234 ", "$9,999"), 1234);
  EXPECT_EQ(parseNumberWithFormat("+12", "S99"), 12);
  EXPECT_EQ(parseNumberWithFormat("12-", "99S"), -12);
  EXPECT_EQ(parseNumberWithFormat("12.5", "TM"), 12.5);
  EXPECT_THROW(parseNumberWithFormat("1,234", "9999"), OraError);
  EXPECT_THROW(parseNumberWithFormat("12-", "99"), OraError);
  EXPECT_THROW(parseNumberWithFormat("<12>", "99"), OraError);
  EXPECT_THROW(parseNumberWithFormat("1.5", "99"), OraError);
}

TEST(NumberText, CanonicalForm) {
  struct Case {
    double value;
    const char* expected;
  };
  const Case cases[] = {
      {0, "0"},
      {-0.0, "0"},
      {7, "7"},
      {-7, "-7"},
      {3.5, "3.5"},
      {-0.25, "-.25"},
      {0.1 + 0.2, ".3"},
      {1e20, "100000000000000000000"},
      {1e23, "100000000000000000000000"},
      {9007199254740991, "9007199254740991"},
      {2916.6666666666665, "2916.66666666667"},
      {1.0 / 3, ".333333333333333"},
      {1e-5, ".00001"},
      {1.5e-7, ".00000015"},
      {123456.789, "123456.789"},
      {1e100, "1.0E+100"},
      {-1.5e-70, "-1.5E-70"},
  };
  for (const auto& c : cases) EXPECT_EQ(canonicalNumber(c.value), c.expected) << c.value;
  EXPECT_EQ(canonicalNumber(3.5, ','), "3,5");
  EXPECT_EQ(canonicalNumber(-0.25, ','), "-,25");
}

TEST(NumberText, Values) {
  EXPECT_EQ(Value::ofNumber(-0.0).text, "0");
  EXPECT_EQ(Value::ofNumber(2.5).text, "2.5");
  EXPECT_EQ(Value::ofNumber(2.5).kind, Value::Kind::Number);
  EXPECT_TRUE(Value::ofText("").isNull());
  EXPECT_EQ(Value::ofText("a").kind, Value::Kind::Text);
  EXPECT_EQ(Value::ofDate("2024-01-01 00:00:00").kind, Value::Kind::Date);
}

TEST(NumberRounding, DecimalPlaces) {
  struct Case {
    double value;
    int places;
    double rounded;
    double truncated;
  };
  const Case cases[] = {
      {2.5, 0, 3, 2},         {-2.5, 0, -3, -2},
      {2.675, 2, 2.68, 2.67}, {1.005, 2, 1.01, 1},
      {15.193, -1, 20, 10},   {15.79, 1, 15.8, 15.7},
      {0.0004, 3, 0, 0},      {999.9999, 3, 1000, 999.999},
      {-0.5, 0, -1, 0},       {123456789.123456, 4, 123456789.1235, 123456789.1234},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(roundToPlaces(c.value, c.places), c.rounded) << c.value << " " << c.places;
    EXPECT_DOUBLE_EQ(truncToPlaces(c.value, c.places), c.truncated) << c.value << " " << c.places;
  }
  EXPECT_DOUBLE_EQ(toSignificant15(0.1 + 0.2), 0.3);
  EXPECT_TRUE(std::isinf(roundToPlaces(INFINITY, 2)));
}

TEST(NumberText, NumericCharactersSetting) {
  char decimal = 0;
  char group = 0;
  parseNumericCharacters(",.", decimal, group);
  EXPECT_EQ(decimal, ',');
  EXPECT_EQ(group, '.');
  for (const char* bad : {"", ",", "..", ",.x", "1.", "+,", ",-"})
    EXPECT_THROW(parseNumericCharacters(bad, decimal, group), OraError) << bad;
}

}  // namespace
}  // namespace korvo::engine
