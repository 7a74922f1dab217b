#include "form_view.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "caption_fit.h"
#include "form/focus_keys.h"
#include "form_font.h"
#include "list_style.h"
#include "password_style.h"
#include "qt_text.h"
#include "twips.h"
#include "typed_character.h"
#include "typed_length_limit.h"

namespace kiv {
namespace {

// Pixels a box widened for its text keeps free beside its neighbours.
constexpr int kFitGap = 2;

// A fixed-size window: title, system menu, minimise and close, but no maximise.
constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint |
                                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;

constexpr std::array kEveryProperty{Property::Caption,  Property::Text,    Property::ListIndex,
                                    Property::Value,    Property::Enabled, Property::Visible,
                                    Property::ForeColor};

// Check box values by position: unchecked, checked, grayed.
constexpr std::array kCheckStates{Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};

int checkValueOf(Qt::CheckState state) {
  return static_cast<int>(std::find(kCheckStates.begin(), kCheckStates.end(), state) -
                          kCheckStates.begin());
}

// A grayed value is drawn as the third state, but a click must never lead the
// user into it, so the box is tristate only while it shows that state.
void showCheckValue(int value, QCheckBox* box) {
  box->setTristate(value == CheckBox::kGrayed);
  box->setCheckState(kCheckStates.at(static_cast<std::size_t>(value)));
}

// setText moves the cursor to the end, so the echo of what the user has just
// typed must leave an equal text alone. A text from code passes the box's
// limit on typing untouched.
void showText(const QString& text, QLineEdit* edit) {
  if (edit->text() == text) return;
  if (auto* limit = edit->findChild<TypedLengthLimit*>()) limit->acceptFromCode(text);
  edit->setText(text);
}

// Only the active and inactive text takes the colour: a disabled box keeps the
// style's greyed text, as a locked field should look.
void showForeColor(Color color, QLineEdit* edit) {
  QPalette palette = edit->palette();
  const QColor shown(color.red, color.green, color.blue);
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::Text, shown);
  }
  edit->setPalette(palette);
}

void showCaption(const Control& control, QWidget* widget) {
  const QString caption = toQString(control.caption());
  if (control.kind() == ControlKind::Window) {
    widget->setWindowTitle(caption);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(caption);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(caption);
  }
}

QString objectNameOf(const Control& control) {
  const QString name = toQString(control.name());
  return control.index() < 0 ? name : QStringLiteral("%1(%2)").arg(name).arg(control.index());
}

}  // namespace

FormView::FormView(MainForm& form, QWidget* parent)
    : QMainWindow(parent, kWindowFlags), form_(form), dotsPerInch_(screen()->logicalDotsPerInch()) {
  widgets_.insert(&form_.KIV, this);
  buildClientArea();
  buildMenuBar();
  addHelpKey();
  orderTabStops();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  showEveryProperty();
  // A view made after the form has moved its focus starts where it is.
  FormView::focusChanged(form_.activeControl());
  form_.addObserver(this);
  qtFocusConnection_ = connect(qApp, &QApplication::focusChanged, this,
                               [this](QWidget*, QWidget* now) { followQtFocus(now); });
}

// The child widgets are destroyed after this body; neither the form nor Qt's
// focus tracking may reach the half-destroyed view meanwhile.
FormView::~FormView() {
  disconnect(qtFocusConnection_);
  form_.removeObserver(this);
}

void FormView::buildClientArea() {
  auto* client = new QWidget(this);
  client->setFont(formFont());
  client->setFixedSize(twipsToPixels(form_.KIV.geometry, dotsPerInch_).size());

  auto* frame = new QFrame(client);
  frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
  place(form_.Frame1, frame);
  for (Control* control : form_.controls()) {
    if (QWidget* widget = createControlWidget(*control, frame)) place(*control, widget);
  }
  // The lists' entries never change; the captions are fitted as they are shown.
  for (const Control* control : form_.controls()) {
    if (control->kind() == ControlKind::ComboBox) fitToText(*control, widgets_.value(control));
  }
  setCentralWidget(client);
}

