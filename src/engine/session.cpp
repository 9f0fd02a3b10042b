#include "engine/session.h"

#include <sqlite3.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <new>

#include "engine/auto_index.h"
#include "engine/explain.h"
#include "engine/parser.h"
#include "engine/session_impl.h"
#include "engine/sqlite_errors.h"
#include "engine/write_checks.h"

namespace korvo::engine {

namespace {

constexpr const char* kEngineVersion = KORVO_VERSION;  // CMake's project version

std::string nowCanonical() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
  return buf;
}

std::string columnText(sqlite3_stmt* st, int i) {
  auto p = sqlite3_column_text(st, i);
  return p ? std::string(reinterpret_cast<const char*>(p), sqlite3_column_bytes(st, i))
           : std::string();
}

class SqliteCursor : public Cursor {
 public:
  SqliteCursor(std::shared_ptr<sqlite3> db, sqlite3_stmt* st, TranslatedQuery q,
               std::shared_ptr<std::atomic<bool>> interrupted)
      : db_(std::move(db)), st_(st), q_(std::move(q)), interrupted_(std::move(interrupted)) {}
  ~SqliteCursor() override { sqlite3_finalize(st_); }
  const std::vector<Column>& columns() const override { return q_.columns; }

  bool fetch(std::vector<Value>& row) override {
    if (done_) return false;
    interrupted_->store(false);
    int rc = sqlite3_step(st_);
    if (rc == SQLITE_DONE) {
      done_ = true;
      sqlite3_reset(st_);  // a finished cursor must not keep its tables locked against DDL
      return false;
    }
    if (rc != SQLITE_ROW) {
      done_ = true;
      throw errorFromSqlite(sqlite3_errmsg(db_.get()));
    }
    int n = sqlite3_column_count(st_);
    row.resize(size_t(n));  // every value is set below
    for (int i = 0; i < n; ++i) row[size_t(i)] = valueAt(i);
    return true;
  }

 private:
  Value valueAt(int i) {
    // one column access for type and number (each sqlite3_column_* call takes the mutex)
    sqlite3_value* v = sqlite3_column_value(st_, i);
    int type = sqlite3_value_type(v);
    if (type == SQLITE_NULL) return Value::null();
    SqlType want = size_t(i) < q_.types.size() ? q_.types[size_t(i)] : SqlType::Unknown;
    bool numeric = type == SQLITE_INTEGER || type == SQLITE_FLOAT;
    if (want == SqlType::Date && type == SQLITE_TEXT) return Value::ofDate(columnText(st_, i));
    if (numeric && want != SqlType::Text) return Value::ofNumber(sqlite3_value_double(v));
    if (numeric) {
      if (type == SQLITE_INTEGER) return Value::ofText(std::to_string(sqlite3_value_int64(v)));
      return Value::ofText(canonicalNumber(sqlite3_value_double(v)));
    }
    if (want == SqlType::Number) {
      std::string t = columnText(st_, i);
      char* end = nullptr;
      double d = std::strtod(t.c_str(), &end);
      if (!t.empty() && end && *end == 0) return Value::ofNumber(d);
      return Value::ofText(t);
    }
    return Value::ofText(columnText(st_, i));
  }

  std::shared_ptr<sqlite3> db_;
  sqlite3_stmt* st_;
  TranslatedQuery q_;
  std::shared_ptr<std::atomic<bool>> interrupted_;
  bool done_ = false;
};

}  // namespace

std::string engineBanner() {
  return std::string("Korvo Embedded Oracle-dialect engine Release ") + kEngineVersion +
         " - SQLite " + sqlite3_libversion();
}

std::unique_ptr<Session> Session::open(const std::string& file, const std::string& user) {
  return std::make_unique<SessionImpl>(file, user);
}

SessionImpl::SessionImpl(const std::string& file, const std::string& user)
    : catalog_(nullptr), user_(user) {
  for (auto& c : user_) c = char(std::toupper((unsigned char)c));
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(file.c_str(), &raw,
                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                           nullptr);
  db_ = std::shared_ptr<sqlite3>(raw, [](sqlite3* d) { sqlite3_close_v2(d); });
  if (rc != SQLITE_OK)
    throw OraError(12154, "TNS:could not resolve the connect identifier specified (" +
                              std::string(raw ? sqlite3_errmsg(raw) : "out of memory") + ")");
  sqlite3* db = db_.get();
  sqlite3_busy_timeout(db, 5000);
  sqlite3_progress_handler(
      db, 1000, [](void* flag) { return static_cast<std::atomic<bool>*>(flag)->load() ? 1 : 0; },
      interrupted_.get());
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  catalog_ = Catalog(db);
  execSql(db, "PRAGMA journal_mode=WAL");
  execSql(db, "PRAGMA case_sensitive_like=ON");
  functions_.nls = &nls_;
  functions_.user = user_;
  functions_.sysdate = nowCanonical();
  registerOracleFunctions(db, &functions_);
  registerEngineFunctions(db);
  catalog_.ensureSchema();
}

