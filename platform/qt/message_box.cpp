#include "message_box.h"

#include <algorithm>
#include <array>
#include <span>
#include <utility>

#include "qt_text.h"

namespace kiv {
namespace {

using Button = QMessageBox::StandardButton;

constexpr std::array kOk{QMessageBox::Ok};
constexpr std::array kYesNo{QMessageBox::Yes, QMessageBox::No};
constexpr std::array kYesNoCancel{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};

std::span<const Button> buttonsOf(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return kOk;
    case MessageButtons::YesNo:
      return kYesNo;
    case MessageButtons::YesNoCancel:
      return kYesNoCancel;
  }
  return kOk;
}

constexpr std::array<std::pair<Button, MessageAnswer>, 4> kAnswers{{
    {QMessageBox::Ok, MessageAnswer::Ok},
    {QMessageBox::Yes, MessageAnswer::Yes},
    {QMessageBox::No, MessageAnswer::No},
    {QMessageBox::Cancel, MessageAnswer::Cancel},
}};

// Indexed by MessageIcon: None, Information, Exclamation, Question.
constexpr std::array kIcons{QMessageBox::NoIcon, QMessageBox::Information, QMessageBox::Warning,
                            QMessageBox::Question};

}  // namespace

std::unique_ptr<QMessageBox> makeMessageBox(const MessageBoxRequest& request, QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(toQString(request.title));
  box->setTextFormat(Qt::PlainText);
  box->setText(shownLines(request.text));
  box->setIcon(kIcons.at(static_cast<std::size_t>(request.icon)));

  const std::span<const Button> buttons = buttonsOf(request.buttons);
  for (Button button : buttons) box->addButton(button);
  // A default position the buttons lack falls back to the first button.
  const bool defaultExists =
      request.defaultButton >= 0 && request.defaultButton < static_cast<int>(buttons.size());
  box->setDefaultButton(
      buttons[defaultExists ? static_cast<std::size_t>(request.defaultButton) : 0]);
  // Escape and the close button give the last button: OK, No or Cancel.
  box->setEscapeButton(buttons.back());
  return box;
}

MessageAnswer messageAnswer(const QMessageBox& box) {
  QAbstractButton* chosen = box.clickedButton();
  if (chosen == nullptr) chosen = box.escapeButton();
  const Button button = box.standardButton(chosen);
  const auto* found = std::find_if(kAnswers.begin(), kAnswers.end(),
                                   [button](const auto& entry) { return entry.first == button; });
  return found != kAnswers.end() ? found->second : MessageAnswer::Cancel;
}

}  // namespace kiv
