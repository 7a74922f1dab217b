#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <optional>

#include "help_window.h"
#include "qt_platform.h"
#include "task_options_dialog.h"

namespace kiv {
namespace {

using std::chrono::hours;
using std::chrono::minutes;

const TaskOptions kDefaults{};
const TaskOptions kAllSet{minutes{30}, minutes{90}, hours{12}, 5, "/srv/copies"};

// The reason the dialog is given for a folder: the core's says more, but
// the dialog only shows it.
std::string tooLong(std::string_view folder) {
  return folder.size() > kLongestBackupFolder ? "The backup folder is too long." : "";
}

TaskOptionsRequest requestFor(const TaskOptions& options, bool locked = false) {
  return {"Options of task 3", options, locked, 2, tooLong};
}

// A dialog shown and active, as the user meets it, counting its calls for help.
struct OpenDialog {
  explicit OpenDialog(const TaskOptionsRequest& request)
      : dialog(request, [this] { ++helpCalls; }) {
    dialog.show();
    dialog.activateWindow();
  }

  bool ready() { return QTest::qWaitForWindowActive(&dialog); }

  template <typename Widget>
  Widget* field(const char* name) {
    return dialog.findChild<Widget*>(QString::fromLatin1(name));
  }
  QWidget* focused() const { return QApplication::focusWidget(); }
  void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(focused(), key, modifiers);
  }
  void type(const char* text) { QTest::keyClicks(focused(), QString::fromLatin1(text)); }
  QStringList buttonTexts() {
    QStringList texts;
    for (QAbstractButton* button : dialog.findChild<QDialogButtonBox*>()->buttons()) {
      texts << button->text();
    }
    texts.sort();
    return texts;
  }

  int helpCalls = 0;
  TaskOptionsDialog dialog;
};

}  // namespace

class TaskOptionsDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void keyboardSetsEveryOption();
  void aFolderTheFileCannotHoldIsSaidAndKeepsTheDialogOpen();
  void browseChoosesAFolder();
  void switchingOffDropsTheNumber();
  void escapeCancels();
  void outOfRangeCannotBeEntered_data();
  void outOfRangeCannotBeEntered();
  void mnemonicsReachTheirFields();
  void helpButtonAndF1OpenHelp();
  void lockedRequestOnlyShowsTheOptions();
  void platformAnswersWithTheDialog();
  void platformsDialogOpensHelpAtItsContext();
};

void TaskOptionsDialogTest::keyboardSetsEveryOption() {
  OpenDialog open(requestFor(kDefaults));
  QVERIFY(open.ready());
  QCOMPARE(open.dialog.windowTitle(), QString("Options of task 3"));
  QVERIFY(!open.field<QSpinBox>("timeLimit")->isEnabled());
  QVERIFY(!open.field<QSpinBox>("catchUp")->isEnabled());

  QCOMPARE(open.focused(), open.field<QSpinBox>("wait"));
  open.key(Qt::Key_A, Qt::ControlModifier);
  open.type("15");
  open.key(Qt::Key_Tab);
  QCOMPARE(open.focused(), open.field<QCheckBox>("hasTimeLimit"));
  open.key(Qt::Key_Space);
  open.key(Qt::Key_Tab);
  QCOMPARE(open.focused(), open.field<QSpinBox>("timeLimit"));
  open.type("90");
  open.key(Qt::Key_Tab);
  QCOMPARE(open.focused(), open.field<QCheckBox>("hasCatchUp"));
  open.key(Qt::Key_Space);
  open.key(Qt::Key_Tab);
  QCOMPARE(open.focused(), open.field<QSpinBox>("catchUp"));
  open.type("48");
  open.key(Qt::Key_Tab);
  QCOMPARE(open.focused(), open.field<QSpinBox>("backups"));
  QCOMPARE(open.field<QSpinBox>("backups")->value(), 1);
  open.key(Qt::Key_A, Qt::ControlModifier);
  open.type("0");
  open.key(Qt::Key_Tab);
  auto* folder = open.field<QLineEdit>("backupFolder");
  QCOMPARE(open.focused(), folder);
  QCOMPARE(folder->text(), QString());
  QCOMPARE(folder->placeholderText(), QString("Kiv backups beside the database"));
  open.type("D:\\Kopien");
  folder->insert(QString::fromUtf8(" f\u00FCr \u20AC"));  // as pasted: keys are ASCII only
  open.key(Qt::Key_Tab);
  QCOMPARE(open.focused(), open.field<QPushButton>("browse"));
  open.key(Qt::Key_Tab);
  open.key(Qt::Key_Return);

  QCOMPARE(open.dialog.result(), int(QDialog::Accepted));
  QVERIFY(!open.dialog.isVisible());
  QVERIFY(open.dialog.answer() ==
          (TaskOptions{minutes{15}, minutes{90}, hours{48}, 0, "D:\\Kopien f\u00FCr \u20AC"}));
}