SessionImpl::~SessionImpl() {
  if (inTransaction_) {
    try {
      execSql(db_.get(), "ROLLBACK");  // Oracle rolls back what a vanished session left open
    } catch (...) {
    }
  }
}

TranslationEnv SessionImpl::env() {
  TranslationEnv e;
  e.catalog = &catalog_;
  e.nls = &nls_;
  e.user = user_;
  e.sysdate = functions_.sysdate;
  e.module = module_;
  e.db = db_;
  e.action = action_;
  e.banner = engineBanner();
  return e;
}

void SessionImpl::beginIfNeeded() {
  if (inTransaction_) return;
  execSql(db_.get(), "BEGIN IMMEDIATE");
  inTransaction_ = true;
}

void SessionImpl::asStatement(const std::function<void()>& body) {
  const bool begunHere = !inTransaction_ && depth_ == 1;
  beginIfNeeded();
  execSql(db_.get(), "SAVEPOINT korvo_statement");
  const long long commitsBefore = commits_;
  try {
    body();
  } catch (...) {
    try {
      if (commits_ == commitsBefore) {
        execSql(db_.get(), "ROLLBACK TO korvo_statement");
        execSql(db_.get(), "RELEASE korvo_statement");
        if (begunHere) rollback();  // a failed first statement leaves nothing pending
      } else if (inTransaction_) {
        rollback();  // the procedure committed: only the work since then is undone
      }
    } catch (...) {
    }
    if (sqlite3_get_autocommit(db_.get())) inTransaction_ = false;  // SQLite gave up the whole
    throw;
  }
  if (commits_ == commitsBefore) execSql(db_.get(), "RELEASE korvo_statement");
}

void SessionImpl::asDdl(const std::function<void()>& body) {
  if (depth_ > 1) throw OraError(3001, "unimplemented feature: DDL inside a stored procedure");
  commit();
  execSql(db_.get(), "BEGIN IMMEDIATE");
  try {
    body();
    execSql(db_.get(), "COMMIT");
  } catch (...) {
    try {
      execSql(db_.get(), "ROLLBACK");
    } catch (...) {
    }
    catalog_.invalidate();
    throw;
  }
  catalog_.invalidate();
}

void SessionImpl::commit() {
  if (!inTransaction_) return;
  interrupted_->store(false);
  execSql(db_.get(), "COMMIT");
  inTransaction_ = false;
  ++commits_;
}

void SessionImpl::interrupt() { interrupted_->store(true); }

void SessionImpl::rollback() {
  if (!inTransaction_) return;
  interrupted_->store(false);
  execSql(db_.get(), "ROLLBACK");
  inTransaction_ = false;
  catalog_.invalidate();
}

OraError SessionImpl::mapError(const std::string& message) {
  const std::string unique = "UNIQUE constraint failed: ";
  const std::string byIndex = unique + "index '";
  if (message.rfind(byIndex, 0) == 0) {
    // an index over expressions (a key whose columns may be NULL) is named by SQLite
    std::string name = message.substr(byIndex.size());
    name = name.substr(0, name.find('\''));
    if (catalog_.index(name))
      return OraError(1, "unique constraint (" + user_ + "." + name + ") violated");
  }
  if (message.rfind(unique, 0) == 0) {
    // "UNIQUE constraint failed: T.A, T.B" -> the catalogue's index on T(A, B)
    std::string list = message.substr(unique.size());
    std::string table;
    std::vector<std::string> cols;
    size_t b = 0;
    while (b < list.size()) {
      size_t e = list.find(", ", b);
      if (e == std::string::npos) e = list.size();
      std::string item = list.substr(b, e - b);
      size_t dot = item.find('.');
      table = item.substr(0, dot);
      cols.push_back(dot == std::string::npos ? item : item.substr(dot + 1));
      b = e + 2;
    }
    for (const CatalogIndex* i : catalog_.indexesOf(table))
      if (i->unique && i->columns == cols)
        return OraError(1, "unique constraint (" + user_ + "." + i->name + ") violated");
    return OraError(1, "unique constraint (" + user_ + ".SYS_C00" + "1) violated");
  }
  return errorFromSqlite(message);
}

long long SessionImpl::run(const std::string& sql) {
  sqlite3* db = db_.get();
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
    throw mapError(sqlite3_errmsg(db));
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
  }
  std::string msg = rc == SQLITE_DONE ? std::string() : std::string(sqlite3_errmsg(db));
  sqlite3_finalize(st);
  if (rc != SQLITE_DONE) throw mapError(msg);
  return sqlite3_changes64(db);
}

void SessionImpl::indexCorrelatedSubqueries(const ast::Statement& s) {
  std::vector<AutoIndexRequest> wanted = autoIndexRequests(s, catalog_, user_);
  if (wanted.empty()) return;
  sqlite3* db = db_.get();
  const bool wasAutocommit = sqlite3_get_autocommit(db) != 0;
  try {
    // Inside a transaction the index is part of it (undone with it, recreated when
    // needed again); outside one it is committed alone, with no user data.
    createAutoIndexes(db, wanted);
  } catch (const OraError&) {
    // Only a speed-up: a query still runs without it, unless SQLite gave up the
    // transaction, which the statement must not hide.
    if (!wasAutocommit && sqlite3_get_autocommit(db)) {
      inTransaction_ = false;
      throw;
    }
  }
}

