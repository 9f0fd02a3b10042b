#pragma once
// A fresh schema file per test, with helpers that run a statement and return its
// rows as SQL*Plus would show them, or the Oracle error code it raised.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/ora_error.h"
#include "engine/session.h"

namespace korvo::engine::test {

using Rows = std::vector<std::vector<std::string>>;

inline std::filesystem::path freshSchemaFile(const std::string& tag) {
  static int counter = 0;
  auto dir =
      std::filesystem::temp_directory_path() / ("korvo_engine_test_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  auto file = dir / (tag + "_" + std::to_string(++counter) + ".db");
  std::filesystem::remove(file);
  std::filesystem::remove(file.string() + "-wal");
  std::filesystem::remove(file.string() + "-shm");
  return file;
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = freshSchemaFile("schema");
    session_ = Session::open(file_.string(), "scott");
  }
  void TearDown() override {
    session_.reset();
    std::error_code ignored;
    for (const char* ext : {"", "-wal", "-shm"})
      std::filesystem::remove(file_.string() + ext, ignored);
  }

  Session& db() { return *session_; }

  Rows rows(const std::string& sql) {
    auto r = session_->execute(sql);
    Rows out;
    if (!r.cursor) return out;
    std::vector<Value> row;
    while (r.cursor->fetch(row)) {
      std::vector<std::string> shown;
      for (const auto& v : row) shown.push_back(v.isNull() ? "NULL" : session_->display(v));
      out.push_back(std::move(shown));
    }
    return out;
  }

  std::vector<std::string> headings(const std::string& sql) {
    auto r = session_->execute(sql);
    std::vector<std::string> out;
    for (const auto& c : r.cursor->columns()) out.push_back(c.name);
    return out;
  }

  // Every row, its columns joined by ' ' and the rows by ';'.
  std::string table(const std::string& sql) {
    std::string s;
    for (const auto& r : rows(sql)) {
      if (!s.empty()) s += ';';
      for (size_t i = 0; i < r.size(); ++i) s += (i ? " " : "") + r[i];
    }
    return s;
  }

  // The first column of every row, joined with ','.
  std::string column(const std::string& sql) {
    std::string s;
    for (const auto& r : rows(sql)) s += (s.empty() ? "" : ",") + r.at(0);
    return s;
  }

  std::string single(const std::string& sql) {
    Rows r = rows(sql);
    if (r.size() != 1 || r[0].size() != 1) return "<" + std::to_string(r.size()) + " rows>";
    return r[0][0];
  }

  // The ORA- code the statement raised (also while fetching), 0 when none.
  int errorOf(const std::string& sql) {
    try {
      rows(sql);
    } catch (const OraError& e) {
      lastError_ = e.what();
      return e.code();
    }
    return 0;
  }

  void run(const std::string& sql) { session_->execute(sql); }

  // The SCOTT demonstration tables, written the way the program writes them.
  void loadDemo();

  std::filesystem::path file_;
  std::unique_ptr<Session> session_;
  std::string lastError_;
};

inline void EngineTest::loadDemo() {
  run("CREATE TABLE EMP (EMPNO NUMBER(4) NOT NULL, ENAME VARCHAR2(10), JOB VARCHAR2(9), "
      "MGR NUMBER(4), HIREDATE DATE, SAL NUMBER(7,2), COMM NUMBER(7,2), DEPTNO NUMBER(2))");
  run("CREATE TABLE DEPT (DEPTNO NUMBER(2), DNAME VARCHAR2(14), LOC VARCHAR2(13))");
  const char* emp[] = {"7369,'SMITH','CLERK',7902,'1980-12-17',800,NULL,20",
                       "7499,'ALLEN','SALESMAN',7698,'1981-02-20',1600,300,30",
                       "7521,'WARD','SALESMAN',7698,'1981-02-22',1250,500,30",
                       "7566,'JONES','MANAGER',7839,'1981-04-02',2975,NULL,20",
                       "7654,'MARTIN','SALESMAN',7698,'1981-09-28',1250,1400,30",
                       "7698,'BLAKE','MANAGER',7839,'1981-05-01',2850,NULL,30",
                       "7782,'CLARK','MANAGER',7839,'1981-06-09',2450,NULL,10",
                       "7788,'SCOTT','ANALYST',7566,'1982-12-09',3000,NULL,20",
                       "7839,'KING','PRESIDENT',NULL,'1981-11-17',5000,NULL,10",
                       "7844,'TURNER','SALESMAN',7698,'1981-09-08',1500,0,30",
                       "7876,'ADAMS','CLERK',7788,'1983-01-12',1100,NULL,20",
                       "7900,'JAMES','CLERK',7698,'1981-12-03',950,NULL,30",
                       "7902,'FORD','ANALYST',7566,'1981-12-03',3000,NULL,20",
                       "7934,'MILLER','CLERK',7782,'1982-01-23',1300,NULL,10"};
  for (const char* row : emp) {
    std::string values = row;
    // hire dates through DATE literals: no dependence on the session date format
    size_t q = values.find("'19");
    values.replace(q, 1, "DATE '");
    run("INSERT INTO EMP VALUES (" + values + ")");
  }
  run("INSERT INTO DEPT VALUES (10,'ACCOUNTING','NEW YORK')");
  run("INSERT INTO DEPT VALUES (20,'RESEARCH','DALLAS')");
  run("INSERT INTO DEPT VALUES (30,'SALES','CHICAGO')");
  run("INSERT INTO DEPT VALUES (40,'OPERATIONS','BOSTON')");
  session_->commit();
}

// The plan table as the program creates it: names padded to 28 characters.
inline std::string planTableStatement() {
  const std::vector<std::pair<std::string, std::string>> cols = {{"STATEMENT_ID", "VARCHAR2(32)"},
                                                                 {"TIMESTAMP", "DATE"},
                                                                 {"REMARKS", "VARCHAR2(80)"},
                                                                 {"OPERATION", "VARCHAR2(30)"},
                                                                 {"OPTIONS", "VARCHAR2(30)"},
                                                                 {"OBJECT_NODE", "VARCHAR2(128)"},
                                                                 {"OBJECT_OWNER", "VARCHAR2(30)"},
                                                                 {"OBJECT_NAME", "VARCHAR2(30)"},
                                                                 {"OBJECT_INSTANCE", "NUMBER(22)"},
                                                                 {"OBJECT_TYPE", "VARCHAR2(30)"},
                                                                 {"SEARCH_COLUMNS", "NUMBER(22)"},
                                                                 {"ID", "NUMBER(22)"},
                                                                 {"COST", "NUMBER(22)"},
                                                                 {"PARENT_ID", "NUMBER(22)"},
                                                                 {"POSITION", "NUMBER(22)"},
                                                                 {"CARDINALITY", "NUMBER(22)"},
                                                                 {"OPTIMIZER", "VARCHAR2(255)"},
                                                                 {"BYTES", "NUMBER(22)"},
                                                                 {"OTHER_TAG", "VARCHAR2(255)"},
                                                                 {"OTHER", "LONG"}};
  std::string s = "Create table PLAN_TABLE ( ";
  for (size_t i = 0; i < cols.size(); ++i) {
    std::string name = cols[i].first;
    name.resize(28, ' ');
    s += (i ? "," : "") + name + cols[i].second;
  }
  return s + ")";
}

}  // namespace korvo::engine::test
