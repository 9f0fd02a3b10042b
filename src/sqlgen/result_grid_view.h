#pragma once
// The result panel's behaviour: the grid shows the result model (null marks,
// record numbers in the strip beside it, packets fetched as the user scrolls),
// a title click reports the column, and the navigator moves the current row.
#include <QObject>
#include <QString>
#include <functional>

#include "kernel/interaction.h"

namespace korvo::sqlgen {

class ResultModel;
class ResultPanel;
class RowNumbersWidget;

class ResultGridView : public QObject {
  Q_OBJECT
 public:
  // Fetch errors of later packets are shown through `interaction`, after the
  // painting that caused the fetch has finished.
  ResultGridView(ResultPanel& panel, ResultModel& model, kernel::Interaction& interaction,
                 QObject* parent = nullptr);

  std::function<void(const QString& title)> onTitleClicked;

  // Binds the grid to the result again: a new connection detaches it, and
  // every run attaches it before opening.
  void attach();

  // The hourglass cursor while `work` runs, restored also when it throws.
  void withBusyCursor(const std::function<void()>& work);

  // The navigator: Next past the last fetched row brings the next packet;
  // Last fetches every row first.
  void goFirst();
  void goPrior();
  void goNext();
  void goLast();
  int currentRow() const;  // -1 when there is none

  RowNumbersWidget* rowNumbers() const { return rowNumbers_; }

 private:
  void goToRow(int row);

  ResultPanel& panel_;
  ResultModel& model_;
  kernel::Interaction& interaction_;
  RowNumbersWidget* rowNumbers_ = nullptr;
};

}  // namespace korvo::sqlgen