// The reason shows as the folder is typed, and neither Enter nor OK ends the
// dialog until the folder is mended; nothing is cut to fit.
void TaskOptionsDialogTest::aFolderTheFileCannotHoldIsSaidAndKeepsTheDialogOpen() {
  OpenDialog open(requestFor(kDefaults));
  QVERIFY(open.ready());
  auto* folder = open.field<QLineEdit>("backupFolder");
  auto* problem = open.field<QLabel>("folderProblem");
  QPushButton* ok = open.dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
  QVERIFY(problem->isHidden());
  folder->setFocus();
  open.type(std::string(kLongestBackupFolder, 'x').c_str());
  QVERIFY(problem->isHidden());
  QVERIFY(ok->isEnabled());

  open.type("y");
  QVERIFY(problem->isVisible());
  QCOMPARE(problem->text(), QString("The backup folder is too long."));
  QVERIFY(!ok->isEnabled());
  open.key(Qt::Key_Return);
  QTest::mouseClick(ok, Qt::LeftButton);
  QVERIFY(open.dialog.isVisible());
  QCOMPARE(folder->text().size(), qsizetype(kLongestBackupFolder + 1));

  open.key(Qt::Key_Backspace);
  QVERIFY(problem->isHidden());
  QVERIFY(ok->isEnabled());
  open.key(Qt::Key_Return);
  QVERIFY(!open.dialog.isVisible());
  QCOMPARE(open.dialog.answer()->backupFolder, std::string(kLongestBackupFolder, 'x'));
}

void TaskOptionsDialogTest::browseChoosesAFolder() {
  const QTemporaryDir chosen;
  QVERIFY(chosen.isValid());
  OpenDialog open(requestFor(kAllSet));
  QVERIFY(open.ready());
  QTimer::singleShot(0, [&chosen] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    QVERIFY(dialog != nullptr);
    QCOMPARE(dialog->fileMode(), QFileDialog::Directory);
    dialog->setDirectory(chosen.path());
    dialog->selectFile(chosen.path());
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides its own accept
  });

  QTest::mouseClick(open.field<QPushButton>("browse"), Qt::LeftButton);

  QCOMPARE(open.field<QLineEdit>("backupFolder")->text(), QDir::toNativeSeparators(chosen.path()));
  QTest::mouseClick(open.dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                    Qt::LeftButton);
  QVERIFY(open.dialog.answer().has_value());
  QCOMPARE(open.dialog.answer()->backupFolder, chosen.path().toStdString());
}

void TaskOptionsDialogTest::switchingOffDropsTheNumber() {
  OpenDialog open(requestFor(kAllSet));
  QVERIFY(open.ready());
  QCOMPARE(open.field<QSpinBox>("timeLimit")->value(), 90);
  QCOMPARE(open.field<QSpinBox>("catchUp")->value(), 12);

  open.key(Qt::Key_Tab);
  open.key(Qt::Key_Space);
  QVERIFY(!open.field<QSpinBox>("timeLimit")->isEnabled());
  open.key(Qt::Key_Enter);

  QVERIFY(open.dialog.answer() ==
          (TaskOptions{minutes{30}, std::nullopt, hours{12}, 5, "/srv/copies"}));
}

