#pragma once
// Logic that must tell the user something or ask a Yes/No question does it
// through an Interaction: the desktop program answers with message boxes, the
// command line with its flags, the tests with a script of answers.
#include <QString>
#include <QStringList>

namespace korvo::kernel {

class Interaction {
 public:
  virtual ~Interaction() = default;
  // A plain message with an OK button.
  virtual void inform(const QString& text) = 0;
  // An error the program could not handle otherwise (the driver's own text).
  virtual void error(const QString& text) = 0;
  // A Yes/No question; true means Yes.
  virtual bool confirm(const QString& text) = 0;
  // Progress of a long operation (import, export, drop); empty text ends it.
  virtual void progress(const QString& /*step*/) {}
  // A file to save to (`save`) or to open, starting in `folder` with
  // `proposedName` filled in; empty when the user cancels.
  virtual QString chooseFile(bool /*save*/, const QString& /*folder*/,
                             const QString& /*proposedName*/) {
    return QString();
  }
};

// Remembers everything it was told and answers questions from a fixed list:
// the command line and the tests use it.
class RecordingInteraction : public Interaction {
 public:
  QStringList informed;
  QStringList errors;
  QStringList asked;
  QStringList steps;
  QList<bool> answers;    // answers given in order; when exhausted, defaultAnswer
  bool defaultAnswer = true;
  QStringList fileRequests;  // "save|folder|name" or "open|folder|name", in order
  QStringList chosenFiles;   // files chosen in order; when exhausted, a cancel

  void inform(const QString& text) override { informed << text; }
  void error(const QString& text) override { errors << text; }
  bool confirm(const QString& text) override {
    asked << text;
    return answers.isEmpty() ? defaultAnswer : answers.takeFirst();
  }
  void progress(const QString& step) override { steps << step; }
  QString chooseFile(bool save, const QString& folder, const QString& proposedName) override {
    fileRequests << QStringList{save ? QStringLiteral("save") : QStringLiteral("open"), folder,
                                proposedName}
                        .join(QLatin1Char('|'));
    return chosenFiles.isEmpty() ? QString() : chosenFiles.takeFirst();
  }
};

}  // namespace korvo::kernel
