#include "input_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "qt_text.h"

namespace kiv {

// The prompt stands top left with OK and Cancel beside it, the text field
// across the foot of the box.
InputDialog::InputDialog(const std::string& prompt, const std::string& title, QWidget* parent)
    : QDialog(parent), field_(new QLineEdit(this)) {
  setWindowTitle(toQString(title));

  auto* promptLabel = new QLabel(shownLines(prompt), this);
  promptLabel->setObjectName(QStringLiteral("prompt"));
  promptLabel->setTextFormat(Qt::PlainText);
  promptLabel->setWordWrap(true);
  promptLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  promptLabel->setMinimumWidth(280);

  auto* buttons =
      new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  field_->setObjectName(QStringLiteral("text"));

  auto* grid = new QGridLayout(this);
  grid->addWidget(promptLabel, 0, 0);
  grid->addWidget(buttons, 0, 1, Qt::AlignTop);
  grid->addWidget(field_, 1, 0, 1, 2);
  grid->setRowStretch(0, 1);
  field_->setFocus();
}

std::string InputDialog::answer() const {
  return result() == QDialog::Accepted ? toCoreText(field_->text()) : std::string();
}

}  // namespace kiv