void TaskOptionsDialogTest::escapeCancels() {
  OpenDialog open(requestFor(kAllSet));
  QVERIFY(open.ready());
  open.key(Qt::Key_A, Qt::ControlModifier);
  open.type("5");
  open.key(Qt::Key_Tab);
  open.key(Qt::Key_Space);

  open.key(Qt::Key_Escape);

  QCOMPARE(open.dialog.result(), int(QDialog::Rejected));
  QVERIFY(!open.dialog.isVisible());
  QVERIFY(open.dialog.answer() == std::nullopt);
}

// Each field is reached with the keyboard, its text replaced by `typed`, and
// the dialog accepted with Enter.
void TaskOptionsDialogTest::outOfRangeCannotBeEntered_data() {
  QTest::addColumn<QString>("field");
  QTest::addColumn<int>("tabs");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<int>("kept");

  QTest::newRow("wait past a day") << "wait" << 0 << "9999" << 999;
  QTest::newRow("negative wait") << "wait" << 0 << "-5" << 5;
  QTest::newRow("wait with letters") << "wait" << 0 << "4x5" << 45;
  QTest::newRow("limit past a day") << "timeLimit" << 2 << "2000" << 200;
  QTest::newRow("limit of nought") << "timeLimit" << 2 << "0" << 90;
  QTest::newRow("catch-up past a week") << "catchUp" << 4 << "500" << 50;
  QTest::newRow("catch-up of nought") << "catchUp" << 4 << "0" << 12;
  QTest::newRow("a hundred copies") << "backups" << 5 << "100" << 10;
  QTest::newRow("negative copies") << "backups" << 5 << "-3" << 3;
}

