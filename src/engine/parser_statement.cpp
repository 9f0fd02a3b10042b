// Statements: DML, DDL with column types and key constraints, EXPLAIN, and the
// dispatch on the first word.
#include "engine/parser_internal.h"

namespace korvo::engine::parsing {

ColumnType Parser::columnType() {
  ColumnType t;
  const Token& w = peek();
  if (w.kind != TokenKind::Identifier) fail(902, "invalid datatype");
  next();
  const DataTypeName* type = findDataType(w.text);
  if (!type) fail(902, "invalid datatype");
  t.name = type->stored;
  auto number = [&]() {
    bool neg = acceptOp("-");
    const Token& n = next();
    if (n.kind != TokenKind::Number || n.text.find_first_not_of("0123456789") != std::string::npos)
      fail(910, "specified length too long for its datatype");
    size_t digits = n.text.find_first_not_of('0');
    std::string_view significant = digits == std::string::npos
                                       ? std::string_view("0")
                                       : std::string_view(n.text).substr(digits);
    if (significant.size() > 9) fail(910, "specified length too long for its datatype");
    int v = 0;
    for (char ch : significant) v = v * 10 + (ch - '0');
    return neg ? -v : v;
  };
  if (type->family == TypeFamily::Character) {
    if (acceptOp("(")) {
      t.length = number();
      if (!acceptWord("BYTE")) acceptWord("CHAR");
      expectOp(")");
    } else if (t.name == "CHAR") {
      t.length = 1;
    } else {
      fail(906, "missing left parenthesis");
    }
    int max = t.name == "CHAR" ? 2000 : 4000;
    if (t.length < 1 || t.length > max) fail(910, "specified length too long for its datatype");
  } else if (t.name == "NUMBER") {
    if (acceptOp("(")) {
      if (acceptOp("*"))
        t.precision = 38;
      else
        t.precision = number();
      if (acceptOp(",")) t.scale = number();
      expectOp(")");
      if (*t.precision < 1 || *t.precision > 38)
        fail(1727, "numeric precision specifier is out of range (1 to 38)");
      if (t.scale && (*t.scale < -84 || *t.scale > 127))
        fail(1728, "numeric scale specifier is out of range (-84 to 127)");
      if (!t.scale) t.scale = 0;
    }
  } else if (t.name == "FLOAT") {
    if (acceptOp("(")) {
      t.length = number();
      expectOp(")");
    }
  } else if (t.name == "LONG") {
    acceptWord("RAW");
  }
  return t;
}

// [CONSTRAINT name] PRIMARY KEY | UNIQUE, of one column (inline) or of a list.

void Parser::keyConstraint(Statement& s, const Name& column, Name constraintName) {
  if (isWord("CHECK")) fail(3001, "unimplemented feature: CHECK constraint");
  if (isWord("FOREIGN") || isWord("REFERENCES"))
    fail(3001, "unimplemented feature: FOREIGN KEY constraint");
  KeyConstraint k;
  k.name = std::move(constraintName);
  if (acceptWord("PRIMARY")) {
    expectWord("KEY");
    k.primary = true;
  } else {
    expectWord("UNIQUE");
  }
  if (column.empty()) {
    expectOp("(");
    do k.columns.push_back(name());
    while (acceptOp(","));
    expectOp(")");
  } else {
    k.columns.push_back(column);
  }
  if (isWord("USING") || isWord("DEFERRABLE") || isWord("INITIALLY") || isWord("DISABLE") ||
      isWord("NOVALIDATE"))
    fail(3001, "unimplemented feature: constraint state " + peek().text);
  if (acceptWord("ENABLE")) acceptWord("VALIDATE");
  s.keys.push_back(std::move(k));
}

// INTERVAL 'text' YEAR|MONTH|DAY|HOUR|MINUTE|SECOND [(p)] [TO unit [(p)]]; the text is
// checked against its units when translated.

Statement Parser::insertStatement() {
  Statement s;
  s.kind = StatementKind::Insert;
  expectWord("INTO");
  qualifiedTable(s.tableSchema, s.table);
  if (atName() && !isWord("VALUES") && !isWord("SELECT")) s.alias = name();
  if (acceptOp("(")) {
    if (startsQuery()) fail(3001, "unimplemented feature: INSERT into a sub-query");
    do s.columns.push_back(name());
    while (acceptOp(","));
    expectOp(")");
  }
  if (acceptWord("VALUES")) {
    expectOp("(");
    do s.values.push_back(expr());
    while (acceptOp(","));
    expectOp(")");
  } else if (startsQuery()) {
    s.query = query();
  } else {
    fail(926, "missing VALUES keyword");
  }
  expectEnd();
  return s;
}

Statement Parser::updateStatement() {
  Statement s;
  s.kind = StatementKind::Update;
  qualifiedTable(s.tableSchema, s.table);
  if (atName() && !isWord("SET")) s.alias = name();
  expectWord("SET");
  do {
    Assignment a;
    if (isOp("(")) fail(3001, "unimplemented feature: UPDATE SET (column list)");
    a.column = name();
    if (acceptOp(".")) {
      a.qualifier = a.column;
      a.column = name();
    }
    expectOp("=");
    a.value = expr();
    s.assignments.push_back(std::move(a));
  } while (acceptOp(","));
  if (acceptWord("WHERE")) s.where = condition();
  expectEnd();
  return s;
}

Statement Parser::deleteStatement() {
  Statement s;
  s.kind = StatementKind::Delete;
  acceptWord("FROM");
  qualifiedTable(s.tableSchema, s.table);
  if (atName() && !isWord("WHERE")) s.alias = name();
  if (acceptWord("WHERE")) s.where = condition();
  expectEnd();
  return s;
}

Statement Parser::createStatement() {
  bool orReplace = false;
  if (acceptWord("OR")) {
    expectWord("REPLACE");
    orReplace = true;
  }
  if (isWord("PROCEDURE")) return procedureStatement(orReplace);
  if (orReplace) fail(901, "invalid CREATE command");
  Statement s;
  if (acceptWord("TABLE")) {
    s.kind = StatementKind::CreateTable;
    qualifiedTable(s.tableSchema, s.table);
    if (acceptOp("(")) {
      do {
        Name constraintName;
        if (acceptWord("CONSTRAINT")) constraintName = name();
        if (!constraintName.empty() || isWord("PRIMARY") || isWord("UNIQUE") ||
            isWord("CHECK") || isWord("FOREIGN")) {
          keyConstraint(s, Name{}, std::move(constraintName));  // table level
          continue;
        }
        ColumnDef d;
        d.name = name();
        d.type = columnType();
        for (;;) {
          Name inlineName;
          if (acceptWord("CONSTRAINT")) inlineName = name();
          if (acceptWord("DEFAULT")) {
            d.defaultValue = additive();
          } else if (isWord("NOT") && isWord("NULL", 1)) {
            next();
            next();
            d.notNull = true;
          } else if (acceptWord("NULL")) {
            d.notNull = false;
          } else if (isWord("PRIMARY") || isWord("UNIQUE") || isWord("CHECK") ||
                     isWord("REFERENCES")) {
            keyConstraint(s, d.name, std::move(inlineName));
          } else if (!inlineName.empty()) {
            fail(2253, "constraint clause not allowed here");
          } else {
            break;
          }
        }
        s.columnDefs.push_back(std::move(d));
      } while (acceptOp(","));
      expectOp(")");
    }
    if (acceptWord("AS")) {
      if (!startsQuery()) fail(928, "missing SELECT keyword");
      s.query = query();
    } else if (s.columnDefs.empty()) {
      fail(906, "missing left parenthesis");
    }
    expectEnd();
    return s;
  }
  if (isWord("UNIQUE") || isWord("INDEX")) {
    s.kind = StatementKind::CreateIndex;
    s.unique = acceptWord("UNIQUE");
    expectWord("INDEX", 901, "invalid CREATE command");
    s.index = name();
    expectWord("ON", 969, "missing ON keyword");
    qualifiedTable(s.tableSchema, s.table);
    expectOp("(");
    do {
      s.columns.push_back(name());
      if (!acceptWord("ASC")) acceptWord("DESC");
    } while (acceptOp(","));
    expectOp(")");
    expectEnd();
    return s;
  }
  fail(901, "invalid CREATE command");
}

Statement Parser::dropStatement() {
  Statement s;
  if (acceptWord("TABLE")) {
    s.kind = StatementKind::DropTable;
    qualifiedTable(s.tableSchema, s.table);
    if (acceptWord("CASCADE")) expectWord("CONSTRAINTS");
    acceptWord("PURGE");
  } else if (acceptWord("INDEX")) {
    s.kind = StatementKind::DropIndex;
    s.index = name();
  } else if (acceptWord("PROCEDURE")) {
    s.kind = StatementKind::DropProcedure;
    s.table = name();
  } else {
    fail(950, "invalid DROP option");
  }
  expectEnd();
  return s;
}

Statement Parser::alterStatement() {
  Statement s;
  s.kind = StatementKind::AlterSession;
  expectWord("SESSION", 940, "invalid ALTER command");
  expectWord("SET", 922, "missing or invalid option");
  const Token& p = next();
  if (p.kind != TokenKind::Identifier) fail(922, "missing or invalid option");
  s.parameter = p.text;
  expectOp("=");
  const Token& v = next();
  if (v.kind == TokenKind::End) fail(922, "missing or invalid option");
  s.value = v.text;
  expectEnd();
  return s;
}

Statement Parser::explainStatement() {
  Statement s;
  s.kind = StatementKind::ExplainPlan;
  expectWord("PLAN");
  if (acceptWord("SET")) {
    if (!acceptWord("STATEMENT_ID")) fail(905, "missing keyword");
    expectOp("=");
    const Token& id = next();
    if (id.kind != TokenKind::String) fail(905, "missing keyword");
    s.statementId = id.text;
  }
  if (acceptWord("INTO")) {
    Name schema;
    qualifiedTable(schema, s.intoTable);
  } else {
    s.intoTable = Name{"PLAN_TABLE", false};
  }
  expectWord("FOR");
  if (!startsQuery()) fail(3001, "unimplemented feature: EXPLAIN PLAN of a non-query");
  s.query = query();
  expectEnd();
  return s;
}

Statement Parser::statement() {
  if (atEnd()) fail(900, "invalid SQL statement");
  refuseUnimplemented(RefusalPlace::Statement);
  const Token& first = peek();
  if (first.kind == TokenKind::Operator && first.text == "(") {
    Statement s;
    s.query = query();
    expectEnd();
    return s;
  }
  if (first.kind != TokenKind::Identifier) fail(900, "invalid SQL statement");
  if (first.text == "SELECT" || first.text == "WITH") {
    Statement s;
    s.query = query();
    expectEnd();
    return s;
  }
  if (first.text == "BEGIN" || first.text == "DECLARE") return blockStatement();
  next();
  if (first.text == "INSERT") return insertStatement();
  if (first.text == "UPDATE") return updateStatement();
  if (first.text == "DELETE") return deleteStatement();
  if (first.text == "CREATE") return createStatement();
  if (first.text == "DROP") return dropStatement();
  if (first.text == "ALTER") return alterStatement();
  if (first.text == "EXPLAIN") return explainStatement();
  if (first.text == "COMMIT" || first.text == "ROLLBACK") {
    Statement s;
    s.kind = first.text == "COMMIT" ? StatementKind::Commit : StatementKind::Rollback;
    acceptWord("WORK");
    if (s.kind == StatementKind::Rollback && isWord("TO"))
      fail(3001, "unimplemented feature: ROLLBACK TO SAVEPOINT");
    expectEnd();
    return s;
  }
  fail(900, "invalid SQL statement");
}

}  // namespace korvo::engine::parsing
