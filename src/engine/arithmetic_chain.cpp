#include "engine/arithmetic_chain.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/write_checks.h"

namespace korvo::engine {
namespace {

struct Operand {
  unsigned char op = 0;
  bool isInt = false;
  sqlite3_int64 i = 0;
  double d = 0;
};

constexpr size_t kRecord = 10;  // op, integer flag, 8 bytes of value

Operand operandOf(int op, sqlite3_value* v) {
  Operand o;
  o.op = (unsigned char)op;
  o.isInt = sqlite3_value_numeric_type(v) == SQLITE_INTEGER;
  if (o.isInt)
    o.i = sqlite3_value_int64(v);
  else
    o.d = sqlite3_value_double(v);
  return o;
}

void append(std::string& blob, const Operand& o) {
  char rec[kRecord];
  rec[0] = char(o.op);
  rec[1] = o.isInt ? 1 : 0;
  if (o.isInt)
    std::memcpy(rec + 2, &o.i, 8);
  else
    std::memcpy(rec + 2, &o.d, 8);
  blob.append(rec, kRecord);
}

Operand read(const unsigned char* rec) {
  Operand o;
  o.op = rec[0];
  o.isInt = rec[1] != 0;
  if (o.isInt)
    std::memcpy(&o.i, rec + 2, 8);
  else
    std::memcpy(&o.d, rec + 2, 8);
  return o;
}

void error(sqlite3_context* ctx, const char* msg) { sqlite3_result_error(ctx, msg, -1); }

// x[0] op[1] x[1] op[2] x[2] ... from left to right.
void evaluate(sqlite3_context* ctx, const std::vector<Operand>& x) {
  if (x.empty()) return sqlite3_result_null(ctx);
  bool isInt = x[0].isInt;
  sqlite3_int64 iv = x[0].i;
  double dv = isInt ? double(iv) : x[0].d;
  for (size_t k = 1; k < x.size(); ++k) {
    const int op = x[k].op;
    const double xd = x[k].isInt ? double(x[k].i) : x[k].d;
    if (op == 3 && xd == 0) return error(ctx, "ORA-01476: divisor is equal to zero");
    if (isInt && x[k].isInt) {
      const sqlite3_int64 xi = x[k].i;
      sqlite3_int64 r = 0;
      bool exact = false;
      switch (op) {
        case 0: exact = !__builtin_add_overflow(iv, xi, &r); break;
        case 1: exact = !__builtin_sub_overflow(iv, xi, &r); break;
        case 2: exact = !__builtin_mul_overflow(iv, xi, &r); break;
        default:
          exact = xi != -1 && iv % xi == 0;
          if (exact) r = iv / xi;
          break;
      }
      if (exact) {
        iv = r;
        dv = double(r);
        continue;
      }
    }
    const double base = isInt ? double(iv) : dv;
    const double r = op == 0 ? base + xd : op == 1 ? base - xd : op == 2 ? base * xd : base / xd;
    if (!std::isfinite(r)) return error(ctx, "ORA-01426: numeric overflow");
    dv = roundDecimal15(r);
    isInt = std::nearbyint(dv) == dv && std::fabs(dv) < 9.0e15;
    if (isInt) iv = (sqlite3_int64)dv;
  }
  if (isInt)
    sqlite3_result_int64(ctx, iv);
  else
    sqlite3_result_double(ctx, dv);
}

bool anyNull(int argc, sqlite3_value** argv, int from, int step) {
  for (int i = from; i < argc; i += step)
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
  return false;
}

void korvoChain(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (anyNull(argc, argv, 0, 2)) return sqlite3_result_null(ctx);
  std::vector<Operand> x;
  x.reserve(size_t(argc / 2 + 1));
  x.push_back(operandOf(0, argv[0]));
  for (int i = 1; i + 1 < argc; i += 2)
    x.push_back(operandOf(sqlite3_value_int(argv[i]), argv[i + 1]));
  evaluate(ctx, x);
}

void korvoTerms(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (anyNull(argc, argv, 1, 2)) return sqlite3_result_null(ctx);
  std::string blob;
  blob.reserve(size_t(argc / 2) * kRecord);
  for (int i = 0; i + 1 < argc; i += 2)
    append(blob, operandOf(sqlite3_value_int(argv[i]), argv[i + 1]));
  sqlite3_result_blob64(ctx, blob.data(), blob.size(), SQLITE_TRANSIENT);
}

void korvoTermsCat(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (anyNull(argc, argv, 0, 1)) return sqlite3_result_null(ctx);
  std::string blob;
  for (int i = 0; i < argc; ++i) {
    const auto* data = static_cast<const char*>(sqlite3_value_blob(argv[i]));
    blob.append(data ? data : "", size_t(sqlite3_value_bytes(argv[i])));
  }
  sqlite3_result_blob64(ctx, blob.data(), blob.size(), SQLITE_TRANSIENT);
}

void korvoChainTerms(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const auto* data = static_cast<const unsigned char*>(sqlite3_value_blob(argv[0]));
  const size_t size = size_t(sqlite3_value_bytes(argv[0]));
  std::vector<Operand> x;
  x.reserve(size / kRecord);
  for (size_t at = 0; data && at + kRecord <= size; at += kRecord) x.push_back(read(data + at));
  evaluate(ctx, x);
}

}  // namespace

void registerChainFunctions(sqlite3* db) {
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  sqlite3_create_function(db, "korvo_chain", -1, flags, nullptr, korvoChain, nullptr, nullptr);
  sqlite3_create_function(db, "korvo_terms", -1, flags, nullptr, korvoTerms, nullptr, nullptr);
  sqlite3_create_function(db, "korvo_terms_cat", -1, flags, nullptr, korvoTermsCat, nullptr,
                          nullptr);
  sqlite3_create_function(db, "korvo_chain_terms", 1, flags, nullptr, korvoChainTerms, nullptr,
                          nullptr);
}

}  // namespace korvo::engine