void TaskOptionsDialogTest::outOfRangeCannotBeEntered() {
  QFETCH(QString, field);
  QFETCH(int, tabs);
  QFETCH(QString, typed);
  QFETCH(int, kept);
  OpenDialog open(requestFor(kAllSet));
  QVERIFY(open.ready());
  for (int tab = 0; tab < tabs; ++tab) open.key(Qt::Key_Tab);
  auto* number = open.dialog.findChild<QSpinBox*>(field);
  QCOMPARE(open.focused(), number);

  open.key(Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(open.focused(), typed);
  open.key(Qt::Key_Return);

  QCOMPARE(number->value(), kept);
  const std::optional<TaskOptions> answer = open.dialog.answer();
  QVERIFY(answer.has_value());
  QVERIFY(answer->wait >= minutes{0} && answer->wait <= kLongestWait);
  QVERIFY(*answer->timeLimit >= kShortestTimeLimit && *answer->timeLimit <= kLongestTimeLimit);
  QVERIFY(*answer->catchUp >= kShortestCatchUp && *answer->catchUp <= kLongestCatchUp);
  QVERIFY(answer->backups >= 0 && answer->backups <= kMostBackups);
}

void TaskOptionsDialogTest::mnemonicsReachTheirFields() {
  OpenDialog open(requestFor(kDefaults));
  QVERIFY(open.ready());
  // A mnemonic presses its button as a click shown on screen, which ends a
  // moment later.
  open.key(Qt::Key_T, Qt::AltModifier);
  QTRY_VERIFY(open.field<QCheckBox>("hasTimeLimit")->isChecked());
  open.key(Qt::Key_C, Qt::AltModifier);
  QTRY_VERIFY(open.field<QCheckBox>("hasCatchUp")->isChecked());
  open.key(Qt::Key_K, Qt::AltModifier);
  QCOMPARE(open.focused(), open.field<QSpinBox>("backups"));
  open.key(Qt::Key_B, Qt::AltModifier);
  QCOMPARE(open.focused(), open.field<QLineEdit>("backupFolder"));
  open.key(Qt::Key_W, Qt::AltModifier);
  QCOMPARE(open.focused(), open.field<QSpinBox>("wait"));

  open.key(Qt::Key_Return);

  QVERIFY(open.dialog.answer() == (TaskOptions{minutes{60}, minutes{60}, hours{24}, 1, {}}));
}

void TaskOptionsDialogTest::helpButtonAndF1OpenHelp() {
  OpenDialog open(requestFor(kDefaults));
  QVERIFY(open.ready());

  open.key(Qt::Key_F1);
  QCOMPARE(open.helpCalls, 1);
  open.key(Qt::Key_Tab);
  open.key(Qt::Key_F1);
  QCOMPARE(open.helpCalls, 2);
  open.key(Qt::Key_H, Qt::AltModifier);
  QTRY_COMPARE(open.helpCalls, 3);

  QVERIFY(open.dialog.isVisible());
  QCOMPARE(open.buttonTexts(), QStringList({"&Help", "Cancel", "OK"}));
}

void TaskOptionsDialogTest::lockedRequestOnlyShowsTheOptions() {
  OpenDialog open(requestFor(kAllSet, true));
  QVERIFY(open.ready());

  for (const char* name : {"wait", "timeLimit", "catchUp", "backups"}) {
    QVERIFY2(!open.field<QSpinBox>(name)->isEnabled(), name);
  }
  QVERIFY(!open.field<QLineEdit>("backupFolder")->isEnabled());
  QVERIFY(!open.field<QPushButton>("browse")->isEnabled());
  QCOMPARE(open.field<QLineEdit>("backupFolder")->text(), QString("/srv/copies"));
  QCOMPARE(open.field<QSpinBox>("backups")->value(), 5);
  for (const char* name : {"hasTimeLimit", "hasCatchUp"}) {
    QVERIFY2(!open.field<QCheckBox>(name)->isEnabled(), name);
    QVERIFY2(open.field<QCheckBox>(name)->isChecked(), name);
  }
  QCOMPARE(open.field<QSpinBox>("wait")->value(), 30);
  QCOMPARE(open.field<QLabel>("lockedNote")->text(),
           QString("Decompile the task to change its options."));
  QCOMPARE(open.buttonTexts(), QStringList({"&Help", "Close"}));

  open.key(Qt::Key_Return);

  QVERIFY(!open.dialog.isVisible());
  QVERIFY(open.dialog.answer() == std::nullopt);
}

// The platform runs the dialog modally; a key pressed in it ends it.
void TaskOptionsDialogTest::platformAnswersWithTheDialog() {
  const std::pair<Qt::Key, std::optional<TaskOptions>> cases[] = {
      {Qt::Key_Return, kAllSet},
      {Qt::Key_Escape, std::nullopt},
  };
  QtPlatform platform;
  for (const auto& [key, expected] : cases) {
    QTimer::singleShot(0, [key = key] {
      QWidget* dialog = QApplication::activeModalWidget();
      QVERIFY(dialog != nullptr);
      QTest::keyClick(dialog->focusWidget(), key);
    });

    QVERIFY(platform.taskOptions(requestFor(kAllSet)) == expected);
  }
}

// F1 in the dialog the platform shows opens the help window at the section
// of the request's context, and the dialog stays open.
void TaskOptionsDialogTest::platformsDialogOpensHelpAtItsContext() {
  QtPlatform platform;
  platform.setHelpDocument(QStringLiteral(KIV_HELP_DOCUMENT));
  bool openAfterHelp = false;
  QTimer::singleShot(0, [&openAfterHelp] {
    QWidget* dialog = QApplication::activeModalWidget();
    QVERIFY(dialog != nullptr);
    QTest::keyClick(dialog->focusWidget(), Qt::Key_F1);
    openAfterHelp = dialog->isVisible();
    QTest::keyClick(dialog->focusWidget(), Qt::Key_Escape);
  });

  QVERIFY(platform.taskOptions(requestFor(kAllSet)) == std::nullopt);

  QVERIFY(openAfterHelp);
  const HelpWindow* help = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (auto* shown = qobject_cast<HelpWindow*>(window); shown != nullptr && shown->isVisible())
      help = shown;
  }
  QVERIFY(help != nullptr);
  QCOMPARE(help->browser().source().fragment(), QString("task"));
}

}  // namespace kiv

QTEST_MAIN(kiv::TaskOptionsDialogTest)
#include "task_options_dialog_test.moc"
