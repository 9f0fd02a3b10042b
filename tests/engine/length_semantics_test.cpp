// VARCHAR2(n) and CHAR(n) hold n characters, however many bytes UTF-8 needs for
// them (NLS_LENGTH_SEMANTICS = CHAR); a literal stays limited to 4,000 bytes.
#include <string>

#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

std::string times(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

class LengthSemantics : public EngineTest {};

TEST_F(LengthSemantics, WidthsCountCharacters) {
  run("create table names (n varchar2(35), c char(5))");
  const std::string accented = times("é", 35);  // 70 bytes
  run("insert into names (n) values ('" + accented + "')");
  EXPECT_EQ(single("select length(n) from names"), "35");
  EXPECT_EQ(errorOf("insert into names (n) values ('" + accented + "e')"), 12899);
  EXPECT_EQ(lastError_,
            "ORA-12899: value too large for column \"SCOTT\".\"NAMES\".\"N\" (actual: 36, "
            "maximum: 35)");
  EXPECT_EQ(errorOf("update names set n = n || 'ß'"), 12899);
  // CHAR pads to its width in characters, and compares blank-padded
  run("insert into names (c) values ('été')");
  EXPECT_EQ(single("select length(c) || '/' || c || '/' from names where c is not null"),
            "5/été  /");
  EXPECT_EQ(single("select count(*) from names where c = 'été'"), "1");
  EXPECT_EQ(single("select count(*) from names where c in ('x', 'été')"), "1");
  EXPECT_EQ(errorOf("insert into names (c) values ('ééééé ')"), 12899);
  EXPECT_EQ(single("select value from nls_session_parameters "
                   "where parameter = 'NLS_LENGTH_SEMANTICS'"),
            "CHAR");
  // a column made from a literal is as wide as its characters
  run("create table copy as select 'ñandú' x from dual");
  EXPECT_EQ(single("select data_type || '(' || data_length || ')' from user_tab_columns "
                   "where table_name = 'COPY'"),
            "CHAR(5)");
  EXPECT_EQ(single("select count(*) from dual where 'a' like 'é%a' escape 'é'"), "0");
  EXPECT_EQ(single("select count(*) from dual where '%a' like 'é%a' escape 'é'"), "1");
}

TEST_F(LengthSemantics, LiteralsStayWithinFourThousandBytes) {
  const std::string full = times("é", 2000);  // 4,000 bytes
  EXPECT_EQ(single("select length('" + full + "') from dual"), "2000");
  EXPECT_EQ(errorOf("select '" + full + "e' from dual"), 1704);
  EXPECT_EQ(single("select length(q'[" + full + "]') from dual"), "2000");
  EXPECT_EQ(errorOf("select q'[" + full + "e]' from dual"), 1704);
  EXPECT_EQ(errorOf("select nq'{" + times("x", 4001) + "}' from dual"), 1704);
  // refused in one pass over it, however long
  EXPECT_EQ(errorOf("select '" + times("ß", 400000) + "' from dual"), 1704);
  EXPECT_EQ(errorOf("select q'<" + times("ß", 400000) + ">' from dual"), 1704);
  EXPECT_EQ(errorOf("select '" + times("''", 400000) + "' from dual"), 1704);
}

}  // namespace
}  // namespace korvo::engine::test
