#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

#include "loaded_view.h"

namespace kiv {
namespace {

using testing::LoadedView;

// Counts the runs of a control's handler while keeping what it did before.
void countRuns(Handler& handler, int& runs) {
  handler = [previous = handler, &runs] {
    ++runs;
    if (previous) previous();
  };
}

}  // namespace

class FormBindingTest : public QObject {
  Q_OBJECT

 private slots:
  void typingReachesTheTask();
  void anEchoLeavesTheCursorWhereTheUserPutIt();
  void userChoicesReachTheTask();
  void modelChangesReachTheWidgets();
  void eachChangeRunsItsHandlerOnce();
  void compilingShowsTheCompiledState();
  void qtFocusBecomesTheActiveControl();
  void failedCompileMovesTheFocusToTheNamedBox();
  void menuShortcutsWinOverATextBox();
  void disabledMenuItemShortcutsDoNothing();
  void passwordBoxShowsStars();
  void taskNameBoxRefusesTheFiftyFirstCharacter();
  void taskNameLimitHoldsTypingAndPastingOnly_data();
  void taskNameLimitHoldsTypingAndPastingOnly();
};

void FormBindingTest::typingReachesTheTask() {
  LoadedView v;
  auto* taskName = v.widget<QLineEdit>(v.form.TBox[kTaskNameBox]);
  QVERIFY(taskName != nullptr);

  QTest::keyClicks(taskName, "Nightly backup");

  QCOMPARE(v.form.tasks[0].TaskName, std::string("Nightly backup"));
  QCOMPARE(v.form.TBox[kTaskNameBox].text(), std::string("Nightly backup"));
  QVERIFY(v.view.actionFor(v.form.mnuSave)->isEnabled());
}

void FormBindingTest::anEchoLeavesTheCursorWhereTheUserPutIt() {
  LoadedView v;
  auto* user = v.widget<QLineEdit>(v.form.TBox[kUserNameBox]);
  user->setCursorPosition(2);  // "Ad|min"

  QTest::keyClicks(user, "X");

  QCOMPARE(v.form.tasks[0].Username, std::string("AdXmin"));
  QCOMPARE(user->cursorPosition(), 3);
}

void FormBindingTest::userChoicesReachTheTask() {
  LoadedView v;

  QTest::keyClick(v.widget<QComboBox>(v.form.cmbDays), Qt::Key_Down);
  QTest::mouseClick(v.widget<QCheckBox>(v.form.Check2), Qt::LeftButton);
  QTest::keyClick(v.widget<QCheckBox>(v.form.Check1), Qt::Key_Space);

  QCOMPARE(v.form.cmbDays.listIndex(), 1);
  QCOMPARE(v.form.tasks[0].DaysToRunOn, 1);
  QCOMPARE(v.form.Check2.value(), CheckBox::kChecked);
  QCOMPARE(v.form.tasks[0].OpenExclusively, 1);
  QCOMPARE(v.form.tasks[0].CloseAfterRunning, 1);
}

void FormBindingTest::modelChangesReachTheWidgets() {
  LoadedView v;
  MainForm& f = v.form;
  struct Case {
    const char* change;
    std::function<void()> apply;
    std::function<bool()> shown;
  };
  const std::vector<Case> cases{
      {"text", [&] { f.TBox[kUserNameBox].setText("Jane"); },
       [&] { return v.widget<QLineEdit>(f.TBox[kUserNameBox])->text() == "Jane"; }},
      {"list index", [&] { f.cmbDays.setListIndex(5); },
       [&] { return v.widget<QComboBox>(f.cmbDays)->currentText() == "Tuesday only"; }},
      {"checked", [&] { f.Check2.setValue(CheckBox::kChecked); },
       [&] { return v.widget<QCheckBox>(f.Check2)->checkState() == Qt::Checked; }},
      {"grayed", [&] { f.Check2.setValue(CheckBox::kGrayed); },
       [&] { return v.widget<QCheckBox>(f.Check2)->checkState() == Qt::PartiallyChecked; }},
      {"unchecked", [&] { f.Check2.setValue(CheckBox::kUnchecked); },
       [&] {
         auto* box = v.widget<QCheckBox>(f.Check2);
         return box->checkState() == Qt::Unchecked && !box->isTristate();
       }},
      {"enabled", [&] { f.TBox[kSecurityFileBox].setEnabled(false); },
       [&] { return !v.widget<QLineEdit>(f.TBox[kSecurityFileBox])->isEnabled(); }},
      {"visible", [&] { f.TBox[kMacroBox].setVisible(true); },
       [&] { return !v.widget<QLineEdit>(f.TBox[kMacroBox])->isHidden(); }},
      {"label caption", [&] { f.Lbl1[kMacroLabel].setCaption("Command"); },
       [&] { return v.widget<QLabel>(f.Lbl1[kMacroLabel])->text() == "Command"; }},
      {"button caption", [&] { f.cmdCompile.setCaption("Deco&mpile task"); },
       [&] { return v.widget<QPushButton>(f.cmdCompile)->text() == "Deco&mpile task"; }},
      {"window caption", [&] { f.KIV.setCaption("Kiv 2026-12-07 02:00:00"); },
       [&] { return v.view.windowTitle() == "Kiv 2026-12-07 02:00:00"; }},
      {"fore colour", [&] { f.TBox[kLaunchAtBox].setForeColor(kRed); },
       [&] {
         return v.widget<QLineEdit>(f.TBox[kLaunchAtBox])
                    ->palette()
                    .color(QPalette::Active, QPalette::Text) == Qt::red;
       }},
      {"menu caption", [&] { f.mnuCompile.setCaption("Deco&mpile"); },
       [&] { return v.view.actionFor(f.mnuCompile)->text() == "Deco&mpile"; }},
      {"menu enabled", [&] { f.mnuSave.setEnabled(true); },
       [&] { return v.view.actionFor(f.mnuSave)->isEnabled(); }},
      {"menu visible", [&] { f.mnuHlp.setVisible(false); },
       [&] { return !v.view.actionFor(f.mnuHlp)->isVisible(); }},
      {"top menu enabled", [&] { f.mnuTask.setEnabled(false); },
       [&] { return !v.view.actionFor(f.mnuTask)->isEnabled(); }},
  };
  for (const Case& c : cases) {
    c.apply();
    QVERIFY2(c.shown(), c.change);
  }
}

// A widget updated from the model must not report the update back as a user
// edit, and a user edit must reach the model exactly once.
void FormBindingTest::eachChangeRunsItsHandlerOnce() {
  LoadedView v;
  int textChanges = 0;
  int listClicks = 0;
  int checkClicks = 0;
  countRuns(v.form.TBox[kUserNameBox].onChange, textChanges);
  countRuns(v.form.cmbDays.onClick, listClicks);
  countRuns(v.form.Check1.onClick, checkClicks);

  v.form.TBox[kUserNameBox].setText("Jane");
  v.form.cmbDays.setListIndex(3);
  v.form.Check1.setValue(CheckBox::kChecked);
  QCOMPARE(textChanges, 1);
  QCOMPARE(listClicks, 1);
  QCOMPARE(checkClicks, 1);

  QTest::keyClick(v.widget<QLineEdit>(v.form.TBox[kUserNameBox]), Qt::Key_S);
  QTest::keyClick(v.widget<QComboBox>(v.form.cmbDays), Qt::Key_Down);
  QTest::mouseClick(v.widget<QCheckBox>(v.form.Check1), Qt::LeftButton);
  QCOMPARE(textChanges, 2);
  QCOMPARE(listClicks, 2);
  QCOMPARE(checkClicks, 2);
  QCOMPARE(v.form.TBox[kUserNameBox].text(), std::string("Janes"));
  QCOMPARE(v.form.cmbDays.listIndex(), 4);
  QCOMPARE(v.form.Check1.value(), CheckBox::kUnchecked);
}

void FormBindingTest::compilingShowsTheCompiledState() {
  LoadedView v;
  MainForm& f = v.form;
  QTest::keyClicks(v.widget<QLineEdit>(f.TBox[kAccessLocationBox]), "/opt/db/access");
  QTest::keyClicks(v.widget<QLineEdit>(f.TBox[kDatabaseLocationBox]), "/srv/orders.mdb");

  QTest::mouseClick(v.widget<QPushButton>(f.cmdCompile), Qt::LeftButton);

  QCOMPARE(f.tasks[0].Compiled, 1);
  QCOMPARE(v.widget<QPushButton>(f.cmdCompile)->text(), QString("Deco&mpile task"));
  QCOMPARE(v.view.actionFor(f.mnuCompile)->text(), QString("Deco&mpile"));
  auto* launchAt = v.widget<QLineEdit>(f.TBox[kLaunchAtBox]);
  QVERIFY(launchAt->isEnabled());
  QCOMPARE(launchAt->palette().color(QPalette::Active, QPalette::Text), QColor(Qt::red));
  QVERIFY(v.widget<QPushButton>(f.cmdRun)->isEnabled());
  QVERIFY(v.view.actionFor(f.mnuRun)->isEnabled());
  for (const Control* locked : std::initializer_list<const Control*>{
           &f.TBox[kUserNameBox], &f.TBox[kPasswordBox], &f.TBox[kAccessLocationBox],
           &f.TBox[kDatabaseLocationBox], &f.TBox[kSecurityFileBox], &f.TBox[kTaskNameBox],
           &f.cmbVer, &f.cmbAction, &f.cmbDays, &f.Check1, &f.Check2, &f.Command1[0],
           &f.Command1[1], &f.Command1[2]}) {
    QVERIFY2(!v.view.widgetFor(*locked)->isEnabled(), locked->name().c_str());
  }
  QVERIFY(v.widget<QComboBox>(f.cmbTask)->isEnabled());
}

void FormBindingTest::qtFocusBecomesTheActiveControl() {
  LoadedView v;
  QVERIFY(v.showActive());
  v.widget<QComboBox>(v.form.cmbTask)->setFocus();
  QCOMPARE(v.form.activeControl(), &v.form.cmbTask);

  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);

