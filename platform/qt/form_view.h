#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QMainWindow>
#include <optional>
#include <utility>
#include <vector>

#include "form/main_form.h"

class QAction;
class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;

namespace kiv {

// The main window drawn with Qt widgets. It decides nothing: it builds one
// widget per control of the form, shows every property change the form
// reports, and hands each user action to the same setter the core itself
// uses, so a user edit and a change made in code take one path. Keys typed
// into the text boxes, double-clicks on them, F1 and close requests go to the
// form's handlers.
class FormView : public QMainWindow, public FormObserver {
  Q_OBJECT

 public:
  explicit FormView(MainForm& form, QWidget* parent = nullptr);
  ~FormView() override;

  // The widget that draws a control (the window itself for KIV); nullptr for
  // menu items and for the pop-up menu's items.
  QWidget* widgetFor(const Control& control) const { return widgets_.value(&control); }
  // The action of a menu item on the menu bar; nullptr for the pop-up menu.
  QAction* actionFor(const Control& item) const { return actions_.value(&item); }

  void propertyChanged(const Control& control, Property property) override;
  void focusChanged(const Control* control) override;

  // While drawing is held, the property changes and focus moves the form
  // reports are kept; they are drawn, in the order they came, once it is no
  // longer held. Returns whether it was held before. A tick holds it, so that
  // nothing is drawn between the tick's wake and the programs it starts.
  bool holdDrawing(bool hold);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildClientArea();
  QWidget* createControlWidget(Control& control, QWidget* frame);
  void place(Control& control, QWidget* widget);
  void fitToText(const Control& control, QWidget* widget);
  QLineEdit* createTextBox(TextBox& box, QWidget* parent);
  QComboBox* createComboBox(ComboBox& list, QWidget* parent);
  QCheckBox* createCheckBox(CheckBox& check, QWidget* parent);
  QPushButton* createCommandButton(CommandButton& button, QWidget* parent);
  void buildMenuBar();
  void bindAction(MenuItem& item, QAction* action);
  void addHelpKey();
  bool helpOnMenu(QObject* watched);
  bool filterTypedKey(Control& control, QLineEdit* edit, const QKeyEvent& key);
  void orderTabStops();
  void showEveryProperty();
  void showOnWidget(const Control& control, Property property, QWidget* widget);
  void showOnAction(const Control& item, Property property, QAction* action);
  void followQtFocus(QWidget* now);
  void drawHeldChanges();

  MainForm& form_;
  double dotsPerInch_;
  QHash<const Control*, QWidget*> widgets_;
  QHash<const QWidget*, Control*> controlOf_;
  QHash<const Control*, QAction*> actions_;
  QHash<const QAction*, MenuItem*> menuItemOf_;
  // Menu shortcuts win over a text box's own use of the same keys, but for
  // those the form lets the focused box keep.
  QList<QKeySequence> menuShortcuts_;
  QMetaObject::Connection qtFocusConnection_;
  bool drawingHeld_ = false;
  std::vector<std::pair<const Control*, Property>> heldChanges_;
  std::optional<const Control*> heldFocus_;
};

// Holds the view's drawing back, or lets it draw, while it lives; then puts
// back what was in force before. No view, no effect.
class DrawingHold {
 public:
  DrawingHold(FormView* view, bool hold)
      : view_(view), wasHeld_(view != nullptr && view->holdDrawing(hold)) {}
  ~DrawingHold() {
    if (view_ != nullptr) view_->holdDrawing(wasHeld_);
  }
  DrawingHold(const DrawingHold&) = delete;
  DrawingHold& operator=(const DrawingHold&) = delete;

 private:
  FormView* view_;
  bool wasHeld_;
};

// Runs the form's tick with the view's drawing held, so that the programs the
// tick starts do not wait for the window to be drawn; the window shows what
// the tick changed right after. No view (not made yet), nothing held.
void tickDrawingAfterwards(MainForm& form, FormView* view);

}  // namespace kiv
