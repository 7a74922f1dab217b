#include <QAbstractButton>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "form/main_form.h"
#include "input_dialog.h"
#include "message_box.h"
#include "popup_menu.h"
#include "qt_platform.h"
#include "support/failure_of.h"
#include "support/fake_platform.h"
#include "support/temp_folder.h"

Q_DECLARE_METATYPE(kiv::MessageBoxRequest)
Q_DECLARE_METATYPE(kiv::MessageAnswer)
Q_DECLARE_METATYPE(kiv::MessageButtons)

namespace kiv {

class QtPlatformTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void cleanup();

  void messageBoxCarriesTheRequest_data();
  void messageBoxCarriesTheRequest();
  void messageBoxAnswersWithTheButtonPressed_data();
  void messageBoxAnswersWithTheButtonPressed();
  void inputDialogShowsPromptLinesUnderItsTitle();
  void inputDialogAnswersTheTextOnlyOnOk();
  void popupMenuOffersTheItemsAsTheModelHasThem();
  void argumentsFollowTheProgramNameExactly_data();
  void argumentsFollowTheProgramNameExactly();
  void settingsAreKeptBySectionAndKey();
  void clockReadsTheLocalWallClock();
  void datesFollowTheUsersLocale();
  void currentFolderIsTheProcesssFolder();
  void savingReplacesTheFileWholeAndKeepsItsPermissions();
  void showingTheWindowKeepsItMinimised();
  void aWindowMadeWhenFirstShownShowsTheFormAsItIs();
  void startedProgramsAreReapedByTheEventLoop();
  void anEndedProgramsOutcomeReachesTheJournal();

 private:
  QTemporaryDir settingsFolder_;
};

void QtPlatformTest::initTestCase() {
  QVERIFY(settingsFolder_.isValid());
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder_.path());
}

void QtPlatformTest::cleanup() {
  QLocale::setDefault(QLocale::c());
}

void QtPlatformTest::messageBoxCarriesTheRequest_data() {
  QTest::addColumn<MessageBoxRequest>("request");
  QTest::addColumn<QMessageBox::Icon>("icon");
  QTest::addColumn<QList<QMessageBox::StandardButton>>("buttons");
  QTest::addColumn<QMessageBox::StandardButton>("defaultButton");

  QTest::newRow("warning with OK")
      << MessageBoxRequest{"A macro name is required.", MessageButtons::Ok,
                           MessageIcon::Exclamation, 0, "Kiv"}
      << QMessageBox::Warning << QList{QMessageBox::Ok} << QMessageBox::Ok;
  QTest::newRow("question with No as default")
      << MessageBoxRequest{"Erase task 3?", MessageButtons::YesNo, MessageIcon::Question, 1, "Kiv"}
      << QMessageBox::Question << QList{QMessageBox::Yes, QMessageBox::No} << QMessageBox::No;
  QTest::newRow("three buttons, the last one default")
      << MessageBoxRequest{"Save this schedule?", MessageButtons::YesNoCancel,
                           MessageIcon::Information, 2, "Schedule"}
      << QMessageBox::Information << QList{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}
      << QMessageBox::Cancel;
  QTest::newRow("no icon, default beyond the buttons falls back to the first")
      << MessageBoxRequest{"About", MessageButtons::YesNo, MessageIcon::None, 5, "Kiv"}
      << QMessageBox::NoIcon << QList{QMessageBox::Yes, QMessageBox::No} << QMessageBox::Yes;
}

void QtPlatformTest::messageBoxCarriesTheRequest() {
  QFETCH(MessageBoxRequest, request);
  QFETCH(QMessageBox::Icon, icon);
  QFETCH(QList<QMessageBox::StandardButton>, buttons);
  QFETCH(QMessageBox::StandardButton, defaultButton);

  const auto box = makeMessageBox(request);

  QCOMPARE(box->windowTitle().toStdString(), request.title);
  QCOMPARE(box->text().toStdString(), request.text);
  QCOMPARE(box->textFormat(), Qt::PlainText);
  QCOMPARE(box->icon(), icon);
  QList<QMessageBox::StandardButton> shown;
  for (QAbstractButton* button : box->buttons()) shown << box->standardButton(button);
  std::sort(shown.begin(), shown.end());
  std::sort(buttons.begin(), buttons.end());
  QCOMPARE(shown, buttons);
  QCOMPARE(box->defaultButton(), box->button(defaultButton));
}

