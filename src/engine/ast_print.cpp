#include "engine/ast_print.h"

#include <type_traits>

#include "engine/dialect_types.h"
#include "engine/nesting.h"

namespace korvo::engine::ast {
namespace {

// The printers carry how deep they are; each call one level deeper.
std::string exprSql(const Expr& e, int depth);
std::string querySql(const Query& q, int depth);
std::string tableSql(const TableRef& t, int depth);

std::string joinExprs(const std::vector<ExprPtr>& v, int depth, size_t from = 0) {
  std::string s;
  for (size_t i = from; i < v.size(); ++i) {
    if (i > from) s += ", ";
    s += exprSql(*v[i], depth);
  }
  return s;
}

std::string orderSql(const std::vector<OrderItem>& items, int depth) {
  std::string s;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) s += ", ";
    s += exprSql(*items[i].expr, depth);
    if (items[i].descending) s += " DESC";
    if (items[i].nullsFirst) s += *items[i].nullsFirst ? " NULLS FIRST" : " NULLS LAST";
  }
  return s;
}


std::string coreSql(const SelectCore& c, int depth) {
  std::string s = "SELECT ";
  if (c.distinct) s += "DISTINCT ";
  for (size_t i = 0; i < c.items.size(); ++i) {
    if (i) s += ", ";
    s += exprSql(*c.items[i].expr, depth);
    if (!c.items[i].alias.empty()) s += " " + quoteName(c.items[i].alias);
  }
  s += " FROM ";
  for (size_t i = 0; i < c.from.size(); ++i) {
    if (i) s += ", ";
    s += tableSql(*c.from[i], depth);
  }
  if (c.where) s += " WHERE " + exprSql(*c.where, depth);
  if (c.startWith) s += " START WITH " + exprSql(*c.startWith, depth);
  if (c.connectBy)
    s += std::string(" CONNECT BY ") + (c.noCycle ? "NOCYCLE " : "") + exprSql(*c.connectBy, depth);
  if (!c.groupBy.empty()) s += " GROUP BY " + joinExprs(c.groupBy, depth);
  if (c.having) s += " HAVING " + exprSql(*c.having, depth);
  return s;
}

std::string boundSql(const FrameBound& b, int depth) {
  switch (b.kind) {
    case FrameBound::Kind::UnboundedPreceding: return "UNBOUNDED PRECEDING";
    case FrameBound::Kind::Preceding: return exprSql(*b.offset, depth) + " PRECEDING";
    case FrameBound::Kind::CurrentRow: return "CURRENT ROW";
    case FrameBound::Kind::Following: return exprSql(*b.offset, depth) + " FOLLOWING";
    case FrameBound::Kind::UnboundedFollowing: return "UNBOUNDED FOLLOWING";
  }
  return {};
}

// WITHIN GROUP, KEEP and OVER after a call's argument list.
std::string clausesSql(const FunctionClauses& c, int depth) {
  std::string s;
  if (!c.withinGroup.empty())
    s += " WITHIN GROUP (ORDER BY " + orderSql(c.withinGroup, depth) + ")";
  if (c.keep)
    s += std::string(" KEEP (DENSE_RANK ") + (c.keepLast ? "LAST" : "FIRST") + " ORDER BY " +
         orderSql(c.keepOrder, depth) + ")";
  if (c.ignoreNulls) s += " IGNORE NULLS";
  if (!c.over) return s;
  std::string w;
  if (!c.partitionBy.empty()) w += "PARTITION BY " + joinExprs(c.partitionBy, depth);
  if (!c.orderBy.empty()) w += (w.empty() ? "" : " ") + ("ORDER BY " + orderSql(c.orderBy, depth));
  if (c.frame) {
    w += c.frame->rows ? " ROWS " : " RANGE ";
    if (c.frame->end)
      w += "BETWEEN " + boundSql(c.frame->start, depth) + " AND " + boundSql(*c.frame->end, depth);
    else
      w += boundSql(c.frame->start, depth);
  }
  return s + " OVER (" + w + ")";
}

const char* setOpSql(SetOp op) {
  static const char* ops[] = {" UNION ", " UNION ALL ", " INTERSECT ", " MINUS "};
  return ops[int(op)];
}

}  // namespace

