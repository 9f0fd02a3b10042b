// Each code's fixed text lives in one table: an error raised by code alone
// carries Oracle's wording, and a statement's error shows it.
#include <gtest/gtest.h>

#include "engine/ora_error.h"
#include "engine/ora_messages.h"
#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

TEST(OraMessages, AnErrorByCodeCarriesOraclesText) {
  EXPECT_STREQ(OraError(942).what(), "ORA-00942: table or view does not exist");
  EXPECT_EQ(OraError(936).text(), "missing expression");
  EXPECT_EQ(OraError(1476).text(), "divisor is equal to zero");
  // A code whose text depends on what failed has none here.
  EXPECT_EQ(oraMessage(3001), nullptr);
}

class OraMessagesThroughStatements : public EngineTest {};

TEST_F(OraMessagesThroughStatements, TheStatementsErrorIsTheTablesText) {
  try {
    db().execute("select * from NO_SUCH_TABLE");
    ADD_FAILURE() << "no error";
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 942);
    EXPECT_EQ(e.text(), oraMessage(942));
  }
}

}  // namespace
}  // namespace korvo::engine::test
