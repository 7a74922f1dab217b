#pragma once

#include <QDialog>
#include <string>

class QLineEdit;

namespace kiv {

// The input box: a prompt (one line of the box per line of the prompt), a text
// field, OK and Cancel, under the given title.
class InputDialog : public QDialog {
  Q_OBJECT

 public:
  InputDialog(const std::string& prompt, const std::string& title, QWidget* parent = nullptr);

  // The entered text once the dialog is done; empty unless OK ended it, so
  // Cancel, Escape and closing the box all answer with the empty text.
  std::string answer() const;

 private:
  QLineEdit* field_;
};

}  // namespace kiv