std::string quoteName(const Name& n) {
  if (!n.quoted) return n.text;
  return "\"" + n.text + "\"";
}

std::string quoteString(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

namespace {

std::string exprSql(const Expr& e, int depth) {
  checkTreeDepth(++depth, "expression");
  auto toSql = [depth](const auto& node) {
    if constexpr (std::is_same_v<std::decay_t<decltype(node)>, Query>)
      return querySql(node, depth);
    else
      return exprSql(node, depth);
  };
  auto joinExprs = [depth](const std::vector<ExprPtr>& v, size_t from = 0) {
    return korvo::engine::ast::joinExprs(v, depth, from);
  };
  std::string s;
  switch (e.kind) {
    case ExprKind::Number:
      s = e.text;
      break;
    case ExprKind::String:
      s = quoteString(e.text);
      break;
    case ExprKind::Null:
      s = "NULL";
      break;
    case ExprKind::DateLiteral:
      s = "DATE " + quoteString(e.text);
      break;
    case ExprKind::Interval:
      s = "INTERVAL " + quoteString(e.text) + " " + e.name.text;
      break;
    case ExprKind::Column:
      s = e.qualifier.empty() ? quoteName(e.name)
                              : quoteName(e.qualifier) + "." + quoteName(e.name);
      if (e.outerJoin) s += "(+)";
      break;
    case ExprKind::Star:
      s = e.qualifier.empty() ? "*" : quoteName(e.qualifier) + ".*";
      break;
    case ExprKind::Pseudo:
      s = e.text;
      break;
    case ExprKind::Unary: {
      bool word = e.text != "-" && e.text != "+";
      s = e.text + (word ? " " : "") + toSql(*e.args[0]);
      // "- -1" must not print as "--1", a comment
      if (!word && !s.empty() && s.size() > 1 && s[1] == '-') s = e.text + " " + toSql(*e.args[0]);
      break;
    }
    case ExprKind::Binary:
      s = toSql(*e.args[0]);
      for (size_t i = 1; i < e.args.size(); ++i) {
        s += " ";
        s += e.opBefore(i);
        s += " ";
        s += toSql(*e.args[i]);
      }
      break;
    case ExprKind::Like:
      s = toSql(*e.args[0]) + (e.negated ? " NOT LIKE " : " LIKE ") + toSql(*e.args[1]);
      if (e.args.size() > 2) s += " ESCAPE " + toSql(*e.args[2]);
      break;
    case ExprKind::Between:
      s = toSql(*e.args[0]) + (e.negated ? " NOT BETWEEN " : " BETWEEN ") + toSql(*e.args[1]) +
          " AND " + toSql(*e.args[2]);
      break;
    case ExprKind::InList:
      s = toSql(*e.args[0]) + (e.negated ? " NOT IN (" : " IN (") + joinExprs(e.args, 1) + ")";
      break;
    case ExprKind::InQuery:
      s = toSql(*e.args[0]) + (e.negated ? " NOT IN (" : " IN (") + toSql(*e.query) + ")";
      break;
    case ExprKind::IsNull:
      s = toSql(*e.args[0]) + (e.negated ? " IS NOT NULL" : " IS NULL");
      break;
    case ExprKind::Exists:
      s = "EXISTS (" + toSql(*e.query) + ")";
      break;
    case ExprKind::Subquery:
      s = "(" + toSql(*e.query) + ")";
      break;
    case ExprKind::Function:
      s = e.qualifier.empty() ? quoteName(e.name)
                              : quoteName(e.qualifier) + "." + quoteName(e.name);
      if (!e.text.empty()) {  // CAST(x AS type)
        s += "(" + toSql(*e.args[0]) + " AS " + e.text + ")";
        break;
      }
      s += "(";
      if (e.distinct) s += "DISTINCT ";
      s += joinExprs(e.args) + ")";
      if (e.clauses) s += clausesSql(*e.clauses, depth);
      break;
    case ExprKind::Case: {
      s = "CASE";
      size_t i = 0;
      if (e.hasOperand) s += " " + toSql(*e.args[i++]);
      size_t end = e.args.size() - (e.hasElse ? 1 : 0);
      for (; i + 1 < end + 1 && i < end; i += 2)
        s += " WHEN " + toSql(*e.args[i]) + " THEN " + toSql(*e.args[i + 1]);
      if (e.hasElse) s += " ELSE " + toSql(*e.args.back());
      s += " END";
      break;
    }
    case ExprKind::Extract:
      s = "EXTRACT(" + e.text + " FROM " + toSql(*e.args[0]) + ")";
      break;
    case ExprKind::Row:
      s = "(" + joinExprs(e.args) + ")";
      return s;
    case ExprKind::Quantified:
      s = toSql(*e.args[0]) + " " + e.text + " " + e.name.text + " (" +
          (e.query ? toSql(*e.query) : joinExprs(e.args, 1)) + ")";
      break;
  }
  if (e.parenthesized) return "(" + s + ")";
  return s;
}

std::string querySql(const Query& q, int depth) {
  checkTreeDepth(++depth, "query");
  auto toSql = [depth](const Query& inner) { return querySql(inner, depth); };
  std::string s;
  for (size_t i = 0; i < q.with.size(); ++i) {
    const auto& ct = q.with[i];
    s += i ? ", " : "WITH ";
    s += quoteName(ct.name);
    if (!ct.columns.empty()) {
      s += " (";
      for (size_t k = 0; k < ct.columns.size(); ++k)
        s += (k ? ", " : "") + quoteName(ct.columns[k]);
      s += ")";
    }
    s += " AS (" + toSql(*ct.query) + ")";
    if (i + 1 == q.with.size()) s += " ";
  }
  std::string b;
  if (q.kind == Query::Kind::Select) {
    b = coreSql(q.core, depth);
  } else {
    for (size_t i = 0; i < q.members.size(); ++i) {
      if (i) b += setOpSql(q.ops[i - 1]);
      b += toSql(*q.members[i]);
    }
  }
  if (!q.orderBy.empty())
    b += std::string(q.orderSiblings ? " ORDER SIBLINGS BY " : " ORDER BY ") +
         orderSql(q.orderBy, depth);
  if (q.offsetRows) b += " OFFSET " + exprSql(*q.offsetRows, depth) + " ROWS";
  if (q.fetchRows) b += " FETCH FIRST " + exprSql(*q.fetchRows, depth) + " ROWS ONLY";
  if (q.parenthesized) b = "(" + b + ")";
  return s + b;
}

std::string tableSql(const TableRef& t, int depth) {
  checkTreeDepth(++depth, "table reference");
  std::string s;
  switch (t.kind) {
    case TableRef::Kind::Table:
      s = t.schema.empty() ? quoteName(t.name) : quoteName(t.schema) + "." + quoteName(t.name);
      break;
    case TableRef::Kind::Subquery:
      s = "(" + querySql(*t.query, depth) + ")";
      break;
    case TableRef::Kind::Join: {
      static const char* kinds[] = {" JOIN ", " LEFT JOIN ", " RIGHT JOIN ", " FULL JOIN ",
                                    " CROSS JOIN "};
      s = tableSql(*t.left, depth);
      for (const auto& j : t.joins) {
        if (j.natural) s += " NATURAL";
        s += kinds[int(j.type)];
        s += tableSql(*j.right, depth);
        if (j.on) s += " ON " + exprSql(*j.on, depth);
        if (!j.usingColumns.empty()) {
          s += " USING (";
          for (size_t k = 0; k < j.usingColumns.size(); ++k)
            s += (k ? ", " : "") + quoteName(j.usingColumns[k]);
          s += ")";
        }
      }
      return s;
    }
  }
  if (!t.alias.empty()) s += " " + quoteName(t.alias);
  return s;
}

}  // namespace

std::string toSql(const Expr& e) { return exprSql(e, 0); }
std::string toSql(const Query& q) { return querySql(q, 0); }
std::string toSql(const TableRef& t) { return tableSql(t, 0); }

std::string toSql(const Statement& st) {
  auto table = [&] {
    return st.tableSchema.empty() ? quoteName(st.table)
                                  : quoteName(st.tableSchema) + "." + quoteName(st.table);
  };
  auto names = [](const std::vector<Name>& v) {
    std::string s;
    for (size_t i = 0; i < v.size(); ++i) s += (i ? ", " : "") + quoteName(v[i]);
    return s;
  };
  switch (st.kind) {
    case StatementKind::Select:
      return toSql(*st.query);
    case StatementKind::Insert: {
      std::string s = "INSERT INTO " + table();
      if (!st.alias.empty()) s += " " + quoteName(st.alias);
      if (!st.columns.empty()) s += " (" + names(st.columns) + ")";
      if (st.query) return s + " " + toSql(*st.query);
      return s + " VALUES (" + joinExprs(st.values, 0) + ")";
    }
    case StatementKind::Update: {
      std::string s = "UPDATE " + table();
      if (!st.alias.empty()) s += " " + quoteName(st.alias);
      s += " SET ";
      for (size_t i = 0; i < st.assignments.size(); ++i) {
        const auto& a = st.assignments[i];
        if (i) s += ", ";
        if (!a.qualifier.empty()) s += quoteName(a.qualifier) + ".";
        s += quoteName(a.column) + " = " + toSql(*a.value);
      }
      if (st.where) s += " WHERE " + toSql(*st.where);
      return s;
    }
    case StatementKind::Delete: {
      std::string s = "DELETE FROM " + table();
      if (!st.alias.empty()) s += " " + quoteName(st.alias);
      if (st.where) s += " WHERE " + toSql(*st.where);
      return s;
    }
    case StatementKind::CreateTable: {
      std::string s = "CREATE TABLE " + table();
      if (!st.columnDefs.empty()) {
        s += " (";
        for (size_t i = 0; i < st.columnDefs.size(); ++i) {
          const auto& d = st.columnDefs[i];
          if (i) s += ", ";
          s += quoteName(d.name) + " " + typeDeclaration(d.type);
          if (d.defaultValue) s += " DEFAULT " + toSql(*d.defaultValue);
          if (d.notNull) s += " NOT NULL";
        }
        for (const auto& k : st.keys) {
          s += ", ";
          if (!k.name.empty()) s += "CONSTRAINT " + quoteName(k.name) + " ";
          s += std::string(k.primary ? "PRIMARY KEY (" : "UNIQUE (") + names(k.columns) + ")";
        }
        s += ")";
      }
      if (st.query) s += " AS " + toSql(*st.query);
      return s;
    }
    case StatementKind::CreateIndex:
      return std::string("CREATE ") + (st.unique ? "UNIQUE " : "") + "INDEX " +
             quoteName(st.index) + " ON " + table() + " (" + names(st.columns) + ")";
    case StatementKind::DropTable:
      return "DROP TABLE " + table();
    case StatementKind::DropIndex:
      return "DROP INDEX " + quoteName(st.index);
    case StatementKind::DropProcedure:
      return "DROP PROCEDURE " + quoteName(st.table);
    case StatementKind::Commit:
      return "COMMIT";
    case StatementKind::Rollback:
      return "ROLLBACK";
    case StatementKind::AlterSession: {
      std::string v = st.value;
      bool word = !v.empty() && v.find_first_of(" ',.-/:") == std::string::npos &&
                  v.find_first_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos;
      return "ALTER SESSION SET " + st.parameter + " = " + (word ? v : quoteString(v));
    }
    case StatementKind::ExplainPlan: {
      std::string s = "EXPLAIN PLAN";
      if (st.statementId) s += " SET STATEMENT_ID = " + quoteString(*st.statementId);
      return s + " INTO " + quoteName(st.intoTable) + " FOR " + toSql(*st.query);
    }
    case StatementKind::CreateProcedure:
      return std::string("CREATE ") + (st.orReplace ? "OR REPLACE " : "") + st.text;
    case StatementKind::Block: {
      std::string s = "BEGIN\n";
      for (const auto& c : st.calls) {
        s += c.package.empty() ? quoteName(c.name) : quoteName(c.package) + "." + quoteName(c.name);
        if (!c.args.empty()) s += "(" + joinExprs(c.args, 0) + ")";
        s += ";\n";
      }
      if (st.calls.empty()) s += "NULL;\n";
      return s + "END;";
    }
  }
  return {};
}

}  // namespace korvo::engine::ast
