#pragma once
// The SQL front end as the fuzz_sql target and its corpus replay drive it: the
// lexer and parser on one statement text, then the translator on what it
// parsed, against an in-memory schema with the demo tables (EMP, DEPT,
// SALGRADE and their KORVO_ copies). Nothing is executed beyond what the
// translation itself runs (CONNECT BY walks). Oracle errors are answers;
// anything else escapes to the caller.
#include <sqlite3.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ast.h"
#include "engine/catalog.h"
#include "engine/functions.h"
#include "engine/ora_error.h"
#include "engine/parser.h"
#include "engine/session.h"
#include "engine/translator.h"
#include "engine/write_checks.h"

namespace korvo::fuzz {

class SqlFrontEnd {
 public:
  // One per process: the schema is built once, inputs never change it.
  static SqlFrontEnd& instance() {
    static SqlFrontEnd frontEnd;
    return frontEnd;
  }

  // The Oracle error the statement was refused with, nullopt when it was
  // parsed and translated.
  std::optional<std::string> run(std::string_view sql) {
    try {
      translate(engine::parseStatement(sql));
      return std::nullopt;
    } catch (const engine::OraError& e) {
      return std::string(e.what());
    }
  }

 private:
  SqlFrontEnd() : catalog_(nullptr) {
    sqlite3* raw = nullptr;
    sqlite3_open(":memory:", &raw);
    db_ = std::shared_ptr<sqlite3>(raw, [](sqlite3* d) { sqlite3_close_v2(d); });
    functions_.nls = &nls_;
    functions_.user = "SCOTT";
    functions_.sysdate = "2024-06-15 10:30:00";
    engine::registerOracleFunctions(raw, &functions_);
    engine::registerEngineFunctions(raw);
    catalog_ = engine::Catalog(raw);
    catalog_.ensureSchema();
    engine::execSql(raw, "BEGIN");
    for (const char* prefix : {"", "KORVO_"}) addDemoTables(prefix);
    engine::execSql(raw, "COMMIT");
    env_.catalog = &catalog_;
    env_.nls = &nls_;
    env_.user = functions_.user;
    env_.sysdate = functions_.sysdate;
    env_.banner = engine::engineBanner();
    env_.db = db_;
  }

  static engine::CatalogColumn column(const char* name, const char* type, int length = 0,
                                      std::optional<int> precision = std::nullopt,
                                      std::optional<int> scale = std::nullopt) {
    engine::CatalogColumn c;
    c.name = name;
    c.type = type;
    c.length = length;
    c.precision = precision;
    c.scale = scale;
    return c;
  }

  void addTable(const engine::CatalogTable& table, const std::vector<std::string>& rows) {
    std::string ddl = "CREATE TABLE " + engine::sqlName(table.name) + " (";
    for (std::size_t i = 0; i < table.columns.size(); ++i)
      ddl += (i ? ", " : "") + engine::sqlName(table.columns[i].name) + " " +
             engine::Catalog::storageType(table.columns[i].type);
    engine::execSql(db_.get(), ddl + ")");
    catalog_.addTable(table);
    for (const std::string& row : rows)
      engine::execSql(db_.get(),
                      "INSERT INTO " + engine::sqlName(table.name) + " VALUES (" + row + ")");
  }

  void addDemoTables(const std::string& prefix) {
    engine::CatalogTable emp;
    emp.name = prefix + "EMP";
    emp.columns = {column("EMPNO", "NUMBER", 0, 4, 0), column("ENAME", "VARCHAR2", 10),
                   column("JOB", "VARCHAR2", 9),       column("MGR", "NUMBER", 0, 4, 0),
                   column("HIREDATE", "DATE"),         column("SAL", "NUMBER", 0, 7, 2),
                   column("COMM", "NUMBER", 0, 7, 2),  column("DEPTNO", "NUMBER", 0, 2, 0)};
    emp.columns[0].notNull = true;
    addTable(emp, {"7839,'KING','PRESIDENT',NULL,'1981-11-17 00:00:00',5000,NULL,10",
                   "7698,'BLAKE','MANAGER',7839,'1981-05-01 00:00:00',2850,NULL,30",
                   "7499,'ALLEN','SALESMAN',7698,'1981-02-20 00:00:00',1600,300,30",
                   "7369,'SMITH','CLERK',7698,'1980-12-17 00:00:00',800,NULL,20"});
    engine::CatalogTable dept;
    dept.name = prefix + "DEPT";
    dept.columns = {column("DEPTNO", "NUMBER", 0, 2, 0), column("DNAME", "VARCHAR2", 14),
                    column("LOC", "VARCHAR2", 13)};
    addTable(dept,
             {"10,'ACCOUNTING','NEW YORK'", "20,'RESEARCH','DALLAS'", "30,'SALES','CHICAGO'"});
    engine::CatalogTable salgrade;
    salgrade.name = prefix + "SALGRADE";
    salgrade.columns = {column("GRADE", "NUMBER"), column("LOSAL", "NUMBER"),
                        column("HISAL", "NUMBER")};
    addTable(salgrade, {"1,700,1200", "2,1201,1400", "3,1401,2000", "4,2001,3000"});
  }

  // What the engine would translate before running the statement: its query,
  // and the expressions of a DML statement in the scope of its table.
  void translate(const engine::ast::Statement& s) {
    using Kind = engine::ast::StatementKind;
    engine::Translator translator(env_);
    if (s.query) translator.query(*s.query);
    if (s.kind == Kind::Insert) {
      engine::Scope none;
      for (const auto& v : s.values)
        if (v) translator.expr(*v, none);
    }
    if (s.kind == Kind::Update || s.kind == Kind::Delete) {
      engine::Scope scope;
      scope.sources.push_back(translator.tableSource(s.table.text, s.alias.text));
      if (s.where) translator.expr(*s.where, scope);
      for (const auto& a : s.assignments)
        if (a.value) translator.expr(*a.value, scope);
    }
  }

  std::shared_ptr<sqlite3> db_;
  engine::Catalog catalog_;
  engine::Nls nls_;
  engine::FunctionContext functions_;
  engine::TranslationEnv env_;
};

inline std::optional<std::string> runSqlFrontEnd(std::string_view sql) {
  return SqlFrontEnd::instance().run(sql);
}

}  // namespace korvo::fuzz
