#pragma once
// One run watched from its start to its end and written into the history:
// what was asked, what was sent and how it ended.
#include <QElapsedTimer>
#include <QString>

#include "builder/workspace.h"
#include "kernel/interaction.h"
#include "sqlgen/prompts.h"
#include "sqlgen/run_history.h"

namespace korvo::sqlgen {

// Passes everything on and remembers the last message or error, so that a
// refused run is recorded with the catalogue entry it was refused with.
class MessageTap : public kernel::Interaction {
 public:
  explicit MessageTap(kernel::Interaction& inner) : inner_(inner) {}
  void inform(const QString& text) override;
  void error(const QString& text) override;
  bool confirm(const QString& text) override;
  void progress(const QString& step) override { inner_.progress(step); }
  QString chooseFile(bool save, const QString& folder, const QString& proposedName) override {
    return inner_.chooseFile(save, folder, proposedName);
  }
  QString last;  // the last text told or asked
  bool lastWasError = false;

 private:
  kernel::Interaction& inner_;
};

// The catalogue entry whose text `message` is, or begins with (an entry
// followed by details); -1 when none is.
int catalogueEntryOf(const kernel::TextTables& texts, const QString& message);

class RunRecording {
 public:
  // Starts the clock. A builder run (`withQuery`) keeps the grids' query.
  RunRecording(RunTrigger trigger, const builder::Workspace& workspace, bool withQuery,
               const QString& alias, const QString& user);

  void setStatement(const QString& statement) { record_.statement = statement; }
  void setUniverse(const QString& id, const QString& name);
  void setPrompts(const PromptList& prompts);
  // How it ended.
  void refused(const kernel::TextTables& texts, const QString& message);
  void failed(const QString& error);
  void cancelled();
  void fetched(long long rows);

  // Stops the clock and commits the record; false when the history could not take it.
  bool commit(RunHistory& history);
  const RunRecord& record() const { return record_; }

 private:
  RunRecord record_;
  QElapsedTimer clock_;
};

}  // namespace korvo::sqlgen
