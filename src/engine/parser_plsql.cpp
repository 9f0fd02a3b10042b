// PL/SQL: anonymous blocks and stored procedures.
#include "engine/parser_internal.h"

namespace korvo::engine::parsing {

Statement Parser::procedureStatement(bool orReplace) {
  Statement s;
  s.kind = StatementKind::CreateProcedure;
  s.orReplace = orReplace;
  size_t begin = peek().begin;  // "PROCEDURE ..."
  expectWord("PROCEDURE");
  Name schema;
  qualifiedTable(schema, s.table);
  if (!isWord("IS") && !isWord("AS") && !isOp("(")) fail(905, "missing keyword");
  s.text = std::string(sql_.substr(begin));
  // A procedure body ends with END [name]; trailing blanks and '/' are tolerated.
  while (!s.text.empty() && (std::isspace((unsigned char)s.text.back()) || s.text.back() == '/'))
    s.text.pop_back();
  if (s.text.empty() || s.text.back() != ';')
    fail(6550, "line 1, column " + std::to_string(s.text.size()) +
                   ":\nPLS-00103: Encountered the symbol \"end-of-file\"");
  pos_ = toks_.size() - 1;
  return s;
}

Statement Parser::blockStatement() {
  Statement s;
  s.kind = StatementKind::Block;
  s.text = std::string(sql_);
  // Positions only grow while the block is read: count lines from the last one.
  size_t scanned = 0, line = 1, lineStart = 0;
  auto lineCol = [&](size_t off) {
    off = std::min(off, sql_.size());
    if (off < scanned) {
      scanned = lineStart = 0;
      line = 1;
    }
    for (; scanned < off; ++scanned)
      if (sql_[scanned] == '\n') ++line, lineStart = scanned + 1;
    return "line " + std::to_string(line) + ", column " + std::to_string(off - lineStart + 1);
  };
  auto plsFail = [&](const Token& t) {
    std::string sym = t.kind == TokenKind::End ? "end-of-file" : t.text;
    fail(6550, lineCol(t.begin) + ":\nPLS-00103: Encountered the symbol \"" + sym +
                   "\" when expecting one of the following");
  };
  if (isWord("DECLARE")) fail(3001, "unimplemented feature: DECLARE section in PL/SQL block");
  expectWord("BEGIN");
  while (!isWord("END")) {
    if (atEnd()) plsFail(peek());
    if (acceptWord("NULL")) {
      if (!acceptOp(";")) plsFail(peek());
      continue;
    }
    const Token& start = peek();
    if (start.kind != TokenKind::Identifier && start.kind != TokenKind::QuotedIdentifier)
      plsFail(start);
    if (isReservedWord(start.text) && start.kind == TokenKind::Identifier)
      fail(3001, "unimplemented feature: PL/SQL statement " + start.text);
    Call c;
    c.name = name();
    if (acceptOp(".")) {
      c.package = c.name;
      c.name = name();
    }
    c.position = lineCol(start.begin);
    if (acceptOp("(")) {
      if (!acceptOp(")")) {
        do c.args.push_back(expr());
        while (acceptOp(","));
        expectOp(")");
      }
    }
    if (isOp(":=")) fail(3001, "unimplemented feature: PL/SQL assignment");
    if (!acceptOp(";")) plsFail(peek());
    s.calls.push_back(std::move(c));
  }
  next();                                                          // END
  if (peek().kind == TokenKind::Identifier && !isOp(";")) next();  // END label
  if (!acceptOp(";")) plsFail(peek());
  acceptOp("/");
  if (!atEnd()) plsFail(peek());
  return s;
}

}  // namespace korvo::engine::parsing
