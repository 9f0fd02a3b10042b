#pragma once
// An in-memory SQLite database with the Oracle functions registered, and a way
// to evaluate one expression into a comparable text:
//   NULL, 42 (INTEGER), ~3.5 (REAL), 'text' (TEXT), or the error message.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <string>

#include "engine/functions.h"
#include "engine/session.h"

namespace korvo::engine::testing {

class OracleFunctionsTest : public ::testing::Test {
 protected:
  OracleFunctionsTest() {
    sqlite3_open(":memory:", &db_);
    ctx_.nls = &nls_;
    ctx_.user = "SCOTT";
    ctx_.sysdate = "2026-12-08 10:30:00";
    registerOracleFunctions(db_, &ctx_);
  }
  ~OracleFunctionsTest() override { sqlite3_close(db_); }

  // Runs sql and renders the first column of its first row.
  std::string query(const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
      return std::string("prepare failed: ") + sqlite3_errmsg(db_);
    std::string out;
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
      out = render(st);
    } else if (rc == SQLITE_DONE) {
      out = "no row";
    } else {
      out = sqlite3_errmsg(db_);
    }
    sqlite3_finalize(st);
    return out;
  }

  std::string eval(const std::string& expr) { return query("SELECT " + expr); }

  void exec(const std::string& sql) {
    char* err = nullptr;
    ASSERT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK)
        << (err ? err : "") << " in " << sql;
  }

  static std::string render(sqlite3_stmt* st) {
    switch (sqlite3_column_type(st, 0)) {
      case SQLITE_NULL:
        return "NULL";
      case SQLITE_INTEGER:
        return std::to_string(sqlite3_column_int64(st, 0));
      case SQLITE_FLOAT: {
        char buf[64];
        std::snprintf(buf, sizeof buf, "~%.15g", sqlite3_column_double(st, 0));
        return buf;
      }
      default:
        return "'" +
               std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)),
                           static_cast<std::size_t>(sqlite3_column_bytes(st, 0))) +
               "'";
    }
  }

  sqlite3* db_ = nullptr;
  Nls nls_;
  FunctionContext ctx_;
};

struct Case {
  const char* expr;
  const char* expected;
};

// Checks each case and reports every mismatch with its expression.
#define EXPECT_CASES(cases)                                        \
  for (const auto& tc : cases) {                                   \
    EXPECT_EQ(eval(tc.expr), tc.expected) << "SELECT " << tc.expr; \
  }

}  // namespace korvo::engine::testing
