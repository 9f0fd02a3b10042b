#include "sqlgen/run_recording.h"

#include "db/statement_runner.h"

namespace korvo::sqlgen {

void MessageTap::inform(const QString& text) {
  last = text;
  lastWasError = false;
  inner_.inform(text);
}

void MessageTap::error(const QString& text) {
  last = text;
  lastWasError = true;
  inner_.error(text);
}

bool MessageTap::confirm(const QString& text) {
  last = text;
  lastWasError = false;
  return inner_.confirm(text);
}

int catalogueEntryOf(const kernel::TextTables& texts, const QString& message) {
  const QString text = message.trimmed();
  if (text.isEmpty()) return -1;
  int best = -1;
  qsizetype bestLength = 0;
  for (int entry = 0; entry < texts.messages.size(); ++entry) {
    const QString known = texts.messages.at(entry).trimmed();
    // The longest entry wins: one entry may begin another.
    if (!known.isEmpty() && text.startsWith(known) && known.size() > bestLength) {
      best = entry;
      bestLength = known.size();
    }
  }
  return best;
}

RunRecording::RunRecording(RunTrigger trigger, const builder::Workspace& workspace, bool withQuery,
                           const QString& alias, const QString& user) {
  clock_.start();
  record_.startedAt = QDateTime::currentDateTime();
  record_.trigger = trigger;
  record_.alias = alias;
  record_.user = user;
  QString fault;
  // A grid cell too wide for its file field leaves the run without its query,
  // not without its record.
  if (withQuery && !captureQuery(workspace.grids(), record_, fault)) {
    record_.objectsPacket.clear();
    record_.conditionsPacket.clear();
  }
}

void RunRecording::setUniverse(const QString& id, const QString& name) {
  record_.universeId = id;
  record_.universeName = name;
}

void RunRecording::setPrompts(const PromptList& prompts) {
  record_.promptAnswers.clear();
  for (const PromptRequest& prompt : prompts) record_.promptAnswers << qMakePair(prompt.label, prompt.answer);
}

void RunRecording::refused(const kernel::TextTables& texts, const QString& message) {
  record_.outcome = RunRecord::Outcome::Refused;
  record_.refusal = catalogueEntryOf(texts, message);
  record_.error = message;
}

void RunRecording::failed(const QString& error) {
  if (error == db::cancelledText()) return cancelled();
  record_.outcome = RunRecord::Outcome::Failed;
  record_.error = error;
}

void RunRecording::cancelled() {
  record_.outcome = RunRecord::Outcome::Cancelled;
  record_.error = db::cancelledText();
}

void RunRecording::fetched(long long rows) {
  record_.outcome = RunRecord::Outcome::Fetched;
  record_.rows = rows;
}

bool RunRecording::commit(RunHistory& history) {
  record_.durationMs = clock_.elapsed();
  return history.record(record_);
}

}  // namespace korvo::sqlgen