  QCOMPARE(v.form.activeControl(), &v.form.TBox[kTaskNameBox]);
}

void FormBindingTest::failedCompileMovesTheFocusToTheNamedBox() {
  LoadedView v;
  QVERIFY(v.showActive());
  auto* compile = v.widget<QPushButton>(v.form.cmdCompile);
  compile->setFocus();

  QTest::keyClick(compile, Qt::Key_Space);

  QCOMPARE(v.platform.messages.size(), std::size_t{1});
  QCOMPARE(v.platform.messages[0].text, std::string("The location of Access is required."));
  QCOMPARE(QApplication::focusWidget(), v.view.widgetFor(v.form.TBox[kAccessLocationBox]));
  QCOMPARE(v.form.activeControl(), &v.form.TBox[kAccessLocationBox]);
}

// A text box uses Ctrl+E and Ctrl+D for its own editing; the menu's keys must
// act instead, and leave the box's text alone. (The clipboard and selection
// keys stay the box's: see text_box_keys_test.)
void FormBindingTest::menuShortcutsWinOverATextBox() {
  LoadedView v;
  QVERIFY(v.showActive());
  auto* taskName = v.widget<QLineEdit>(v.form.TBox[kTaskNameBox]);
  QTest::keyClicks(taskName, "Nightly");
  taskName->setFocus();
  struct Case {
    MenuItem& item;
    Qt::Key key;
  };
  const std::vector<Case> cases{{v.form.mnuErase, Qt::Key_E},
                                {v.form.mnuDuplicate, Qt::Key_D},
                                {v.form.mnuNew, Qt::Key_N},
                                {v.form.mnuOpen, Qt::Key_O}};
  for (const Case& c : cases) {
    int presses = 0;
    c.item.onClick = [&presses] { ++presses; };
    taskName->selectAll();

    QTest::keyClick(taskName, c.key, Qt::ControlModifier);

    QVERIFY2(presses == 1, c.item.name().c_str());
    QVERIFY2(taskName->text() == "Nightly", c.item.name().c_str());
  }

  v.form.TBox[kAccessLocationBox].setText("/opt/db/access");
  v.form.TBox[kDatabaseLocationBox].setText("/srv/orders.mdb");
  QTest::keyClick(taskName, Qt::Key_M, Qt::ControlModifier);
  QCOMPARE(v.form.tasks[0].Compiled, 1);
}