void QtPlatformTest::messageBoxAnswersWithTheButtonPressed_data() {
  QTest::addColumn<MessageButtons>("buttons");
  QTest::addColumn<QMessageBox::StandardButton>("pressed");  // NoButton: closed unanswered
  QTest::addColumn<MessageAnswer>("answer");

  QTest::newRow("OK") << MessageButtons::Ok << QMessageBox::Ok << MessageAnswer::Ok;
  QTest::newRow("Yes") << MessageButtons::YesNoCancel << QMessageBox::Yes << MessageAnswer::Yes;
  QTest::newRow("No") << MessageButtons::YesNoCancel << QMessageBox::No << MessageAnswer::No;
  QTest::newRow("Cancel") << MessageButtons::YesNoCancel << QMessageBox::Cancel
                          << MessageAnswer::Cancel;
  QTest::newRow("closed OK box") << MessageButtons::Ok << QMessageBox::NoButton
                                 << MessageAnswer::Ok;
  QTest::newRow("closed Yes/No box")
      << MessageButtons::YesNo << QMessageBox::NoButton << MessageAnswer::No;
  QTest::newRow("closed three-button box")
      << MessageButtons::YesNoCancel << QMessageBox::NoButton << MessageAnswer::Cancel;
}

void QtPlatformTest::messageBoxAnswersWithTheButtonPressed() {
  QFETCH(MessageButtons, buttons);
  QFETCH(QMessageBox::StandardButton, pressed);
  QFETCH(MessageAnswer, answer);
  const auto box =
      makeMessageBox({"Save this schedule?", buttons, MessageIcon::Question, 0, "Kiv"});

  if (pressed == QMessageBox::NoButton) {
    box->show();
    QTest::keyClick(box.get(), Qt::Key_Escape);
  } else {
    box->button(pressed)->click();
  }

  QCOMPARE(messageAnswer(*box), answer);
}

void QtPlatformTest::inputDialogShowsPromptLinesUnderItsTitle() {
  InputDialog dialog("Copy task 3 to which task?\r\nType a number from 1 to 30.", "Duplicate");

  QCOMPARE(dialog.windowTitle(), QString("Duplicate"));
  auto* prompt = dialog.findChild<QLabel*>("prompt");
  QVERIFY(prompt != nullptr);
  QCOMPARE(prompt->text(), QString("Copy task 3 to which task?\nType a number from 1 to 30."));
  auto* buttons = dialog.findChild<QDialogButtonBox*>();
  QVERIFY(buttons != nullptr);
  QCOMPARE(buttons->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QVERIFY(dialog.findChild<QLineEdit*>("text") != nullptr);
}

void QtPlatformTest::inputDialogAnswersTheTextOnlyOnOk() {
  struct Case {
    const char* ending;
    QDialogButtonBox::StandardButton button;  // NoButton: Escape
    std::string answer;
  };
  const std::vector<Case> cases{{"OK", QDialogButtonBox::Ok, "12"},
                                {"Cancel", QDialogButtonBox::Cancel, ""},
                                {"Escape", QDialogButtonBox::NoButton, ""}};
  for (const Case& c : cases) {
    InputDialog dialog("Task number?", "Kiv");
    dialog.show();
    QTest::keyClicks(dialog.findChild<QLineEdit*>("text"), "12");

    if (c.button == QDialogButtonBox::NoButton) {
      QTest::keyClick(&dialog, Qt::Key_Escape);
    } else {
      dialog.findChild<QDialogButtonBox*>()->button(c.button)->click();
    }

    QVERIFY2(dialog.answer() == c.answer, c.ending);
  }
}

void QtPlatformTest::popupMenuOffersTheItemsAsTheModelHasThem() {
  testing::FakePlatform platform;
  MainForm form(platform);
  form.mnuRetrieve.setEnabled(false);

  const auto popup = makePopupMenu(form.mnuAccess);

  const QList<QAction*> actions = popup->actions();
  QCOMPARE(actions.size(), 2);
  QCOMPARE(actions[0]->text(), QString("&Store as default"));
  QVERIFY(actions[0]->isEnabled());
  QCOMPARE(actions[1]->text(), QString("&Retrieve default"));
  QVERIFY(!actions[1]->isEnabled());
  QCOMPARE(chosenItem(form.mnuAccess, actions[0]), &form.mnuStore);
  QCOMPARE(chosenItem(form.mnuAccess, actions[1]), &form.mnuRetrieve);
  QCOMPARE(chosenItem(form.mnuAccess, nullptr), nullptr);
}

void QtPlatformTest::argumentsFollowTheProgramNameExactly_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<QString>("joined");

  QTest::newRow("none") << QStringList{"kiv"} << "";
  QTest::newRow("open a schedule")
      << QStringList{"kiv", "/o", "/srv/night.kiv"} << "/o /srv/night.kiv";
  QTest::newRow("blanks inside an argument stay")
      << QStringList{"kiv", "/o", "my  schedules/night.kiv"} << "/o my  schedules/night.kiv";
  QTest::newRow("empty path after /o") << QStringList{"kiv", "/o", ""} << "/o ";
}

