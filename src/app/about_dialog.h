#pragma once
// TForm4, the about box: banner, version and date, what the program is, and
// the product web page as a link. Closing it in any way emits closed(), on
// which the main window enables itself again.
#include <QDialog>
#include <QUrl>

class QLabel;

namespace korvo::kernel {
class LinkLabelWidget;
class Opener;
struct TextTables;
}  // namespace korvo::kernel

namespace korvo::app {

using kernel::LinkLabelWidget;
using kernel::Opener;
using kernel::TextTables;

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  AboutDialog(const TextTables& texts, const QUrl& productPage, Opener& opener,
              QWidget* parent = nullptr);

  void showCentredOn(QWidget* window);
  LinkLabelWidget* link() const { return link_; }

  void done(int result) override;

 signals:
  void closed();

 private:
  QLabel* addLabel(const QString& name, const QString& text);
  Opener& opener_;
  QUrl productPage_;
  LinkLabelWidget* link_ = nullptr;
};

}  // namespace korvo::app