void FormBindingTest::disabledMenuItemShortcutsDoNothing() {
  LoadedView v;
  QVERIFY(v.showActive());
  auto* taskName = v.widget<QLineEdit>(v.form.TBox[kTaskNameBox]);
  taskName->setFocus();
  int presses = 0;
  for (MenuItem* item : {&v.form.mnuSave, &v.form.mnuRun}) {
    item->onClick = [&presses] { ++presses; };
    QVERIFY(!v.view.actionFor(*item)->isEnabled());
  }

  QTest::keyClick(taskName, Qt::Key_S, Qt::ControlModifier);
  QTest::keyClick(taskName, Qt::Key_R, Qt::ControlModifier);

  QCOMPARE(presses, 0);
}

void FormBindingTest::passwordBoxShowsStars() {
  LoadedView v;
  auto* password = v.widget<QLineEdit>(v.form.TBox[kPasswordBox]);

  v.form.TBox[kPasswordBox].setText("secret");
  QCOMPARE(password->displayText(), QString("******"));

  QTest::keyClicks(password, "ab");
  QCOMPARE(v.form.tasks[0].Password, std::string("secretab"));
  QCOMPARE(password->displayText(), QString("********"));
}

void FormBindingTest::taskNameBoxRefusesTheFiftyFirstCharacter() {
  LoadedView v;
  auto* taskName = v.widget<QLineEdit>(v.form.TBox[kTaskNameBox]);
  const QString fifty(50, QLatin1Char('n'));

  QTest::keyClicks(taskName, fifty);
  QTest::keyClick(taskName, Qt::Key_X);

  QCOMPARE(taskName->text(), fifty);
  QCOMPARE(v.form.tasks[0].TaskName, fifty.toStdString());
}