// The boxes are drawn where the form puts them, in the window's font. Where a
// text is wider than its box in that font, the box widens within the free
// space of its row, so no caption or list entry is ever cut; it returns to
// its own size once its text fits again.
void FormView::fitToText(const Control& control, QWidget* widget) {
  const QRect documented = twipsToPixels(control.geometry, dotsPerInch_);
  widget->setGeometry(documented);
  const int missing = missingWidth(*widget);
  if (missing <= 0) return;
  QWidget* frame = widget->parentWidget();
  QList<QRect> others;
  for (const QWidget* sibling : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (sibling != widget) others << sibling->geometry();
  }
  widget->setGeometry(
      widenedWithinRow(documented, missing, others, frame->contentsRect(), kFitGap));
}

QWidget* FormView::createControlWidget(Control& control, QWidget* frame) {
  switch (control.kind()) {
    case ControlKind::TextBox:
      return createTextBox(static_cast<TextBox&>(control), frame);
    case ControlKind::ComboBox:
      return createComboBox(static_cast<ComboBox&>(control), frame);
    case ControlKind::CheckBox:
      return createCheckBox(static_cast<CheckBox&>(control), frame);
    case ControlKind::CommandButton:
      return createCommandButton(static_cast<CommandButton&>(control), frame);
    case ControlKind::Label: {
      auto* label = new QLabel(frame);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
    case ControlKind::Window:    // the view itself
    case ControlKind::Frame:     // built first: every other control sits inside it
    case ControlKind::MenuItem:  // actions on the menu bar
      return nullptr;
  }
  return nullptr;
}

void FormView::place(Control& control, QWidget* widget) {
  widgets_.insert(&control, widget);
  controlOf_.insert(widget, &control);
  widget->setObjectName(objectNameOf(control));
  widget->setGeometry(twipsToPixels(control.geometry, dotsPerInch_));
  widget->setToolTip(toQString(control.tooltip));
  widget->installEventFilter(this);
}

QLineEdit* FormView::createTextBox(TextBox& box, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  if (box.maxLength > 0) edit->setValidator(new TypedLengthLimit(box.maxLength, edit));
  if (box.passwordChar != '\0') {
    edit->setEchoMode(QLineEdit::Password);
    auto* style = new PasswordStyle(QLatin1Char(box.passwordChar));
    style->setParent(edit);
    edit->setStyle(style);
  }
  connect(edit, &QLineEdit::textEdited, this,
          [&box](const QString& text) { box.setText(toCoreText(text)); });
  return edit;
}

QComboBox* FormView::createComboBox(ComboBox& list, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  auto* style = new ListStyle;
  style->setParent(combo);
  combo->setStyle(style);
  for (const std::string& item : list.items()) combo->addItem(toQString(item));
  connect(combo, &QComboBox::activated, this, [&list](int index) { list.setListIndex(index); });
  return combo;
}

QCheckBox* FormView::createCheckBox(CheckBox& check, QWidget* parent) {
  auto* box = new QCheckBox(parent);
  connect(box, &QCheckBox::clicked, this,
          [&check, box] { check.setValue(checkValueOf(box->checkState())); });
  return box;
}

QPushButton* FormView::createCommandButton(CommandButton& button, QWidget* parent) {
  auto* push = new QPushButton(parent);
  connect(push, &QPushButton::clicked, this, [&button] { button.press(); });
  return push;
}

void FormView::buildMenuBar() {
  // Watched for F1 while a menu is open or the bar is entered with Alt.
  menuBar()->installEventFilter(this);
  for (MenuItem* menu : form_.menus()) {
    if (menu == &form_.mnuAccess) continue;  // a pop-up only, never on the bar
    QMenu* barMenu = menuBar()->addMenu(QString());
    barMenu->installEventFilter(this);
    bindAction(*menu, barMenu->menuAction());
    for (MenuItem* item : menu->items()) {
      QAction* action = barMenu->addAction(QString());
      bindAction(*item, action);
      connect(action, &QAction::triggered, this, [item] { item->press(); });
    }
  }
}

void FormView::bindAction(MenuItem& item, QAction* action) {
  actions_.insert(&item, action);
  menuItemOf_.insert(action, &item);
  if (item.shortcut.empty()) return;
  const QKeySequence shortcut =
      QKeySequence::fromString(toQString(item.shortcut), QKeySequence::PortableText);
  action->setShortcut(shortcut);
  menuShortcuts_.append(shortcut);
}

// F1 over the window asks for help on the focused control; over an open menu
// the menus' event filter answers it first (see helpOnMenu).
void FormView::addHelpKey() {
  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(help, &QShortcut::activated, this, [this] { form_.helpRequested(nullptr); });
}

void FormView::orderTabStops() {
  std::vector<std::pair<int, QWidget*>> stops;
  for (Control* control : form_.controls()) {
    QWidget* widget = widgets_.value(control);
    if (widget != nullptr && widget != this && widget->focusPolicy() != Qt::NoFocus) {
      stops.emplace_back(control->tabIndex, widget);
    }
  }
  std::sort(stops.begin(), stops.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t stop = 1; stop < stops.size(); ++stop) {
    setTabOrder(stops[stop - 1].second, stops[stop].second);
  }
}

void FormView::showEveryProperty() {
  for (const Control* control : form_.controls()) {
    for (Property property : kEveryProperty) propertyChanged(*control, property);
  }
}

void FormView::propertyChanged(const Control& control, Property property) {
  if (drawingHeld_) {
    const std::pair change{&control, property};
    if (std::ranges::find(heldChanges_, change) == heldChanges_.end())
      heldChanges_.push_back(change);
    return;
  }
  if (QAction* action = actions_.value(&control)) {
    showOnAction(control, property, action);
  } else if (QWidget* widget = widgets_.value(&control)) {
    showOnWidget(control, property, widget);
  }
}

void FormView::showOnWidget(const Control& control, Property property, QWidget* widget) {
  const QSignalBlocker blocker(widget);
  switch (property) {
    case Property::Caption:
      showCaption(control, widget);
      if (control.kind() == ControlKind::Label || control.kind() == ControlKind::CheckBox ||
          control.kind() == ControlKind::CommandButton) {
        fitToText(control, widget);
      }
      break;
    case Property::Text:
      if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        showText(toQString(static_cast<const TextBox&>(control).text()), edit);
      }
      break;
    case Property::ListIndex:
      if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        combo->setCurrentIndex(static_cast<const ComboBox&>(control).listIndex());
      }
      break;
    case Property::Value:
      if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        showCheckValue(static_cast<const CheckBox&>(control).value(), box);
      }
      break;
    case Property::Enabled:
      widget->setEnabled(control.enabled());
      break;
    case Property::Visible:
      // The window itself is shown and hidden through the Platform only.
      if (widget != this) widget->setVisible(control.visible());
      break;
    case Property::ForeColor:
      if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        showForeColor(static_cast<const TextBox&>(control).foreColor(), edit);
      }
      break;
  }
}

