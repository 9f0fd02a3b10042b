#include "engine/recursive_with.h"

#include <sqlite3.h>

#include "engine/ora_error.h"
#include "engine/translator.h"

namespace korvo::engine {

using namespace ast;

namespace {

bool reads(const TableRef& t, const std::string& name) {
  switch (t.kind) {
    case TableRef::Kind::Table: return t.schema.empty() && t.name.text == name;
    case TableRef::Kind::Subquery: return false;
    case TableRef::Kind::Join:
      if (reads(*t.left, name)) return true;
      for (const auto& j : t.joins)
        if (reads(*j.right, name)) return true;
      return false;
  }
  return false;
}

bool memberReads(const Query& q, const std::string& name) {
  if (q.kind != Query::Kind::Select) return false;
  for (const auto& t : q.core.from)
    if (reads(*t, name)) return true;
  return false;
}

// korvo_recursion_guard(0, depth): depth + 1. The constant first argument holds the
// count of rows of this statement's recursion.
void guard(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* rows = static_cast<long long*>(sqlite3_get_auxdata(ctx, 0));
  if (!rows) {
    rows = new long long(0);
    sqlite3_set_auxdata(ctx, 0, rows, [](void* p) { delete static_cast<long long*>(p); });
    rows = static_cast<long long*>(sqlite3_get_auxdata(ctx, 0));
    if (!rows) return sqlite3_result_error_nomem(ctx);
  }
  const long long depth = sqlite3_value_int64(argv[1]) + 1;
  if (depth > kMaxRecursionDepth || ++*rows > kMaxRecursionRows)
    return sqlite3_result_error(ctx, "ORA-32044: cycle detected while executing recursive WITH query",
                                -1);
  sqlite3_result_int64(ctx, depth);
}

}  // namespace

bool isRecursiveCommonTable(const CommonTable& ct) {
  const Query& q = *ct.query;
  // a single block reading itself has no anchor to start from: refused as before
  if (q.kind != Query::Kind::Compound) return false;
  for (size_t i = 0; i < q.members.size(); ++i)
    if (memberReads(*q.members[i], ct.name.text)) return true;
  return false;
}

void registerRecursionGuard(sqlite3* db) {
  sqlite3_create_function(db, "korvo_recursion_guard", 2, SQLITE_UTF8, nullptr, guard, nullptr,
                          nullptr);
}

TranslatedQuery Translator::recursiveCommonTable(const CommonTable& ct) {
  const Query& q = *ct.query;
  if (ct.columns.empty())
    throw OraError(32039);
  if (q.kind != Query::Kind::Compound || !q.orderBy.empty() || q.offsetRows || q.fetchRows)
    throw OraError(32040);
  for (SetOp op : q.ops)
    if (op != SetOp::UnionAll)
      throw OraError(32040);
  size_t anchors = 0;
  while (anchors < q.members.size() && !memberReads(*q.members[anchors], ct.name.text)) ++anchors;
  if (anchors == 0)
    throw OraError(32043);
  if (q.members.size() - anchors != 1)
    throw OraError(3001, "unimplemented feature: recursive WITH with more than one recursive branch");
  const Query& member = *q.members.back();
  const SelectCore& c = member.core;
  bool aggregate = !c.groupBy.empty() || c.having;
  for (const auto& item : c.items) aggregate = aggregate || containsAggregate(*item.expr);
  if (c.distinct || aggregate || !member.orderBy.empty() || c.connectBy || c.startWith ||
      !member.with.empty() || member.offsetRows || member.fetchRows)
    throw OraError(32486);

  TranslatedQuery out;
  std::string anchorSql;
  for (size_t k = 0; k < anchors; ++k) {
    TranslatedQuery a = query(*q.members[k], nullptr);
    if (a.columns.size() != ct.columns.size())
      throw OraError(32038,
                     "number of WITH clause column names does not match number of elements in "
                     "select list");
    if (k == 0) {
      out.columns = a.columns;
      out.types = a.types;
      out.fixedChar = a.fixedChar;
    } else {
      for (size_t i = 0; i < a.types.size(); ++i)
        if (a.types[i] != out.types[i] && a.types[i] != SqlType::Unknown &&
            out.types[i] != SqlType::Unknown)
          throw OraError(1790);
    }
    anchorSql += (k ? " UNION ALL " : "") + std::string("SELECT * FROM (") + a.sql + ")";
  }
  for (size_t k = 0; k < out.columns.size(); ++k) out.columns[k].name = ct.columns[k].text;

  RecursiveSelf self;
  self.ct = &ct;
  self.sqlName = "korvo_r" + std::to_string(++aliasCounter_);
  self.types = out.types;
  self.fixedChar = out.fixedChar;
  self.columns = out.columns;
  RecursiveSelf* saved = recursive_;
  recursive_ = &self;
  TranslatedQuery r;
  try {
    r = query(member, nullptr);
  } catch (...) {
    recursive_ = saved;
    throw;
  }
  recursive_ = saved;
  if (r.columns.size() != ct.columns.size())
    throw OraError(32038,
                   "number of WITH clause column names does not match number of elements in "
                   "select list");
  for (size_t i = 0; i < r.types.size(); ++i) {
    if (out.types[i] == SqlType::Unknown) out.types[i] = r.types[i];
    else if (r.types[i] != SqlType::Unknown && r.types[i] != out.types[i])
      throw OraError(1790);
    out.columns[i].nullable = out.columns[i].nullable || r.columns[i].nullable;
  }
  // the member's select list gains the depth its rows are at
  const std::string select = "SELECT ";
  if (r.sql.rfind(select, 0) != 0 || self.alias.empty())
    throw OraError(32486);
  std::string recursiveSql = "SELECT korvo_recursion_guard(0, " + self.alias +
                             ".korvo_depth) AS korvo_depth, " + r.sql.substr(select.size());
  std::string cols = "korvo_depth", outCols;
  for (size_t k = 0; k < out.columns.size(); ++k) {
    std::string n = "c" + std::to_string(k + 1);
    cols += ", " + n;
    outCols += (k ? ", " : "") + n;
  }
  out.sql = "WITH RECURSIVE " + self.sqlName + "(" + cols + ") AS (SELECT 0, a.* FROM (" +
            anchorSql + ") AS a UNION ALL " + recursiveSql + ") SELECT " + outCols + " FROM " +
            self.sqlName;
  return out;
}

bool Translator::recursiveSource(const TableRef& t, Scope& scope, std::string& sql) {
  if (!recursive_ || !t.schema.empty() || recursive_->ct->name.text != t.name.text) return false;
  if (!recursive_->alias.empty())
    throw OraError(3001, "unimplemented feature: recursive WITH reading itself more than once");
  Source s;
  s.name = t.alias.empty() ? t.name.text : t.alias.text;
  s.sqlAlias = newAlias();
  recursive_->alias = s.sqlAlias;
  for (size_t k = 0; k < recursive_->columns.size(); ++k) {
    SourceColumn c;
    c.name = recursive_->ct->columns[k].text;
    c.sqlName = "c" + std::to_string(k + 1);
    c.type = recursive_->types[k];
    c.fixedChar = recursive_->fixedChar[k];
    c.meta = recursive_->columns[k];
    c.meta.name = c.name;
    s.columns.push_back(std::move(c));
  }
  sql = recursive_->sqlName + " AS " + s.sqlAlias;
  addSource(scope, std::move(s));
  return true;
}

}  // namespace korvo::engine
