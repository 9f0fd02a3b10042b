#include "engine/functions.h"

#include "engine/functions_support.h"

namespace korvo::engine {

void registerOracleFunctions(sqlite3* db, FunctionContext* ctx) {
  udf::registerConditionalFunctions(db, ctx);
  udf::registerStringFunctions(db, ctx);
  udf::registerNumberFunctions(db, ctx);
  udf::registerDateFunctions(db, ctx);
  udf::registerConversionFunctions(db, ctx);
  udf::registerAggregateFunctions(db, ctx);
  udf::registerListagg(db, ctx);
  udf::registerKeep(db, ctx);
  udf::registerIgnoreNulls(db, ctx);
  udf::registerRegexpFunctions(db, ctx);
}

}  // namespace korvo::engine
