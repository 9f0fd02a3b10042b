// Anonymous blocks and stored procedures: the block is a list of procedure
// calls; DBMS_APPLICATION_INFO is built in, other procedures run the native
// routine registered under their name.
#include <sqlite3.h>

#include "engine/native_procedures.h"
#include "engine/ora_error.h"
#include "engine/procedure_registry.h"
#include "engine/session_impl.h"
#include "engine/sqlite_errors.h"

namespace korvo::engine {

using namespace ast;

namespace {

std::string truncateBytes(std::string s, size_t n) {
  if (s.size() > n) s.resize(n);
  return s;
}

[[noreturn]] void mustBeDeclared(const Call& c) {
  std::string id = c.package.empty() ? c.name.text : c.package.text + "." + c.name.text;
  throw OraError(6550, c.position + ":\nPLS-00201: identifier '" + id +
                           "' must be declared\nORA-06550: " + c.position +
                           ":\nPL/SQL: Statement ignored");
}

}  // namespace

Value SessionImpl::evaluate(const Expr& e) {
  TranslationEnv env_ = env();
  Translator t(env_);
  Scope empty;
  TypedSql v = t.expr(e, empty);
  std::string sql = "SELECT " + v.sql;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db_.get(), sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
    throw errorFromSqlite(sqlite3_errmsg(db_.get()));
  int rc = sqlite3_step(st);
  Value out;
  if (rc == SQLITE_ROW) {
    int type = sqlite3_column_type(st, 0);
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
      out = Value::ofNumber(sqlite3_column_double(st, 0));
    } else if (type != SQLITE_NULL) {
      std::string text(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)),
                       size_t(sqlite3_column_bytes(st, 0)));
      out = v.type == SqlType::Date ? Value::ofDate(text) : Value::ofText(text);
    }
  }
  std::string msg = rc == SQLITE_ROW ? "" : sqlite3_errmsg(db_.get());
  sqlite3_finalize(st);
  if (rc != SQLITE_ROW) throw errorFromSqlite(msg);
  return out;
}

void SessionImpl::runBlock(const Statement& s) {
  // Check every call before running any, as PL/SQL compiles the block first.
  for (const auto& c : s.calls) {
    if (c.package.text == "DBMS_APPLICATION_INFO") {
      const std::string& n = c.name.text;
      size_t want = n == "SET_MODULE" ? 2 : (n == "SET_ACTION" ? 1 : 0);
      if (want == 0) mustBeDeclared(c);
      if (c.args.size() != want)
        throw OraError(6550, c.position + ":\nPLS-00306: wrong number or types of arguments in "
                                          "call to '" + n + "'");
      continue;
    }
    if (isBuiltinProcedure(c)) continue;  // DBMS_STATS, RAISE_APPLICATION_ERROR
    if (!c.package.empty() || !catalog_.hasProcedure(c.name.text)) mustBeDeclared(c);
  }
  auto body = [&] {
    for (const auto& c : s.calls) {
      std::vector<Value> args;
      for (const auto& a : c.args) args.push_back(evaluate(*a));
      if (c.package.text == "DBMS_APPLICATION_INFO") {
        if (c.name.text == "SET_MODULE") {
          module_ = truncateBytes(args[0].isNull() ? "" : args[0].text, 48);
          action_ = truncateBytes(args[1].isNull() ? "" : args[1].text, 32);
        } else {
          action_ = truncateBytes(args[0].isNull() ? "" : args[0].text, 32);
        }
        continue;
      }
      if (isBuiltinProcedure(c)) {
        runBuiltinProcedure(*this, db_.get(), c, args);
        continue;
      }
      registerNativeProcedures();
      const NativeProcedure* routine = findNativeProcedure(c.name.text);
      if (!routine)
        throw OraError(3001, "unimplemented feature: procedure " + c.name.text +
                                 " has no native routine in this engine");
      (*routine)(*this, args);
    }
  };
  bool onlyModule = true;
  for (const auto& c : s.calls) onlyModule = onlyModule && c.package.text == "DBMS_APPLICATION_INFO";
  if (onlyModule) {
    body();  // no transactional effect
  } else {
    BatchedDurability batched(db_.get());  // one disk flush for all the commits of its procedures
    asStatement(body);
  }
}

void SessionImpl::createProcedure(const Statement& s) {
  asDdl([&] {
    const std::string& name = s.table.text;
    if (catalog_.table(name)) throw OraError(955);
    if (!s.orReplace && catalog_.hasProcedure(name))
      throw OraError(955);
    catalog_.storeProcedure(name, s.text);
  });
}

void SessionImpl::dropProcedure(const Statement& s) {
  asDdl([&] {
    if (!catalog_.hasProcedure(s.table.text))
      throw OraError(4043, "object " + s.table.text + " does not exist");
    catalog_.removeProcedure(s.table.text);
  });
}

}  // namespace korvo::engine
