// The seed corpus of the fuzz_sql target through the same front end entry, in
// the ordinary build: every seed is a statement the engine takes, and nothing
// but an Oracle error may ever leave the front end.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../../fuzz/sql_front_end.h"

namespace {

std::filesystem::path corpusFolder() {
  const char* source = std::getenv("KORVO_SOURCE_DIR");
  const std::filesystem::path root =
      source && *source ? std::filesystem::path(source)
                        : std::filesystem::path(KORVO_TEST_SOURCE_DIR);
  return root / "fuzz" / "corpus" / "fuzz_sql";
}

std::string contentOf(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(FuzzCorpusReplay, EverySqlSeedIsParsedAndTranslated) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(corpusFolder()))
    if (entry.is_regular_file()) files.push_back(entry.path());
  ASSERT_GE(files.size(), 10u) << corpusFolder();
  for (const auto& file : files) {
    std::optional<std::string> refusal;
    EXPECT_NO_THROW(refusal = korvo::fuzz::runSqlFrontEnd(contentOf(file))) << file;
    EXPECT_EQ(refusal, std::nullopt) << file;
  }
}

// Inputs of the kind the fuzzer makes from the seeds: cut short, doubled,
// emptied. They may be refused, always with an Oracle error.
TEST(FuzzCorpusReplay, MangledSeedsGiveOracleErrorsOnly) {
  for (const auto& entry : std::filesystem::directory_iterator(corpusFolder())) {
    const std::string sql = contentOf(entry.path());
    const std::vector<std::string> variants = {"",
                                               sql.substr(0, sql.size() / 2),
                                               sql + sql,
                                               sql + ";",
                                               "(" + sql + ")",
                                               std::string(sql.rbegin(), sql.rend())};
    for (const std::string& v : variants)
      EXPECT_NO_THROW(korvo::fuzz::runSqlFrontEnd(v)) << entry.path() << ": " << v;
  }
}

}  // namespace
