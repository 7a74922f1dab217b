#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QMainWindow>

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

  MainForm& form_;
  double dotsPerInch_;
  QHash<const Control*, QWidget*> widgets_;
  QHash<const QWidget*, Control*> controlOf_;
  QHash<const Control*, QAction*> actions_;
  QHash<const QAction*, MenuItem*> menuItemOf_;
  // Menu shortcuts win over a text box's own use of the same keys.
  QList<QKeySequence> menuShortcuts_;
  QMetaObject::Connection qtFocusConnection_;
};

}  // namespace kiv
