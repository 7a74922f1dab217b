#pragma once

#include <QDialog>
#include <QString>

class QTextBrowser;

namespace kiv {

// The anchor of the help document that a help context opens at: the
// contents for 0 and for any context the document has no section for.
QString helpAnchor(int context);

// Where the help document is: beside the program in the build tree, or in
// the installed data folder. The first candidate when neither exists.
QString findHelpDocument();

// The program's help window: the help document in a browser, opened at the
// section of a help context. Not modal: it stays open beside the window.
class HelpWindow : public QDialog {
  Q_OBJECT

 public:
  explicit HelpWindow(QString document, QWidget* parent = nullptr);

  // Shows and raises the window at the section of `context`.
  void showAt(int context);

  const QTextBrowser& browser() const { return *browser_; }

 private:
  QString document_;
  QTextBrowser* browser_;
};

}  // namespace kiv