// What the user does in the task-name box after a text was set from code:
// types, pastes or presses Backspace at the end, or types over everything.
enum class Edit { None, Type, Paste, Backspace, TypeOverAll };

void FormBindingTest::taskNameLimitHoldsTypingAndPastingOnly_data() {
  QTest::addColumn<QString>("loaded");  // the task name as a schedule file holds it
  QTest::addColumn<Edit>("edit");
  QTest::addColumn<QString>("input");  // what is typed or pasted
  QTest::addColumn<QString>("shown");  // the box's text and the task's name afterwards

  const QString sixty(60, QLatin1Char('s'));
  const QString fortyFive(45, QLatin1Char('f'));
  const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");  // two UTF-16 units
  QString fiftySmiles;
  for (int character = 0; character < 50; ++character) fiftySmiles += smile;

  QTest::newRow("a longer name loaded is shown whole") << sixty << Edit::None << "" << sixty;
  QTest::newRow("Backspace shortens it by one character")
      << sixty << Edit::Backspace << "" << sixty.left(59);
  QTest::newRow("typing does not lengthen it") << sixty << Edit::Type << "x" << sixty;
  QTest::newRow("typing over it all replaces it") << sixty << Edit::TypeOverAll << "x"
                                                  << "x";
  QTest::newRow("typing stops at fifty characters")
      << QString() << Edit::Type << QString(51, QLatin1Char('t')) << QString(50, QLatin1Char('t'));
  QTest::newRow("a character beyond UTF-16's first plane counts once")
      << QString() << Edit::Type << fiftySmiles + smile << fiftySmiles;
  QTest::newRow("a paste that fits goes in")
      << fortyFive << Edit::Paste << "12345" << fortyFive + "12345";
  QTest::newRow("a paste that does not fit is refused whole")
      << fortyFive << Edit::Paste << "123456" << fortyFive;
}

void FormBindingTest::taskNameLimitHoldsTypingAndPastingOnly() {
  QFETCH(QString, loaded);
  QFETCH(Edit, edit);
  QFETCH(QString, input);
  QFETCH(QString, shown);
  LoadedView v;
  v.form.tasks[0].TaskName = loaded.toStdString();
  v.form.cmbTask.setListIndex(0);  // shows task 1 as opening a schedule does
  auto* taskName = v.widget<QLineEdit>(v.form.TBox[7]);
  QCOMPARE(taskName->text(), loaded);
  taskName->end(false);

  switch (edit) {
    case Edit::None:
      break;
    case Edit::Backspace:
      QTest::keyClick(taskName, Qt::Key_Backspace);
      break;
    case Edit::TypeOverAll:
      taskName->selectAll();
      [[fallthrough]];
    case Edit::Type:
      // One key event for each character, as a keyboard sends them.
      for (const uint character : input.toUcs4()) {
        const QString text = QString::fromUcs4(reinterpret_cast<const char32_t*>(&character), 1);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        QApplication::sendEvent(taskName, &press);
      }
      break;
    case Edit::Paste:
      QApplication::clipboard()->setText(input);
      taskName->paste();
      break;
  }

  QCOMPARE(taskName->text(), shown);
  QCOMPARE(QString::fromStdString(v.form.tasks[0].TaskName), shown);
}

}  // namespace kiv

QTEST_MAIN(kiv::FormBindingTest)
#include "form_binding_test.moc"
