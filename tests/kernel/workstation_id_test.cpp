#include "kernel/workstation_id.h"

#include <gtest/gtest.h>

namespace korvo::kernel {
namespace {

TEST(WorkstationId, ComposedByTheNumberOfAdapters) {
  const QString a = "00A0C9141234";
  const QString b = "0050569ABCDE";
  const QString c = "AABBCCDDEEFF";
  const QString d = "112233445566";
  struct Case {
    QStringList adapters;
    QString expected;
  } cases[] = {
      {{}, "mac not found"},
      {{a}, a},
      {{a, b}, a + b},
      {{a, b, c},
       "A0C9141234"
       "50569ABCDE"
       "BBCCDDEEFF"},
      {{a, b, c, d},
       "A0C9141234"
       "50569ABCDE"
       "BBCCDDEEFF"},
      {{"mac not found"}, "mac not found"},
  };
  for (const Case& k : cases) EXPECT_EQ(composeWorkstationId(k.adapters), k.expected);
  EXPECT_EQ(composeWorkstationId({a}).size(), 12);
  EXPECT_EQ(composeWorkstationId({a, b}).size(), 24);
  EXPECT_EQ(composeWorkstationId({a, b, c}).size(), 30);
  EXPECT_EQ(composeWorkstationId({a, b, c, d, a}).size(), 30);
}

TEST(WorkstationId, AdapterTextFromAHardwareAddress) {
  EXPECT_EQ(adapterText("00:a0:c9:14:12:3f"), "00A0C914123F");
  EXPECT_EQ(adapterText("00-A0-C9-14-12-3F"), "00A0C914123F");
  for (const char* bad : {"", "00:a0:c9:14:12", "00:a0:c9:14:12:3f:01", "zz:a0:c9:14:12:3f"})
    EXPECT_EQ(adapterText(bad), "mac not found") << bad;
}

TEST(WorkstationId, MachineIdentifierIsStableAndWellFormed) {
  const QStringList adapters = machineAdapterTexts();
  for (const QString& text : adapters) {
    EXPECT_EQ(text.size(), 12);
    EXPECT_NE(text, "000000000000");
  }
  const QString id = workstationId();
  EXPECT_EQ(id, composeWorkstationId(adapters));
  EXPECT_EQ(id, workstationId());
  EXPECT_LE(id.size(), 30);
}

}  // namespace
}  // namespace korvo::kernel