void QtPlatformTest::argumentsFollowTheProgramNameExactly() {
  QFETCH(QStringList, arguments);
  QFETCH(QString, joined);
  QCOMPARE(joinedArguments(arguments), joined);
}

void QtPlatformTest::settingsAreKeptBySectionAndKey() {
  QtPlatform writer;
  writer.writeSetting("Kiv", "FileLoc", "4", "/opt/db/access");
  writer.writeSetting("Kiv", "FileLoc", "5", "/srv/orders.mdb");

  QtPlatform reader;
  QCOMPARE(reader.readSetting("Kiv", "FileLoc", "4"), std::string("/opt/db/access"));
  QCOMPARE(reader.readSetting("Kiv", "FileLoc", "5"), std::string("/srv/orders.mdb"));
  QCOMPARE(reader.readSetting("Kiv", "FileLoc", "6"), std::string());
  QCOMPARE(reader.readSetting("Kiv", "Elsewhere", "4"), std::string());

  QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Kiv", "Kiv");
  QCOMPARE(store.value("FileLoc/4").toString(), QString("/opt/db/access"));
}

void QtPlatformTest::clockReadsTheLocalWallClock() {
  auto wallClock = [] {
    const QDateTime now = QDateTime::currentDateTime();
    return fromCivil({now.date().year(), now.date().month(), now.date().day(), now.time().hour(),
                      now.time().minute(), now.time().second()});
  };
  QtPlatform platform;

  const LocalTime before = wallClock();
  const LocalTime reading = platform.now();
  const LocalTime after = wallClock();

  QVERIFY(before <= reading);
  QVERIFY(reading <= after);
}

void QtPlatformTest::datesFollowTheUsersLocale() {
  QtPlatform platform;
  const LocalTime time = fromCivil({2026, 12, 7, 2, 5, 9});

  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  QCOMPARE(platform.generalDateTime(time), std::string("12/7/26 2:05:09 AM"));
  QCOMPARE(platform.monthAbbreviation(1), std::string("Jan"));
  QCOMPARE(platform.monthAbbreviation(12), std::string("Dec"));

  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  QCOMPARE(platform.generalDateTime(time), std::string("07.12.26 02:05:09"));
  QCOMPARE(platform.monthAbbreviation(10), std::string("Okt."));
}

void QtPlatformTest::currentFolderIsTheProcesssFolder() {
  QTemporaryDir folder;
  const QString previous = QDir::currentPath();
  QVERIFY(QDir::setCurrent(folder.path()));
  QtPlatform platform;

  const std::string current = platform.currentFolder();

  QVERIFY(QDir::setCurrent(previous));
  QCOMPARE(QDir(QString::fromStdString(current)).canonicalPath(),
           QDir(folder.path()).canonicalPath());
}

// The window saves the way kivctl does: the new file replaces the old one
// whole, keeps its permissions, and nothing else is left in the folder.
void QtPlatformTest::savingReplacesTheFileWholeAndKeepsItsPermissions() {
  QTemporaryDir folder;
  const std::filesystem::path written = folder.filePath("night.kiv").toStdString();
  QFile file(written);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write("a longer old schedule"), qint64{21});
  file.close();
  const auto shared = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
  QVERIFY(file.setPermissions(shared));
  QtPlatform platform;

  const std::vector<std::uint8_t> bytes{'n', 'e', 'w'};
  const std::optional<FileError> failure =
      testing::failureOf(platform.fileStorage().replaceFile(written, bytes));
  QVERIFY2(!failure, failure ? failure->description.c_str() : "");
  QVERIFY(file.open(QIODevice::ReadOnly));
  QCOMPARE(file.readAll(), QByteArray("new"));
  QCOMPARE(file.permissions() & ~(QFile::ReadUser | QFile::WriteUser), shared);
  QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"night.kiv"});
}

