// One version for the program, the engine, the package and the shipped pages:
// CMake's project version reaches the code as KORVO_VERSION.
#include <gtest/gtest.h>

#include <QFile>
#include <QString>

#include "engine/session.h"
#include "kernel/app_state.h"
#include "support/test_paths.h"

namespace korvo::kernel {
namespace {

TEST(Version, TheProgramAndTheEngineShowTheProjectVersion) {
  EXPECT_STREQ(kVersion, KORVO_VERSION);
  // V$VERSION's banner names the engine's release.
  EXPECT_NE(engine::engineBanner().find(std::string(" Release ") + KORVO_VERSION + " "),
            std::string::npos)
      << engine::engineBanner();
}

// The manual and the product pages are written by hand; they must name the
// version the program shows in its about box.
TEST(Version, TheShippedPagesNameTheSameVersion) {
  const struct {
    const char* file;
    QString mention;
  } pages[] = {{"data/Korvo-BO6.html", QString("<h1>Korvo-BO6 %1</h1>").arg(kVersion)},
               {"data/web/index_fr.html", QString("version %1<").arg(kVersion)},
               {"data/web/index_en.html", QString("release %1<").arg(kVersion)}};
  for (const auto& p : pages) {
    QFile f(testing::sourceRoot() + "/" + p.file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << p.file;
    EXPECT_TRUE(QString::fromUtf8(f.readAll()).contains(p.mention)) << p.file;
  }
}

}  // namespace
}  // namespace korvo::kernel
