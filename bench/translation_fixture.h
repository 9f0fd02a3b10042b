#pragma once
// What the engine's benchmarks share: a fresh schema file per benchmark, and a
// schema with the tables the measured statements read together with the
// translation environment the engine gives the translator, so that parsing
// and translating are measured alone.
#include <sqlite3.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>

#include "engine/catalog.h"
#include "engine/session.h"
#include "engine/translator.h"

namespace korvo::engine::bench {

inline std::string schemaFile(const char* tag) {
  auto f = std::filesystem::temp_directory_path() / (std::string("korvo_bench_") + tag + ".db");
  for (const char* ext : {"", "-wal", "-shm"}) std::filesystem::remove(f.string() + ext);
  return f.string();
}

// The SCOTT tables most benchmarks translate against.
inline constexpr const char* kEmpTable =
    "create table EMP (EMPNO NUMBER(4) NOT NULL, ENAME VARCHAR2(10), JOB VARCHAR2(9), "
    "MGR NUMBER(4), HIREDATE DATE, SAL NUMBER(7,2), COMM NUMBER(7,2), DEPTNO NUMBER(2))";
inline constexpr const char* kDeptTable =
    "create table DEPT (DEPTNO NUMBER(2), DNAME VARCHAR2(14), LOC VARCHAR2(13))";

struct TranslationFixture {
  std::string file;
  std::unique_ptr<Session> session;
  sqlite3* db = nullptr;
  std::unique_ptr<Catalog> catalog;
  Nls nls;
  TranslationEnv env;

  TranslationFixture(const char* tag, std::initializer_list<const char*> ddl)
      : file(schemaFile(tag)), session(Session::open(file, "SCOTT")) {
    for (const char* statement : ddl) session->execute(statement);
    sqlite3_open(file.c_str(), &db);
    catalog = std::make_unique<Catalog>(db);
    env.catalog = catalog.get();
    env.nls = &nls;
    env.user = "SCOTT";
    env.sysdate = "2026-01-01 00:00:00";
  }
  ~TranslationFixture() {
    catalog.reset();
    sqlite3_close(db);
  }
  TranslationFixture(const TranslationFixture&) = delete;
  TranslationFixture& operator=(const TranslationFixture&) = delete;
};

}  // namespace korvo::engine::bench