void FormView::showOnAction(const Control& item, Property property, QAction* action) {
  switch (property) {
    case Property::Caption:
      action->setText(toQString(item.caption()));
      break;
    case Property::Enabled:
      action->setEnabled(item.enabled());
      break;
    case Property::Visible:
      action->setVisible(item.visible());
      break;
    default:
      break;
  }
}

void FormView::focusChanged(const Control* control) {
  if (drawingHeld_) {
    heldFocus_ = control;
    return;
  }
  QWidget* widget = widgets_.value(control);
  if (widget != nullptr && widget != this) widget->setFocus(Qt::OtherFocusReason);
}

bool FormView::holdDrawing(bool hold) {
  const bool wasHeld = drawingHeld_;
  drawingHeld_ = hold;
  if (!hold) drawHeldChanges();
  return wasHeld;
}

// A change shows the property as it is now, so a property changed several
// times while held is drawn once.
void FormView::drawHeldChanges() {
  const auto changes = std::exchange(heldChanges_, {});
  for (const auto& [control, property] : changes) propertyChanged(*control, property);
  if (const auto focus = std::exchange(heldFocus_, std::nullopt)) focusChanged(*focus);
}

void FormView::followQtFocus(QWidget* now) {
  if (Control* control = controlOf_.value(now)) form_.setFocus(*control);
}

