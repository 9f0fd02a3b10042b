#include "sqlgen/run_provenance.h"

namespace korvo::sqlgen {

UniverseName schemaUniverse(db::Connection& connection) {
  UniverseName out;
  try {
    std::unique_ptr<db::Cursor> cursor =
        connection.query(QStringLiteral("select UN_IDUNIV, UN_NAME from KORVO_UNIVERS order by UN_IDUNIV"));
    QList<db::Row> rows;
    cursor->fetch(rows, 1);
    if (!rows.isEmpty() && rows.first().size() >= 2) {
      out.id = rows.first()[0].isNull() ? QString() : connection.display(rows.first()[0]);
      out.name = rows.first()[1].toString();
    }
  } catch (const db::DbError&) {
    // A schema without a universe (a run of the SQL editor) has no name to give.
  }
  return out;
}

Provenance provenanceOf(const builder::QueryGrids& grids, const PromptList& prompts,
                        const QString& universe, const QString& statement, const QDateTime& ranAt) {
  Provenance p;
  p.universe = universe;
  p.statement = statement;
  p.ranAt = ranAt;
  const kernel::Grid& objects = grids.objects();
  for (int row = 1; row < objects.rowCount(); ++row) {
    const QString name = objects.cell(row, builder::kObjName);
    if (!name.trimmed().isEmpty()) p.resultObjects << name;
  }
  const kernel::Grid& conditions = grids.conditions();
  for (int row = 1; row < conditions.rowCount(); ++row) {
    ProvenanceCondition c;
    c.connector = conditions.cell(row, builder::kCondConnector);
    c.open = conditions.cell(row, builder::kCondOpen);
    c.object = conditions.cell(row, builder::kCondObject);
    c.op = conditions.cell(row, builder::kCondOperator);
    c.operand = conditions.cell(row, builder::kCondOperand);
    c.close = conditions.cell(row, builder::kCondClose);
    if ((c.connector + c.open + c.object + c.op + c.operand + c.close).trimmed().isEmpty()) continue;
    p.conditions << c;
  }
  for (const PromptRequest& prompt : prompts) p.promptAnswers << qMakePair(prompt.label, prompt.answer);
  return p;
}

}  // namespace korvo::sqlgen
