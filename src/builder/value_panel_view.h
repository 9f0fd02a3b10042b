#pragma once
// PanelValeur in query mode: the distinct values of the current condition
// row's object, single or multiple choice by its operator, narrowed by the
// filter box as the user types. A long list is filled in steps from the event
// loop, so the window keeps repainting while it grows.
#include <QObject>
#include <QStringList>
#include <functional>

#include "builder/value_list.h"

class QLineEdit;
class QTimer;

namespace korvo::builder {

class QueryPanel;
class Workspace;

class ValuePanelView : public QObject {
  Q_OBJECT
 public:
  // `changed` redraws the query mode after the grids changed.
  ValuePanelView(QueryPanel& panel, Workspace& workspace, std::function<void()> changed,
                 QObject* parent = nullptr);

  // ProcListeValeur for the condition grid's current row.
  void open();
  QLineEdit* filter() const { return filter_; }
  // Values still waiting to be added to the list.
  int pendingValues() const { return int(pending_.size() - next_); }

 private:
  void addNextChunk();
  void choose();  // ProcSelValeur
  void applyFilter(const QString& typed);

  QueryPanel& panel_;
  Workspace& workspace_;
  std::function<void()> changed_;
  QLineEdit* filter_ = nullptr;
  QTimer* filling_ = nullptr;
  ValueChoice choice_ = ValueChoice::Single;
  QStringList pending_;
  qsizetype next_ = 0;
};

}  // namespace korvo::builder