bool FormView::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ShortcutOverride: {
      // Asked before shortcuts are looked up. The form says which keys the
      // focused control keeps (a text box its clipboard and selection keys);
      // every other menu key acts from every control, so a text box is not
      // asked about those, though it would claim Ctrl+E or Ctrl+D for itself.
      const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
      if (focusKeepsKey(form_, pressed.toString(QKeySequence::PortableText).toStdString())) {
        event->accept();
        return true;
      }
      if (menuShortcuts_.contains(pressed)) {
        event->ignore();
        return true;
      }
      break;
    }
    case QEvent::KeyPress: {
      const auto& key = *static_cast<QKeyEvent*>(event);
      if (key.key() == Qt::Key_F1 && helpOnMenu(watched)) return true;
      auto* edit = qobject_cast<QLineEdit*>(watched);
      Control* control = controlOf_.value(edit);
      if (control != nullptr && filterTypedKey(*control, edit, key)) return true;
      break;
    }
    case QEvent::MouseButtonDblClick: {
      const Control* control = controlOf_.value(qobject_cast<QWidget*>(watched));
      if (control != nullptr && control->kind() == ControlKind::TextBox) {
        form_.TBox_DblClick(control->index());
      }
      break;
    }
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

// F1 while a menu is open, or while the bar is entered with Alt, asks for
// help on the highlighted item, or on the menu when no item is highlighted.
// False when `watched` is no menu.
bool FormView::helpOnMenu(QObject* watched) {
  const QAction* highlighted = nullptr;
  if (const auto* menu = qobject_cast<QMenu*>(watched)) {
    highlighted = menu->activeAction() != nullptr ? menu->activeAction() : menu->menuAction();
  } else if (const auto* bar = qobject_cast<QMenuBar*>(watched)) {
    highlighted = bar->activeAction();
  } else {
    return false;
  }
  const MenuItem* item = menuItemOf_.value(highlighted);
  // The menus give the keyboard back before help is shown.
  while (QWidget* popup = QApplication::activePopupWidget()) {
    if (!popup->close()) break;
  }
  form_.helpRequested(item);
  return true;
}

// A key that types a character goes to the form's key-press handler with the
// box's caret and selection; the handler may refuse it or change the
// selection the character replaces (the launch-time box types over).
bool FormView::filterTypedKey(Control& control, QLineEdit* edit, const QKeyEvent& key) {
  const std::optional<int> typed = typedCharacter(key);
  if (!typed.has_value()) return false;
  auto& box = static_cast<TextBox&>(control);
  box.selStart = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
  box.selLength = edit->hasSelectedText() ? edit->selectionLength() : 0;
  int keyAscii = *typed;
  form_.TBox_KeyPress(box.index(), keyAscii);
  if (keyAscii == 0) return true;
  edit->setSelection(box.selStart, box.selLength);
  return false;
}

void FormView::closeEvent(QCloseEvent* event) {
  int cancel = 0;
  form_.Form_QueryUnload(cancel, kUserClosed);
  event->setAccepted(cancel != 1);
}

void tickDrawingAfterwards(MainForm& form, FormView* view) {
  const DrawingHold held(view, true);
  form.Timer1_Timer();
}

}  // namespace kiv
