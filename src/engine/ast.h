#pragma once
// Abstract syntax of the Oracle statements the engine understands. Every node
// prints itself back to SQL (ast_print.cpp), so parse -> print -> parse is stable.
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvo::engine::ast {

struct Query;
struct FunctionClauses;  // OVER, WITHIN GROUP, KEEP of a function call

// A name as written: unquoted names are already upper case; quoted ones exact.
struct Name {
  std::string text;
  bool quoted = false;
  bool empty() const { return text.empty(); }
};

enum class ExprKind {
  Number,  // text = literal digits
  String,  // text = characters
  Null,
  DateLiteral,  // DATE 'YYYY-MM-DD', text = the literal
  Interval,     // INTERVAL 'text' unit: text = the literal, name.text = "DAY(3) TO SECOND"
  Column,       // qualifier.name, outerJoin = (+)
  Star,         // * or qualifier.*
  Pseudo,       // ROWNUM, LEVEL, SYSDATE, USER, CONNECT_BY_ISLEAF, CONNECT_BY_ISCYCLE
  Unary,        // op: "-", "+", "NOT", "PRIOR", "CONNECT_BY_ROOT"
  Binary,       // op: + - * / || = <> < <= > >= AND OR; a chain of one level (see ops)
  Like,         // args: value, pattern[, escape]; negated
  Between,      // args: value, low, high; negated
  InList,       // args: value, items...; negated
  InQuery,      // args: value...(one or a row); query; negated
  IsNull,       // args: value; negated
  Exists,       // query
  Subquery,     // scalar sub-query
  Function,     // name (maybe qualified), args, distinct, star (COUNT(*))
  Case,         // args: [operand] when1 then1 ... [else]; hasOperand, hasElse
  Extract,      // text = field (YEAR ...), args: value
  Row,          // (a, b) on the left of IN
  Quantified  // value op ANY|ALL (list or query): text = op, name = ANY/ALL, args: value, items...
};

struct Expr {
  Expr() = default;
  ~Expr();  // releases deep trees without recursion (ast.cpp)
  Expr(Expr&&) = default;
  Expr& operator=(Expr&&) = default;

  ExprKind kind = ExprKind::Null;
  std::string text;  // literal text, operator, pseudo-column name, extract field
  Name qualifier;    // Column/Star: table or alias; Function: package
  Name name;         // Column: column; Function: function name
  std::vector<std::unique_ptr<Expr>> args;
  std::shared_ptr<Query> query;  // Subquery, Exists, InQuery
  std::shared_ptr<FunctionClauses> clauses;  // Function: OVER (...), WITHIN GROUP, KEEP
  bool negated = false;
  bool distinct = false;       // Function(DISTINCT x)
  bool outerJoin = false;      // Column(+)
  bool hasOperand = false;     // Case
  bool hasElse = false;        // Case
  bool parenthesized = false;  // written inside parentheses (kept for printing only)
  // Binary: args is a chain x1 op x2 op x3 ... of one precedence level (comparisons
  // have two operands). text is its operator when every operator is the same; else
  // text is empty and ops[i] stands between args[i] and args[i + 1].
  std::vector<std::string> ops;
  const std::string& opBefore(size_t i) const { return ops.empty() ? text : ops[i - 1]; }
};
using ExprPtr = std::unique_ptr<Expr>;

struct SelectItem {
  ExprPtr expr;         // may be Star
  Name alias;           // empty when none
  std::string heading;  // Oracle's heading of an expression: text upper-cased, blanks removed
};

struct OrderItem {
  ExprPtr expr;
  bool descending = false;
  std::optional<bool> nullsFirst;  // explicit NULLS FIRST / LAST
};

// ROWS|RANGE BETWEEN start AND end of a window; a bound without offset is
// UNBOUNDED (PRECEDING/FOLLOWING) or CURRENT ROW.
struct FrameBound {
  enum class Kind { UnboundedPreceding, Preceding, CurrentRow, Following, UnboundedFollowing };
  Kind kind = Kind::CurrentRow;
  ExprPtr offset;  // Preceding / Following
};

struct WindowFrame {
  bool rows = false;  // ROWS, else RANGE
  FrameBound start;
  std::optional<FrameBound> end;  // none: the short form "ROWS start", ending at CURRENT ROW
};

// What may follow the argument list of a function call.
struct FunctionClauses {
  bool over = false;  // analytic: OVER (PARTITION BY ... ORDER BY ... frame)
  bool ignoreNulls = false;  // FIRST_VALUE, LAST_VALUE, NTH_VALUE, LAG, LEAD ... IGNORE NULLS
  std::vector<ExprPtr> partitionBy;
  std::vector<OrderItem> orderBy;
  std::optional<WindowFrame> frame;
  std::vector<OrderItem> withinGroup;  // LISTAGG ... WITHIN GROUP (ORDER BY ...)
  bool keep = false;                   // KEEP (DENSE_RANK FIRST|LAST ORDER BY ...)
  bool keepLast = false;
  std::vector<OrderItem> keepOrder;
};

enum class JoinType { Inner, Left, Right, Full, Cross };

struct TableRef;

// One "JOIN item ON condition" of a join chain.
struct JoinStep {
  JoinType type = JoinType::Inner;
  std::unique_ptr<TableRef> right;
  ExprPtr on;  // none for CROSS JOIN, USING and NATURAL
  std::vector<Name> usingColumns;  // JOIN ... USING (a, b)
  bool natural = false;            // NATURAL JOIN: USING every shared column
};

struct TableRef {
  enum class Kind { Table, Subquery, Join } kind = Kind::Table;
  Name schema;                   // Table: owner
  Name name;                     // Table: table name
  std::shared_ptr<Query> query;  // Subquery
  Name alias;
  // Join: left, then each step joins one more item to everything before it
  std::unique_ptr<TableRef> left;
  std::vector<JoinStep> joins;
};
using TableRefPtr = std::unique_ptr<TableRef>;

struct SelectCore {
  bool distinct = false;
  std::vector<SelectItem> items;
  std::vector<TableRefPtr> from;  // comma list
  ExprPtr where;
  ExprPtr startWith;
  ExprPtr connectBy;
  bool noCycle = false;
  // GROUP BY items; ROLLUP(...), CUBE(...) and GROUPING SETS(...) are Function nodes of
  // those names, whose composite columns are Row nodes ("()" is a Row without args)
  std::vector<ExprPtr> groupBy;
  ExprPtr having;
};

enum class SetOp { Union, UnionAll, Intersect, Minus };

// WITH name [(columns)] AS (query)
struct CommonTable {
  Name name;
  std::vector<Name> columns;
  std::shared_ptr<Query> query;
};

struct Query {
  enum class Kind { Select, Compound } kind = Kind::Select;
  SelectCore core;  // Select
  // Compound: members[0] ops[0] members[1] ops[1] members[2] ..., applied from
  // left to right (the set operators have equal precedence)
  std::vector<std::shared_ptr<Query>> members;
  std::vector<SetOp> ops;
  bool parenthesized = false;
  std::vector<OrderItem> orderBy;
  bool orderSiblings = false;
  std::vector<CommonTable> with;  // subquery factoring, visible in this query
  ExprPtr offsetRows;             // OFFSET n ROWS
  ExprPtr fetchRows;              // FETCH FIRST n ROWS ONLY
};
using QueryPtr = std::shared_ptr<Query>;

struct ColumnType {
  std::string name;  // VARCHAR2, CHAR, NUMBER, DATE, LONG, INTEGER, FLOAT, CLOB, VARCHAR
  int length = 0;    // VARCHAR2/CHAR/VARCHAR width, FLOAT precision
  std::optional<int> precision;
  std::optional<int> scale;
};

struct ColumnDef {
  Name name;
  ColumnType type;
  bool notNull = false;
  ExprPtr defaultValue;
};

// PRIMARY KEY or UNIQUE of CREATE TABLE, written inline or at table level.
struct KeyConstraint {
  Name name;  // empty: the system names it
  bool primary = false;
  std::vector<Name> columns;
};

struct Assignment {
  Name qualifier;
  Name column;
  ExprPtr value;
};

// A call inside an anonymous PL/SQL block: pkg.proc(args);
struct Call {
  Name package;
  Name name;
  std::vector<ExprPtr> args;
  std::string position;  // "line 2, column 1" for PL/SQL errors
};

enum class StatementKind {
  Select,
  Insert,
  Update,
  Delete,
  CreateTable,
  CreateIndex,
  DropTable,
  DropIndex,
  DropProcedure,
  Commit,
  Rollback,
  AlterSession,
  ExplainPlan,
  CreateProcedure,
  Block
};

struct Statement {
  StatementKind kind = StatementKind::Select;
  QueryPtr query;  // Select, Insert…SELECT, CreateTable AS, ExplainPlan
  // Insert / Update / Delete / CreateTable / CreateIndex / Drop*
  Name table;
  Name tableSchema;
  Name alias;
  std::vector<Name> columns;            // Insert column list, CreateIndex columns
  std::vector<ExprPtr> values;          // Insert VALUES
  std::vector<Assignment> assignments;  // Update
  ExprPtr where;                        // Update / Delete
  std::vector<ColumnDef> columnDefs;    // CreateTable
  std::vector<KeyConstraint> keys;      // CreateTable
  bool unique = false;                  // CreateIndex
  Name index;                           // CreateIndex / DropIndex name
  // AlterSession
  std::string parameter;
  std::string value;
  // ExplainPlan
  std::optional<std::string> statementId;
  Name intoTable;
  // CreateProcedure / Block
  bool orReplace = false;
  std::string text;  // the whole statement text
  std::vector<Call> calls;
};

}  // namespace korvo::engine::ast
