#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <optional>
#include <string>

#include "loaded_view.h"
#include "typed_character.h"

Q_DECLARE_METATYPE(std::optional<int>)

namespace kiv {

using testing::LoadedView;

class LaunchTimeTypingTest : public QObject {
  Q_OBJECT

 private slots:
  void keysBecomeTheCharactersTheyType_data();
  void keysBecomeTheCharactersTheyType();
  void launchTimeBoxTypesOverWhatFits_data();
  void launchTimeBoxTypesOverWhatFits();
  void controlKeysTypeNothingAndChooseNoMenuItem();
  void deleteAndArrowsAreLeftToTheBox();
  void otherBoxesTakeEveryKey();
};

void LaunchTimeTypingTest::keysBecomeTheCharactersTheyType_data() {
  QTest::addColumn<int>("key");
  QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
  QTest::addColumn<QString>("text");
  QTest::addColumn<std::optional<int>>("typed");

  const Qt::KeyboardModifiers none = Qt::NoModifier;
  QTest::newRow("digit") << int{Qt::Key_1} << none << "1" << std::optional<int>{'1'};
  QTest::newRow("question mark") << int{Qt::Key_Question}
                                 << Qt::KeyboardModifiers{Qt::ShiftModifier} << "?"
                                 << std::optional<int>{'?'};
  QTest::newRow("backspace with its text")
      << int{Qt::Key_Backspace} << none << "\b" << std::optional<int>{8};
  QTest::newRow("backspace without text")
      << int{Qt::Key_Backspace} << none << "" << std::optional<int>{8};
  QTest::newRow("Ctrl+C as the system sends it")
      << int{Qt::Key_C} << Qt::KeyboardModifiers{Qt::ControlModifier} << "\x03"
      << std::optional<int>{3};
  QTest::newRow("Ctrl+V with the letter as text")
      << int{Qt::Key_V} << Qt::KeyboardModifiers{Qt::ControlModifier} << "v"
      << std::optional<int>{22};
  QTest::newRow("escape") << int{Qt::Key_Escape} << none << "\x1b" << std::optional<int>{27};
  QTest::newRow("return") << int{Qt::Key_Return} << none << "\r" << std::optional<int>{13};
  QTest::newRow("delete with its DEL text")
      << int{Qt::Key_Delete} << none << "\x7f" << std::optional<int>{};
  QTest::newRow("tab") << int{Qt::Key_Tab} << none << "\t" << std::optional<int>{};
  QTest::newRow("left arrow") << int{Qt::Key_Left} << none << "" << std::optional<int>{};
  QTest::newRow("home") << int{Qt::Key_Home} << none << "" << std::optional<int>{};
  QTest::newRow("F1") << int{Qt::Key_F1} << none << "" << std::optional<int>{};
  QTest::newRow("Alt with a letter, for the menu")
      << int{Qt::Key_S} << Qt::KeyboardModifiers{Qt::AltModifier} << "s" << std::optional<int>{};
}

void LaunchTimeTypingTest::keysBecomeTheCharactersTheyType() {
  QFETCH(int, key);
  QFETCH(Qt::KeyboardModifiers, modifiers);
  QFETCH(QString, text);
  QFETCH(std::optional<int>, typed);
  const QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
  QCOMPARE(typedCharacter(event), typed);
}

void LaunchTimeTypingTest::launchTimeBoxTypesOverWhatFits_data() {
  QTest::addColumn<QString>("before");
  QTest::addColumn<int>("caret");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("after");
  QTest::addColumn<int>("caretAfter");

  QTest::newRow("1, 2, 3 at the start: the 3 meets the colon") << "00:00:00" << 0 << "123"
                                                               << "12:00:00" << 2;
  QTest::newRow("1, 2, colon, 3, 0") << "00:00:00" << 0 << "12:30"
                                     << "12:30:00" << 5;
  QTest::newRow("? in the seventh place") << "08:15:00" << 6 << "?"
                                          << "08:15:?0" << 7;
  QTest::newRow("? in the minutes") << "08:15:00" << 3 << "?"
                                    << "08:15:00" << 3;
  QTest::newRow("? in the hours") << "08:15:00" << 0 << "?"
                                  << "08:15:00" << 0;
  QTest::newRow("colon in the seventh place") << "08:15:00" << 6 << ":"
                                              << "08:15:00" << 6;
  QTest::newRow("letters and blanks") << "08:15:00" << 1 << "a b"
                                      << "08:15:00" << 1;
  QTest::newRow("at the end nothing is taken") << "08:15:00" << 8 << "5:"
                                               << "08:15:00" << 8;
}

void LaunchTimeTypingTest::launchTimeBoxTypesOverWhatFits() {
  QFETCH(QString, before);
  QFETCH(int, caret);
  QFETCH(QString, typed);
  QFETCH(QString, after);
  QFETCH(int, caretAfter);
  LoadedView v;
  auto* launchAt = v.widget<QLineEdit>(v.form.TBox[kLaunchAtBox]);
  v.form.TBox[kLaunchAtBox].setText(before.toStdString());
  launchAt->setCursorPosition(caret);

  QTest::keyClicks(launchAt, typed);

  QCOMPARE(launchAt->text(), after);
  QCOMPARE(launchAt->cursorPosition(), caretAfter);
  QCOMPARE(v.form.tasks[0].LaunchAt, after.toStdString());
}

// The clipboard keys and backspace type control characters, which the box
// never takes. Ctrl+X and Ctrl+A, though the menu's Exit and Save as, are the
// box's keys while it has the focus: they do nothing at all.
void LaunchTimeTypingTest::controlKeysTypeNothingAndChooseNoMenuItem() {
  LoadedView v;
  QVERIFY(v.showActive());
  auto* launchAt = v.widget<QLineEdit>(v.form.TBox[kLaunchAtBox]);
  launchAt->setFocus();
  QGuiApplication::clipboard()->setText(QStringLiteral("99:99:99"));
  int exits = 0;
  int savesAs = 0;
  v.form.mnuExit.onClick = [&exits] { ++exits; };
  v.form.mnuSaveAs.onClick = [&savesAs] { ++savesAs; };
  launchAt->setSelection(0, 2);

  for (const Qt::Key key : {Qt::Key_V, Qt::Key_C, Qt::Key_Z, Qt::Key_X, Qt::Key_A}) {
    QTest::keyClick(launchAt, key, Qt::ControlModifier);
  }
  launchAt->setCursorPosition(3);
  QTest::keyClick(launchAt, Qt::Key_Backspace);

  QCOMPARE(launchAt->text(), QString("00:00:00"));
  QCOMPARE(v.form.tasks[0].LaunchAt, std::string("00:00:00"));
  QCOMPARE(exits, 0);
  QCOMPARE(savesAs, 0);
}

void LaunchTimeTypingTest::deleteAndArrowsAreLeftToTheBox() {
  LoadedView v;
  auto* launchAt = v.widget<QLineEdit>(v.form.TBox[kLaunchAtBox]);
  v.form.TBox[kLaunchAtBox].setText("12:30:00");
  launchAt->setCursorPosition(0);

  QTest::keyClick(launchAt, Qt::Key_Right);
  QTest::keyClick(launchAt, Qt::Key_Delete);

  QCOMPARE(launchAt->text(), QString("1:30:00"));
  QCOMPARE(v.form.tasks[0].LaunchAt, std::string("1:30:00"));
}

void LaunchTimeTypingTest::otherBoxesTakeEveryKey() {
  LoadedView v;
  auto* user = v.widget<QLineEdit>(v.form.TBox[kUserNameBox]);
  user->setCursorPosition(5);  // "Admin|"

  QTest::keyClicks(user, "? x:");
  QTest::keyClick(user, Qt::Key_Backspace);

  QCOMPARE(user->text(), QString("Admin? x"));
  QCOMPARE(v.form.tasks[0].Username, std::string("Admin? x"));
}

}  // namespace kiv

QTEST_MAIN(kiv::LaunchTimeTypingTest)
#include "launch_time_typing_test.moc"
