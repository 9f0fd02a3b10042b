#pragma once
// The dialect's data type names: the names a column or a CAST may be declared
// with, the name the catalogue keeps for each, and the family that decides how
// its values are stored, converted and compared.
#include <string>
#include <string_view>

#include "engine/ast.h"

namespace korvo::engine {

enum class TypeFamily {
  Number,     // NUMBER, INTEGER, FLOAT
  Character,  // VARCHAR2, CHAR
  Long,       // LONG, CLOB
  Date,       // DATE
  Unknown
};

struct DataTypeName {
  const char* written;  // as a declaration may spell it
  const char* stored;   // as the catalogue keeps it
  TypeFamily family;
};

// nullptr when the dialect has no such type (ORA-00902).
const DataTypeName* findDataType(std::string_view written);

// The family of a type name as the catalogue keeps it.
TypeFamily typeFamily(std::string_view stored);
inline bool isNumberType(std::string_view stored) {
  return typeFamily(stored) == TypeFamily::Number;
}

// The declaration as Oracle prints it: VARCHAR2(10), NUMBER(7,2), FLOAT(10), DATE.
// withZeroScale: NUMBER(7,0) rather than NUMBER(7).
std::string typeDeclaration(const ast::ColumnType& t, bool withZeroScale = false);

}  // namespace korvo::engine
