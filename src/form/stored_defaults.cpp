#include "base/identity.h"
#include "form/main_form.h"

namespace kiv {
namespace {

constexpr std::string_view kSection = "FileLoc";

bool isLocationBox(const Control* control) {
  return control != nullptr && control->kind() == ControlKind::TextBox && control->index() >= 4 &&
         control->index() <= 6;
}

}  // namespace

// The pop-up acts on the location box that has the focus, which is the one
// double-clicked. Any other box (the password box above all) is never stored.
TextBox* MainForm::focusedLocationBox() {
  return isLocationBox(activeControl_) ? &TBox.at(activeControl_->index()) : nullptr;
}

std::string MainForm::storedDefault(const TextBox& box) {
  return platform_.readSetting(std::string(identity::kTitle), std::string(kSection),
                               std::to_string(box.index()));
}

void MainForm::mnuAccess_Click() {
  const TextBox* box = focusedLocationBox();
  mnuStore.setEnabled(box != nullptr && !box->text().empty());
  mnuRetrieve.setEnabled(box != nullptr && !storedDefault(*box).empty());
}

void MainForm::mnuStore_Click() {
  if (const TextBox* box = focusedLocationBox()) {
    platform_.writeSetting(std::string(identity::kTitle), std::string(kSection),
                           std::to_string(box->index()), box->text());
  }
}

void MainForm::mnuRetrieve_Click() {
  if (TextBox* box = focusedLocationBox()) box->setText(storedDefault(*box));
}

}  // namespace kiv
