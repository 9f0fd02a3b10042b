#include "engine/dialect_types.h"

#include <array>

namespace korvo::engine {

namespace {

using F = TypeFamily;

constexpr std::array<DataTypeName, 12> kTypes = {{
    {"VARCHAR2", "VARCHAR2", F::Character},
    {"VARCHAR", "VARCHAR2", F::Character},
    {"NVARCHAR2", "VARCHAR2", F::Character},
    {"CHAR", "CHAR", F::Character},
    {"NCHAR", "CHAR", F::Character},
    {"NUMBER", "NUMBER", F::Number},
    {"INTEGER", "INTEGER", F::Number},
    {"INT", "INTEGER", F::Number},
    {"FLOAT", "FLOAT", F::Number},
    {"DATE", "DATE", F::Date},
    {"LONG", "LONG", F::Long},
    {"CLOB", "CLOB", F::Long},
}};

}  // namespace

const DataTypeName* findDataType(std::string_view written) {
  for (const auto& t : kTypes)
    if (written == t.written) return &t;
  return nullptr;
}

TypeFamily typeFamily(std::string_view stored) {
  const DataTypeName* t = findDataType(stored);
  return t ? t->family : TypeFamily::Unknown;
}

std::string typeDeclaration(const ast::ColumnType& t, bool withZeroScale) {
  std::string s = t.name;
  const TypeFamily family = typeFamily(t.name);
  if (family == TypeFamily::Character) return s + "(" + std::to_string(t.length) + ")";
  if (t.name == "FLOAT" && t.length) return s + "(" + std::to_string(t.length) + ")";
  if (t.name == "NUMBER" && t.precision) {
    s += "(" + std::to_string(*t.precision);
    const int scale = t.scale.value_or(0);
    if (scale != 0 || withZeroScale) s += "," + std::to_string(scale);
    s += ")";
  }
  return s;
}

}  // namespace korvo::engine