StatementResult SessionImpl::query(const ast::Statement& s) {
  TranslationEnv e = env();
  Translator t(e);
  TranslatedQuery q = t.query(*s.query);
  indexCorrelatedSubqueries(s);
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db_.get(), q.sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
    throw mapError(sqlite3_errmsg(db_.get()));
  StatementResult r;
  r.verb = "SELECT";
  r.cursor = std::make_unique<SqliteCursor>(db_, st, std::move(q), interrupted_);
  return r;
}

StatementResult SessionImpl::execute(std::string_view sql) {
  if (depth_ == 0) interrupted_->store(false);
  try {
    return executeStatement(sql);
  } catch (const std::bad_alloc&) {
    // a statement too large for the memory there is, as Oracle reports it
    throw OraError(4030);
  }
}

StatementResult SessionImpl::executeStatement(std::string_view sql) {
  struct Depth {
    int& d;
    explicit Depth(int& x) : d(x) { ++d; }
    ~Depth() { --d; }
  } depth(depth_);
  if (depth_ == 1) functions_.sysdate = nowCanonical();
  functions_.user = user_;
  ast::Statement s = parseStatement(sql);
  catalog_.refreshIfChanged();
  StatementResult r;
  using K = ast::StatementKind;
  switch (s.kind) {
    case K::Select: return query(s);
    case K::Insert: return insert(s);
    case K::Update: return update(s);
    case K::Delete: return remove(s);
    case K::CreateTable: createTable(s); r.verb = "CREATE TABLE"; break;
    case K::CreateIndex: createIndex(s); r.verb = "CREATE INDEX"; break;
    case K::DropTable: dropTable(s); r.verb = "DROP TABLE"; break;
    case K::DropIndex: dropIndex(s); r.verb = "DROP INDEX"; break;
    case K::DropProcedure: dropProcedure(s); r.verb = "DROP PROCEDURE"; break;
    case K::Commit: commit(); r.verb = "COMMIT"; break;
    case K::Rollback: rollback(); r.verb = "ROLLBACK"; break;
    case K::AlterSession: alterSession(s); r.verb = "ALTER SESSION"; break;
    case K::ExplainPlan: {
      // SQLite locks the whole schema for a pending write, where Oracle locks
      // only the new plan rows: left uncommitted, they would stop every other
      // session's writes (another workstation's estimate included) until this
      // one commits. When nothing else was pending, they are committed at once.
      const bool nothingPending = !inTransaction_ && depth_ == 1;
      asStatement([&] { explainPlan(*this, env(), s); });
      if (nothingPending) commit();
      r.verb = "EXPLAIN PLAN";
      break;
    }
    case K::CreateProcedure: createProcedure(s); r.verb = "CREATE PROCEDURE"; break;
    case K::Block: runBlock(s); r.verb = "BEGIN"; break;
  }
  return r;
}

std::string SessionImpl::display(const Value& v) const {
  switch (v.kind) {
    case Value::Kind::Null: return "";
    case Value::Kind::Number: return canonicalNumber(v.number, nls_.decimalSeparator);
    case Value::Kind::Text: return v.text;
    case Value::Kind::Date: {
      sqlite3_stmt* st = nullptr;
      std::string out = v.text;
      if (sqlite3_prepare_v2(db_.get(), "SELECT ora_date_to_char(?, NULL)", -1, &st, nullptr) ==
          SQLITE_OK) {
        sqlite3_bind_text(st, 1, v.text.c_str(), int(v.text.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(st) == SQLITE_ROW) out = columnText(st, 0);
      }
      sqlite3_finalize(st);
      return out;
    }
  }
  return "";
}

std::optional<std::string> SessionImpl::meta(const std::string& key) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db_.get(), "SELECT value FROM _korvo_meta WHERE key = ?", -1, &st, nullptr);
  sqlite3_bind_text(st, 1, key.c_str(), int(key.size()), SQLITE_TRANSIENT);
  std::optional<std::string> out;
  if (sqlite3_step(st) == SQLITE_ROW) out = columnText(st, 0);
  sqlite3_finalize(st);
  return out;
}

void SessionImpl::setMeta(const std::string& key, const std::string& value) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db_.get(), "INSERT OR REPLACE INTO _korvo_meta(key, value) VALUES(?, ?)", -1,
                     &st, nullptr);
  sqlite3_bind_text(st, 1, key.c_str(), int(key.size()), SQLITE_TRANSIENT);
  sqlite3_bind_text(st, 2, value.c_str(), int(value.size()), SQLITE_TRANSIENT);
  int rc = sqlite3_step(st);
  sqlite3_finalize(st);
  if (rc != SQLITE_DONE) throw errorFromSqlite(sqlite3_errmsg(db_.get()));
}

}  // namespace korvo::engine
