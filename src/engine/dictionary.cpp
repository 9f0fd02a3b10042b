#include "engine/dictionary.h"

#include <functional>
#include <map>

namespace korvo::engine {
namespace {

struct ColSpec {
  const char* name;
  SqlType type;
};

std::vector<SourceColumn> columnsOf(std::initializer_list<ColSpec> specs) {
  std::vector<SourceColumn> out;
  for (const auto& s : specs) {
    SourceColumn c;
    c.name = s.name;
    c.sqlName = sqlName(s.name);
    c.type = s.type;
    c.meta.name = s.name;
    c.meta.type = typeName(s.type);
    if (s.type == SqlType::Text) c.meta.length = 128;
    out.push_back(std::move(c));
  }
  return out;
}

std::string nlsRows(const TranslationEnv& env) {
  const Nls& n = *env.nls;
  std::string chars = {n.decimalSeparator, n.groupSeparator};
  std::vector<std::pair<std::string, std::string>> rows = {
      {"NLS_LANGUAGE", "AMERICAN"},
      {"NLS_TERRITORY", "AMERICA"},
      {"NLS_CURRENCY", "$"},
      {"NLS_ISO_CURRENCY", "AMERICA"},
      {"NLS_NUMERIC_CHARACTERS", chars},
      {"NLS_CALENDAR", "GREGORIAN"},
      {"NLS_DATE_FORMAT", n.dateFormat},
      {"NLS_DATE_LANGUAGE", "AMERICAN"},
      {"NLS_SORT", "BINARY"},
      {"NLS_TIMESTAMP_FORMAT", n.timestampFormat},
      {"NLS_TIMESTAMP_TZ_FORMAT", n.timestampTzFormat},
      {"NLS_COMP", "BINARY"},
      {"NLS_LENGTH_SEMANTICS", "CHAR"},  // VARCHAR2(n) and CHAR(n) count characters
  };
  std::string sql;
  for (const auto& [p, v] : rows) {
    if (!sql.empty()) sql += " UNION ALL ";
    sql += "SELECT " + sqlString(p) + " AS \"PARAMETER\", " + sqlString(v) + " AS \"VALUE\"";
  }
  return sql;
}

std::string nullable(const char* col) {
  return std::string("CASE WHEN ") + col + " THEN 'N' ELSE 'Y' END";
}

}  // namespace

bool dictionaryView(const std::string& name, const TranslationEnv& env, std::string& sql,
                    std::vector<SourceColumn>& columns) {
  using T = SqlType;
  if (name == "DUAL") {
    sql = "SELECT 'X' AS \"DUMMY\"";
    columns = columnsOf({{"DUMMY", T::Text}});
    return true;
  }
  if (name == "USER_TABLES" || name == "TABS") {
    sql =
        "SELECT name AS \"TABLE_NAME\", 'USERS' AS \"TABLESPACE_NAME\", NULL AS \"NUM_ROWS\", "
        "'N' AS \"TEMPORARY\" FROM _korvo_tables";
    columns = columnsOf({{"TABLE_NAME", T::Text},
                         {"TABLESPACE_NAME", T::Text},
                         {"NUM_ROWS", T::Number},
                         {"TEMPORARY", T::Text}});
    return true;
  }
  if (name == "ALL_TABLES") {
    sql = "SELECT " + sqlString(env.user) +
          " AS \"OWNER\", name AS \"TABLE_NAME\", "
          "'USERS' AS \"TABLESPACE_NAME\" FROM _korvo_tables";
    columns =
        columnsOf({{"OWNER", T::Text}, {"TABLE_NAME", T::Text}, {"TABLESPACE_NAME", T::Text}});
    return true;
  }
  if (name == "USER_TAB_COLUMNS" || name == "COLS") {
    sql =
        "SELECT table_name AS \"TABLE_NAME\", name AS \"COLUMN_NAME\", "
        "CASE type WHEN 'INTEGER' THEN 'NUMBER' ELSE type END AS \"DATA_TYPE\", "
        "CASE WHEN type IN ('NUMBER','INTEGER','FLOAT') THEN 22 WHEN type = 'DATE' THEN 7 "
        "WHEN type IN ('LONG','CLOB') THEN 0 ELSE length END AS \"DATA_LENGTH\", "
        "CASE WHEN type = 'INTEGER' THEN NULL WHEN type = 'FLOAT' THEN 126 "
        "ELSE precision END AS \"DATA_PRECISION\", "
        "CASE WHEN type = 'INTEGER' THEN 0 ELSE scale END AS \"DATA_SCALE\", " +
        nullable("not_null") + " AS \"NULLABLE\", position AS \"COLUMN_ID\" FROM _korvo_columns";
    columns = columnsOf({{"TABLE_NAME", T::Text},
                         {"COLUMN_NAME", T::Text},
                         {"DATA_TYPE", T::Text},
                         {"DATA_LENGTH", T::Number},
                         {"DATA_PRECISION", T::Number},
                         {"DATA_SCALE", T::Number},
                         {"NULLABLE", T::Text},
                         {"COLUMN_ID", T::Number}});
    return true;
  }
  if (name == "USER_OBJECTS") {
    sql =
        "SELECT name AS \"OBJECT_NAME\", 'TABLE' AS \"OBJECT_TYPE\", created AS \"CREATED\", "
        "'VALID' AS \"STATUS\" FROM _korvo_tables UNION ALL "
        "SELECT name, 'INDEX', created, 'VALID' FROM _korvo_indexes UNION ALL "
        "SELECT name, 'PROCEDURE', min(created), 'VALID' FROM _korvo_source GROUP BY name";
    columns = columnsOf({{"OBJECT_NAME", T::Text},
                         {"OBJECT_TYPE", T::Text},
                         {"CREATED", T::Date},
                         {"STATUS", T::Text}});
    return true;
  }
  if (name == "USER_INDEXES" || name == "IND") {
    sql =
        "SELECT name AS \"INDEX_NAME\", table_name AS \"TABLE_NAME\", "
        "CASE WHEN uniq THEN 'UNIQUE' ELSE 'NONUNIQUE' END AS \"UNIQUENESS\" FROM _korvo_indexes";
    columns =
        columnsOf({{"INDEX_NAME", T::Text}, {"TABLE_NAME", T::Text}, {"UNIQUENESS", T::Text}});
    return true;
  }
  if (name == "USER_SOURCE") {
    sql =
        "SELECT name AS \"NAME\", 'PROCEDURE' AS \"TYPE\", line AS \"LINE\", text AS \"TEXT\" "
        "FROM _korvo_source";
    columns =
        columnsOf({{"NAME", T::Text}, {"TYPE", T::Text}, {"LINE", T::Number}, {"TEXT", T::Text}});
    return true;
  }
  if (name == "V$VERSION") {
    sql = "SELECT " + sqlString(env.banner) + " AS \"BANNER\"";
    columns = columnsOf({{"BANNER", T::Text}});
    return true;
  }
  if (name == "NLS_SESSION_PARAMETERS") {
    sql = nlsRows(env);
    columns = columnsOf({{"PARAMETER", T::Text}, {"VALUE", T::Text}});
    return true;
  }
  if (name == "V$SESSION") {
    sql = "SELECT " + sqlString(env.user) + " AS \"USERNAME\", 1 AS \"SID\", " +
          (env.module.empty() ? std::string("NULL") : sqlString(env.module)) + " AS \"MODULE\", " +
          (env.action.empty() ? std::string("NULL") : sqlString(env.action)) + " AS \"ACTION\"";
    columns = columnsOf(
        {{"USERNAME", T::Text}, {"SID", T::Number}, {"MODULE", T::Text}, {"ACTION", T::Text}});
    return true;
  }
  return false;
}

}  // namespace korvo::engine
