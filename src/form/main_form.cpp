#include "form/main_form.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "base/identity.h"
#include "form/form_layout.h"
#include "tasks/value_lists.h"

namespace kiv {
namespace {

template <typename Table>
std::vector<std::string> listTexts(const Table& table, auto textOf) {
  std::vector<std::string> texts;
  texts.reserve(table.size());
  for (const auto& entry : table) texts.emplace_back(textOf(entry));
  return texts;
}

std::vector<std::string> taskEntries() {
  std::vector<std::string> entries;
  for (int number = 1; number <= kTaskCount; ++number) {
    entries.push_back("Task " + std::to_string(number));
  }
  return entries;
}

// Yes, No and Cancel stand in that order in both kinds of question.
int buttonPosition(MessageAnswer answer) {
  switch (answer) {
    case MessageAnswer::No:
      return 1;
    case MessageAnswer::Cancel:
      return 2;
    default:
      return 0;
  }
}

}  // namespace

MainForm::MainForm(Platform& platform)
    : tray(platform),
      hook(platform, tray),
      platform_(platform),
      scheduler_(tasks, {platform, platform, platform, platform, platform.databaseFiles()}, *this) {
  registerControls();
  applyLayout();
  wireHandlers();
  for (Control* control : controls_) {
    control->setListener(
        [this](const Control& changed, Property property) { notifyChanged(changed, property); });
  }
}

void MainForm::registerControls() {
  controls_ = {&KIV, &Frame1, &cmbTask};
  for (auto& box : TBox) controls_.push_back(&box);
  controls_.insert(controls_.end(), {&cmbVer, &cmbAction, &cmbDays, &Check1, &Check2});
  for (auto& button : Command1) controls_.push_back(&button);
  controls_.insert(controls_.end(), {&cmdCompile, &cmdRun});
  for (auto& label : Lbl1) controls_.push_back(&label);
  for (MenuItem* menu : menus()) {
    controls_.push_back(menu);
    controls_.insert(controls_.end(), menu->items().begin(), menu->items().end());
  }
}

std::vector<MenuItem*> MainForm::menus() {
  return {&mnuSchedule, &mnuTask, &mnuHelp, &mnuAccess};
}

// Initial values are put in place before any handler is attached, so building
// the window runs no behaviour.
void MainForm::applyLayout() {
  auto find = [this](std::string_view name, int index) -> Control& {
    auto found = std::find_if(controls_.begin(), controls_.end(), [&](const Control* control) {
      return control->name() == name && control->index() == index;
    });
    if (found == controls_.end())
      throw std::logic_error("layout names no control " + std::string(name));
    return **found;
  };

  KIV.setCaption(std::string(layout::kInitialCaption));
  KIV.geometry = {0, 0, layout::kClientWidth, layout::kClientHeight};

  for (const auto& entry : layout::kControls) {
    Control& control = find(entry.name, entry.index);
    control.geometry = entry.geometry;
    control.tabIndex = entry.tabIndex;
    control.tooltip = std::string(entry.tooltip);
    if (control.kind() == ControlKind::TextBox) {
      static_cast<TextBox&>(control).setText(std::string(entry.caption));
    } else {
      control.setCaption(std::string(entry.caption));
    }
  }
  for (const auto& entry : layout::kMenus) {
    auto& menu = static_cast<MenuItem&>(find(entry.name, -1));
    menu.setCaption(std::string(entry.caption));
    menu.shortcut = std::string(entry.shortcut);
    menu.setEnabled(entry.enabled);
    menu.helpContext = entry.helpContext;
  }
  mnuAccess.setVisible(false);

  TBox[kTaskNameBox].maxLength = 50;
  TBox[kPasswordBox].passwordChar = '*';
  TBox[kMacroBox].setVisible(false);
  Lbl1[kMacroLabel].setVisible(false);
  cmdRun.setEnabled(false);

  cmbTask.setItems(taskEntries());
  cmbVer.setItems(listTexts(kVersions, [](const VersionInfo& v) { return v.text; }));
  cmbAction.setItems(listTexts(kActions, [](const ActionInfo& a) { return a.text; }));
  cmbDays.setItems(listTexts(kDayPatterns, [](std::string_view day) { return day; }));
}

void MainForm::wireHandlers() {
  using Member = void (MainForm::*)();
  const std::pair<Handler*, Member> clicks[] = {
      {&cmbTask.onClick, &MainForm::cmbTask_Click},
      {&cmbVer.onClick, &MainForm::cmbVer_Click},
      {&cmbAction.onClick, &MainForm::cmbAction_Click},
      {&cmbDays.onClick, &MainForm::cmbDays_Click},
      {&Check1.onClick, &MainForm::Check1_Click},
      {&Check2.onClick, &MainForm::Check2_Click},
      {&cmdCompile.onClick, &MainForm::cmdCompile_Click},
      {&cmdRun.onClick, &MainForm::cmdRun_Click},
      {&mnuNew.onClick, &MainForm::mnuNew_Click},
      {&mnuOpen.onClick, &MainForm::mnuOpen_Click},
      {&mnuSave.onClick, &MainForm::mnuSave_Click},
      {&mnuSaveAs.onClick, &MainForm::mnuSaveAs_Click},
      {&mnuExit.onClick, &MainForm::mnuExit_Click},
      {&mnuCompile.onClick, &MainForm::mnuCompile_Click},
      {&mnuRun.onClick, &MainForm::mnuRun_Click},
      {&mnuDuplicate.onClick, &MainForm::mnuDuplicate_Click},
      {&mnuErase.onClick, &MainForm::mnuErase_Click},
      {&mnuOptions.onClick, &MainForm::mnuOptions_Click},
      {&mnuHlp.onClick, &MainForm::mnuHlp_Click},
      {&mnuAbout.onClick, &MainForm::mnuAbout_Click},
      {&mnuStore.onClick, &MainForm::mnuStore_Click},
      {&mnuRetrieve.onClick, &MainForm::mnuRetrieve_Click},
  };
  for (const auto& click : clicks) {
    *click.first = [this, member = click.second] { (this->*member)(); };
  }

  for (auto& box : TBox) {
    box.onChange = [this, index = box.index()] { TBox_Change(index); };
    box.onLostFocus = [this, index = box.index()] { TBox_LostFocus(index); };
  }
  for (auto& button : Command1) {
    button.onClick = [this, index = button.index()] { Command1_Click(index); };
  }
}

void MainForm::addObserver(FormObserver* observer) {
  observers_.push_back(observer);
}

void MainForm::removeObserver(FormObserver* observer) {
  std::erase(observers_, observer);
}

void MainForm::notifyChanged(const Control& control, Property property) {
  for (FormObserver* observer : observers_) observer->propertyChanged(control, property);
}

void MainForm::setFocus(Control& control) {
  if (&control == activeControl_) return;
  Control* previous = activeControl_;
  activeControl_ = &control;
  for (FormObserver* observer : observers_) observer->focusChanged(&control);
  if (previous != nullptr && previous->onLostFocus) previous->onLostFocus();
}

void MainForm::tell(const std::string& text, MessageIcon icon) {
  platform_.messageBox({text, MessageButtons::Ok, icon, 0, std::string(identity::kTitle)});
}

MessageAnswer MainForm::ask(const std::string& text, MessageButtons buttons,
                            MessageAnswer harmless) {
  return platform_.messageBox({text, buttons, MessageIcon::Question, buttonPosition(harmless),
                               std::string(identity::kTitle)});
}

}  // namespace kiv
