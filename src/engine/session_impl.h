#pragma once
// The engine's Session: one SQLite connection, the Oracle catalogue, the NLS
// settings and Oracle's transaction rules (lazy BEGIN, statement savepoints,
// implicit commits around DDL).
#include <functional>
#include <atomic>
#include <memory>
#include <string>

#include "engine/ast.h"
#include "engine/catalog.h"
#include "engine/functions.h"
#include "engine/session.h"
#include "engine/translator.h"

struct sqlite3;

namespace korvo::engine {

class SessionImpl : public Session {
 public:
  SessionImpl(const std::string& file, const std::string& user);
  ~SessionImpl() override;

  StatementResult execute(std::string_view sql) override;
  void commit() override;
  void rollback() override;
  void interrupt() override;
  bool inTransaction() const override { return inTransaction_; }
  const Nls& nls() const override { return nls_; }
  std::string user() const override { return user_; }
  std::string module() const override { return module_; }
  std::string display(const Value& v) const override;
  std::optional<std::string> meta(const std::string& key) override;
  void setMeta(const std::string& key, const std::string& value) override;

 private:
  std::shared_ptr<sqlite3> db_;
  // Set by interrupt(), read by SQLite's progress handler: only the statement
  // or fetch running now stops. Each new call clears it, so an interrupt that
  // came after its statement ended never stops the next one.
  std::shared_ptr<std::atomic<bool>> interrupted_ = std::make_shared<std::atomic<bool>>(false);
  Catalog catalog_;
  FunctionContext functions_;
  Nls nls_;
  std::string user_;
  std::string module_;
  std::string action_;
  bool inTransaction_ = false;
  int depth_ = 0;  // nested execute() from native procedures
  long long commits_ = 0;  // a COMMIT inside a procedure ends its block's savepoint

  StatementResult executeStatement(std::string_view sql);
  TranslationEnv env();
  void beginIfNeeded();
  // Runs body inside a statement savepoint; a failure undoes the statement alone.
  void asStatement(const std::function<void()>& body);
  // Runs body as DDL: commit before, its own transaction, commit after.
  void asDdl(const std::function<void()>& body);
  OraError mapError(const std::string& sqliteMessage);

  StatementResult query(const ast::Statement& s);
  StatementResult insert(const ast::Statement& s);
  StatementResult update(const ast::Statement& s);
  StatementResult remove(const ast::Statement& s);
  void createTable(const ast::Statement& s);
  void createIndex(const ast::Statement& s);
  void dropTable(const ast::Statement& s);
  void dropIndex(const ast::Statement& s);
  void alterSession(const ast::Statement& s);
  void createProcedure(const ast::Statement& s);
  void dropProcedure(const ast::Statement& s);
  void runBlock(const ast::Statement& s);
  long long run(const std::string& sql);  // returns sqlite3_changes
  // Indexes the tables the statement's correlated sub-queries probe (auto_index.h).
  void indexCorrelatedSubqueries(const ast::Statement& s);
  Value evaluate(const ast::Expr& e);
  std::string writeValue(const TypedSql& v, const CatalogColumn& c, const std::string& table,
                         bool isUpdate);
};

}  // namespace korvo::engine
