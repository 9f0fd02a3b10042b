// Queries: set operators, ORDER BY, the select core, table references and joins,
// and the row limit clause.
#include "engine/parser_internal.h"

namespace korvo::engine::parsing {

QueryPtr Parser::query() {
  Nested guard(*this, "query");
  std::vector<CommonTable> with;
  if (acceptWord("WITH")) {
    if ((isWord("FUNCTION") || isWord("PROCEDURE")) && peek(1).kind != TokenKind::Operator)
      fail(3001, "unimplemented feature: PL/SQL declarations in the WITH clause");
    do {
      CommonTable ct;
      ct.name = name(903, "invalid table name");
      if (acceptOp("(")) {
        do ct.columns.push_back(name());
        while (acceptOp(","));
        expectOp(")");
      }
      expectWord("AS");
      expectOp("(");
      ct.query = parenthesizedQuery();
      refuseUnimplemented(RefusalPlace::AfterCommonTable);
      with.push_back(std::move(ct));
    } while (acceptOp(","));
    if (!isWord("SELECT") && !isOp("(")) fail(928, "missing SELECT keyword");
    auto body = query();
    if (!body->with.empty()) fail(32034, "unsupported use of WITH clause");
    body->with = std::move(with);
    return body;
  }
  auto q = queryTerm();
  std::shared_ptr<Query> compound;
  for (;;) {
    SetOp op;
    if (isWord("UNION")) {
      next();
      op = acceptWord("ALL") ? SetOp::UnionAll : SetOp::Union;
    } else if (acceptWord("INTERSECT")) {
      op = SetOp::Intersect;
    } else if (acceptWord("MINUS")) {
      op = SetOp::Minus;
    } else {
      break;
    }
    if (!compound) {
      compound = std::make_shared<Query>();
      compound->kind = Query::Kind::Compound;
      compound->members.push_back(std::move(q));
    }
    compound->ops.push_back(op);
    compound->members.push_back(queryTerm());
  }
  if (compound) q = std::move(compound);
  if (isWord("ORDER")) {
    next();
    if (acceptWord("SIBLINGS")) q->orderSiblings = true;
    expectWord("BY");
    if (!q->orderBy.empty()) notEnded();
    // (SELECT ...) ORDER BY ...: the parentheses add nothing at this level.
    q->parenthesized = false;
    q->orderBy = orderList();
  }
  rowLimitClause(*q);
  refuseUnimplemented(RefusalPlace::AfterQuery);
  return q;
}

QueryPtr Parser::queryTerm() {
  Nested guard(*this, "query");
  if (acceptOp("(")) {
    auto q = query();
    expectOp(")");
    q->parenthesized = true;
    return q;
  }
  auto q = std::make_shared<Query>();
  if (!isWord("SELECT")) fail(928, "missing SELECT keyword");
  selectCore(q->core);
  return q;
}

std::vector<OrderItem> Parser::orderList() {
  std::vector<OrderItem> items;
  do {
    OrderItem it;
    it.expr = expr();
    if (acceptWord("DESC"))
      it.descending = true;
    else
      acceptWord("ASC");
    if (acceptWord("NULLS")) {
      if (acceptWord("FIRST"))
        it.nullsFirst = true;
      else if (acceptWord("LAST"))
        it.nullsFirst = false;
      else
        fail(905, "missing keyword");
    }
    items.push_back(std::move(it));
  } while (acceptOp(","));
  return items;
}

void Parser::selectCore(SelectCore& c) {
  expectWord("SELECT", 928, "missing SELECT keyword");
  if (acceptWord("DISTINCT") || acceptWord("UNIQUE"))
    c.distinct = true;
  else
    acceptWord("ALL");
  do {
    SelectItem item;
    size_t b = peek().begin;
    if (isOp("*")) {
      next();
      item.expr = make(ExprKind::Star);
    } else {
      item.expr = expr();
      // no boolean columns: Oracle stops reading the item before the condition's operator
      if (isCondition(*item.expr)) fail(923, "FROM keyword not found where expected");
    }
    size_t e = toks_[pos_ > 0 ? pos_ - 1 : 0].end;
    item.heading = headingOf(b, e);
    if (acceptWord("AS")) {
      item.alias = name();
    } else if (atName() &&
               !(peek().kind == TokenKind::Identifier && contains(kClauseWords, peek().text))) {
      item.alias = name();
    }
    c.items.push_back(std::move(item));
  } while (acceptOp(","));
  if (!acceptWord("FROM")) {
    if (atEnd()) fail(923, "FROM keyword not found where expected");
    fail(923, "FROM keyword not found where expected");
  }
  do c.from.push_back(tableRef());
  while (acceptOp(","));
  if (acceptWord("WHERE")) c.where = condition();
  for (int round = 0; round < 2; ++round) {
    if (isWord("START") && isWord("WITH", 1)) {
      next();
      next();
      c.startWith = condition();
    }
    if (isWord("CONNECT") && isWord("BY", 1)) {
      next();
      next();
      c.noCycle = acceptWord("NOCYCLE");
      c.connectBy = condition();
    }
  }
  if (isWord("GROUP")) {
    next();
    expectWord("BY");
    do {
      if (isOp("(") && isOp(")", 1)) {  // (): the grand total
        pos_ += 2;
        c.groupBy.push_back(make(ExprKind::Row));
      } else {
        c.groupBy.push_back(isWord("GROUPING") && isWord("SETS", 1) ? groupingSets() : expr());
      }
    } while (acceptOp(","));
  }
  if (acceptWord("HAVING")) c.having = condition();
  refuseUnimplemented(RefusalPlace::AfterBlock);
}

void Parser::optionalTableAlias(TableRef& t) {
  refuseUnimplemented(RefusalPlace::AfterTable);
  refuseUnimplemented(RefusalPlace::AfterAlias);
  refuseUnimplemented(RefusalPlace::AfterBlock);
  if (isWord("AS")) notEnded();  // Oracle has no AS before a table alias
  if (atName() && !(peek().kind == TokenKind::Identifier && contains(kClauseWords, peek().text)) &&
      !atRowLimit())
    t.alias = name();
  refuseUnimplemented(RefusalPlace::AfterAlias);
  refuseUnimplemented(RefusalPlace::AfterBlock);
}

TableRefPtr Parser::tablePrimary() {
  Nested guard(*this, "table reference");
  auto t = std::make_unique<TableRef>();
  refuseUnimplemented(RefusalPlace::TableStart);
  if (acceptOp("(")) {
    if (startsQuery()) {
      t->kind = TableRef::Kind::Subquery;
      t->query = parenthesizedQuery();
      optionalTableAlias(*t);
      return t;
    }
    auto inner = tableRef();
    expectOp(")");
    return inner;
  }
  if (!atName()) fail(903, "invalid table name");
  qualifiedTable(t->schema, t->name);
  optionalTableAlias(*t);
  return t;
}

TableRefPtr Parser::tableRef() {
  auto left = tablePrimary();
  TableRefPtr joined;  // the chain, once there is a JOIN
  for (;;) {
    JoinType jt;
    bool natural = false;
    if (isWord("JOIN")) {
      jt = JoinType::Inner;
    } else if (isWord("INNER") && isWord("JOIN", 1)) {
      next();
      jt = JoinType::Inner;
    } else if (isWord("CROSS") && isWord("JOIN", 1)) {
      next();
      jt = JoinType::Cross;
    } else if (isWord("LEFT") || isWord("RIGHT") || isWord("FULL")) {
      std::string w = next().text;
      acceptWord("OUTER");
      if (!isWord("JOIN")) fail(905, "missing keyword");
      jt = w == "LEFT" ? JoinType::Left : w == "RIGHT" ? JoinType::Right : JoinType::Full;
    } else if (isWord("NATURAL")) {
      next();
      natural = true;
      acceptWord("INNER");
      jt = JoinType::Inner;
      if (isWord("LEFT") || isWord("RIGHT") || isWord("FULL")) {
        std::string w = next().text;
        acceptWord("OUTER");
        jt = w == "LEFT" ? JoinType::Left : w == "RIGHT" ? JoinType::Right : JoinType::Full;
      }
      if (!isWord("JOIN")) fail(905, "missing keyword");
    } else {
      refuseUnimplemented(RefusalPlace::AfterAlias);
      return joined ? std::move(joined) : std::move(left);
    }
    expectWord("JOIN");
    if (!joined) {
      joined = std::make_unique<TableRef>();
      joined->kind = TableRef::Kind::Join;
      joined->left = std::move(left);
    }
    JoinStep step;
    step.type = jt;
    step.right = tablePrimary();
    step.natural = natural;
    if (jt != JoinType::Cross && !natural) {
      if (acceptWord("USING")) {
        expectOp("(");
        do {
          step.usingColumns.push_back(name());
          if (isOp(".")) fail(1748, "only simple column names allowed here");
        } while (acceptOp(","));
        expectOp(")");
      } else {
        expectWord("ON");
        step.on = condition();
      }
    }
    joined->joins.push_back(std::move(step));
  }
}

void Parser::rowLimitClause(Query& q) {
  if (!atRowLimit()) return;
  if (q.offsetRows || q.fetchRows)
    fail(3001, "unimplemented feature: a row limiting clause over another one");
  auto wrapped = [&]() {
    // the limits belong to the whole query, ORDER BY included
    q.parenthesized = false;
  };
  if (acceptWord("OFFSET")) {
    q.offsetRows = additive();
    if (!acceptWord("ROWS")) expectWord("ROW");
    wrapped();
  }
  if (acceptWord("FETCH")) {
    if (!acceptWord("FIRST")) expectWord("NEXT");
    if (!isWord("ROW") && !isWord("ROWS")) q.fetchRows = additive();
    if (isWord("PERCENT")) fail(3001, "unimplemented feature: FETCH ... PERCENT");
    if (!q.fetchRows) {
      q.fetchRows = make(ExprKind::Number);
      q.fetchRows->text.assign(1, '1');  // (not = "1": GCC 12 warns falsely about it here)
    }
    if (!acceptWord("ROWS")) expectWord("ROW");
    if (isWord("WITH") && isWord("TIES", 1)) fail(3001, "unimplemented feature: FETCH ... WITH TIES");
    expectWord("ONLY");
    wrapped();
  }
}

}  // namespace korvo::engine::parsing
