#include "builder/pick_lists.h"

#include <mutex>

namespace korvo::builder {
namespace {

// label -> place, one table per language table set (they live for the run).
struct LabelIndex {
  QHash<QString, int> operators;
  QHash<QString, int> operandTypes;
};

const LabelIndex& indexOf(const kernel::TextTables& texts) {
  static std::mutex guard;
  static QHash<const kernel::TextTables*, LabelIndex> indexes;
  std::lock_guard lock(guard);
  auto it = indexes.find(&texts);
  if (it == indexes.end()) {
    LabelIndex index;
    for (int i = 1; i <= kOperatorCount && i < texts.operatorLabels.size(); ++i)
      index.operators.insert(texts.operatorLabels[i], i);
    for (int i = 1; i <= kOperandTypeCount && i < texts.operandTypeLabels.size(); ++i)
      index.operandTypes.insert(texts.operandTypeLabels[i], i);
    it = indexes.insert(&texts, index);
  }
  return *it;
}

}  // namespace

QStringList operatorItems(const kernel::TextTables& texts) {
  return texts.operatorLabels.mid(1, kOperatorCount);
}

QStringList operandTypeItems(const kernel::TextTables& texts) {
  return texts.operandTypeLabels.mid(1, kOperandTypeCount);
}

Operator operatorOf(const kernel::TextTables& texts, const QString& label) {
  return static_cast<Operator>(indexOf(texts).operators.value(label, kNoOperator));
}

OperandType operandTypeOf(const kernel::TextTables& texts, const QString& label) {
  return static_cast<OperandType>(indexOf(texts).operandTypes.value(label, kNoOperandType));
}

}  // namespace korvo::builder
