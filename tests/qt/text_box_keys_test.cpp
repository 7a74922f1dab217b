#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "loaded_view.h"

namespace kiv {

using testing::LoadedView;

// Menu items that count their choices instead of acting.
struct MenuChoices {
  explicit MenuChoices(MainForm& form) {
    form.mnuExit.onClick = [this] { ++exits; };
    form.mnuSaveAs.onClick = [this] { ++savesAs; };
    form.mnuErase.onClick = [this] { ++erases; };
  }
  int exits = 0;
  int savesAs = 0;
  int erases = 0;
};

class TextBoxKeysTest : public QObject {
  Q_OBJECT

 private slots:
  void clipboardAndSelectionKeysActOnTheText();
  void menuKeysActWhereNoTextIsEdited();
};

// Ctrl+X and Ctrl+A are also Exit and Save as: in a text box they cut and
// select, and the edit reaches the task.
void TextBoxKeysTest::clipboardAndSelectionKeysActOnTheText() {
  LoadedView v;
  QVERIFY(v.showActive());
  MenuChoices chosen(v.form);
  auto* name = v.widget<QLineEdit>(v.form.TBox[kTaskNameBox]);
  v.form.TBox[kTaskNameBox].setText("Nightly compact");
  name->setFocus();
  QTRY_COMPARE(v.form.activeControl(), &v.form.TBox[kTaskNameBox]);
  name->setSelection(0, 8);

  QTest::keyClick(name, Qt::Key_X, Qt::ControlModifier);
  QCOMPARE(name->text(), QString("compact"));
  QCOMPARE(QApplication::clipboard()->text(), QString("Nightly "));

  QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
  QCOMPARE(name->selectedText(), QString("compact"));
  QTest::keyClick(name, Qt::Key_C, Qt::ControlModifier);
  name->setCursorPosition(0);
  QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);

  QCOMPARE(name->text(), QString("compactcompact"));
  QCOMPARE(v.form.tasks[0].TaskName, std::string("compactcompact"));
  QCOMPARE(chosen.exits, 0);
  QCOMPARE(chosen.savesAs, 0);

  // Every other menu key still chooses its item from a text box.
  QTest::keyClick(name, Qt::Key_E, Qt::ControlModifier);
  QCOMPARE(chosen.erases, 1);
}

void TextBoxKeysTest::menuKeysActWhereNoTextIsEdited() {
  LoadedView v;
  QVERIFY(v.showActive());
  MenuChoices chosen(v.form);
  auto* tasks = v.widget<QComboBox>(v.form.cmbTask);
  tasks->setFocus();
  QTRY_COMPARE(v.form.activeControl(), &v.form.cmbTask);

  QTest::keyClick(tasks, Qt::Key_X, Qt::ControlModifier);
  QTest::keyClick(tasks, Qt::Key_A, Qt::ControlModifier);

  QCOMPARE(chosen.exits, 1);
  QCOMPARE(chosen.savesAs, 1);
}

}  // namespace kiv

QTEST_MAIN(kiv::TextBoxKeysTest)
#include "text_box_keys_test.moc"