void QtPlatformTest::showingTheWindowKeepsItMinimised() {
  QWidget window;
  QtPlatform platform;
  platform.setWindow(&window);

  platform.showWindow();
  QVERIFY(window.isVisible());
  platform.hideWindow();
  QVERIFY(!window.isVisible());

  window.setWindowState(Qt::WindowMinimized);
  platform.showWindow();
  QVERIFY(window.isVisible());
  QVERIFY(window.windowState().testFlag(Qt::WindowMinimized));
}

// Until it is first shown the window is not made; once made it shows the
// form's state, focus included, and it is made only once.
void QtPlatformTest::aWindowMadeWhenFirstShownShowsTheFormAsItIs() {
  QtPlatform platform;
  MainForm form(platform);
  std::unique_ptr<FormView> view;
  int made = 0;
  platform.setWindowMaker([&] {
    ++made;
    view = std::make_unique<FormView>(form);
    return view.get();
  });
  platform.hideWindow();
  form.TBox[kTaskNameBox].setText("Nightly compact");
  form.setFocus(form.TBox[kUserNameBox]);
  QCOMPARE(made, 0);

  platform.showWindow();
  QCOMPARE(made, 1);
  QVERIFY(view->isVisible());
  QCOMPARE(qobject_cast<QLineEdit*>(view->widgetFor(form.TBox[kTaskNameBox]))->text(),
           QString("Nightly compact"));
  QCOMPARE(view->focusWidget(), view->widgetFor(form.TBox[kUserNameBox]));

  platform.hideWindow();
  QVERIFY(!view->isVisible());
  platform.showWindow();
  QVERIFY(view->isVisible());
  QCOMPARE(made, 1);
}

// Programs that end at once are reaped as the event loop goes on: none is
// left a zombie, and the program's own child processes are untouched.
void QtPlatformTest::startedProgramsAreReapedByTheEventLoop() {
  QtPlatform platform;
  for (int launch = 0; launch < 20; ++launch) {
    const StartResult result = platform.startProcess("/bin/true");
    QVERIFY2(result.ok(), result.ok() ? "" : result.error().c_str());
  }
  QTRY_COMPARE_WITH_TIMEOUT(platform.children().watching(), std::size_t{0}, 20'000);
  errno = 0;
  QCOMPARE(::waitpid(-1, nullptr, WNOHANG), -1);
  QCOMPARE(errno, ECHILD);
}

// The form hears of the end from the event loop and journals the outcome.
void QtPlatformTest::anEndedProgramsOutcomeReachesTheJournal() {
  QTemporaryDir state;
  QVERIFY(state.isValid());
  qputenv("XDG_STATE_HOME", state.path().toUtf8());
  QtPlatform platform;
  MainForm form(platform);
  platform.connectForm(form);
  form.Form_Load();
  form.cmbTask.setListIndex(0);
  form.tasks[0].AccessLocation = "/bin/false";
  form.tasks[0].DatabaseLocation =
      testing::standInDatabase(std::filesystem::path(state.path().toStdString()) / "orders.mdb");

  form.cmdRun_Click();

  const auto journal = [&state] {
    QFile file(state.path() + "/kiv/launches.jsonl");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  QTRY_VERIFY_WITH_TIMEOUT(journal().contains(R"("record":"ended")"), 20'000);
  const QList<QByteArray> lines = journal().split('\n');
  QVERIFY2(lines.at(0).contains(R"("how":"onDemand","commandLine":)"), lines.at(0).constData());
  QVERIFY2(lines.at(0).contains("\"backup\":\"orders 2"), lines.at(0).constData());
  QVERIFY2(lines.at(1).contains(R"("outcome":"exited","exitStatus":1,"durationMs":)"),
           lines.at(1).constData());
  QCOMPARE(platform.children().watching(), std::size_t{0});
  qunsetenv("XDG_STATE_HOME");
}

}  // namespace kiv

QTEST_MAIN(kiv::QtPlatformTest)
#include "qt_platform_test.moc"
