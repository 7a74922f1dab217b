#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <algorithm>
#include <string>
#include <vector>

#include "loaded_view.h"

namespace kiv {

using testing::LoadedView;

// What the window hands to the form beyond edits: double-clicks on the text
// boxes, the help key and close requests.
class FormRequestsTest : public QObject {
  Q_OBJECT

 private slots:
  void doubleClickOnALocationBoxAsksForThePopUp();
  void popUpActsOnTheBoxDoubleClicked();
  void f1OverTheWindowAsksForHelpOnTheFocusedControl();
  void f1OverAMenuAsksForHelpOnWhatIsHighlighted();
  void closingTheWindowAsksTheTrayQuestion();
};

void FormRequestsTest::doubleClickOnALocationBoxAsksForThePopUp() {
  struct Case {
    int box;
    bool popUp;
  };
  for (const Case c :
       std::vector<Case>{{4, true}, {5, true}, {6, true}, {0, false}, {1, false}, {7, false}}) {
    LoadedView v;
    QVERIFY(v.showActive());

    QTest::mouseDClick(v.view.widgetFor(v.form.TBox.at(c.box)), Qt::LeftButton);

    const std::vector<std::string> expected =
        c.popUp ? std::vector<std::string>{"mnuAccess"} : std::vector<std::string>{};
    QVERIFY2(v.platform.popups == expected, std::to_string(c.box).c_str());
  }
}

// The pop-up's items are enabled for the box that has the focus, which the
// double-click has given to the box clicked.
void FormRequestsTest::popUpActsOnTheBoxDoubleClicked() {
  LoadedView v;
  QVERIFY(v.showActive());
  v.form.TBox[kDatabaseLocationBox].setText("/srv/orders.mdb");

  QTest::mouseDClick(v.view.widgetFor(v.form.TBox[kDatabaseLocationBox]), Qt::LeftButton);
  QCOMPARE(v.form.activeControl(), &v.form.TBox[kDatabaseLocationBox]);
  QVERIFY(v.form.mnuStore.enabled());

  QTest::mouseDClick(v.view.widgetFor(v.form.TBox[kAccessLocationBox]), Qt::LeftButton);
  QCOMPARE(v.form.activeControl(), &v.form.TBox[kAccessLocationBox]);
  QVERIFY(!v.form.mnuStore.enabled());
  QCOMPARE(v.platform.popups.size(), std::size_t{2});
}

void FormRequestsTest::f1OverTheWindowAsksForHelpOnTheFocusedControl() {
  LoadedView v;
  QVERIFY(v.showActive());
  auto* taskName = v.view.widgetFor(v.form.TBox[kTaskNameBox]);
  taskName->setFocus();

  QTest::keyClick(taskName, Qt::Key_F1);

  QCOMPARE(v.platform.helpContexts, std::vector<int>{0});
}

void FormRequestsTest::f1OverAMenuAsksForHelpOnWhatIsHighlighted() {
  struct Case {
    const char* name;
    MenuItem MainForm::*menu;
    MenuItem MainForm::*highlighted;  // nullptr: no item highlighted
    int context;
  };
  const std::vector<Case> cases{
      {"Schedule menu, Open highlighted", &MainForm::mnuSchedule, &MainForm::mnuOpen, 1},
      {"Schedule menu, nothing highlighted", &MainForm::mnuSchedule, nullptr, 1},
      {"Task menu, Duplicate highlighted", &MainForm::mnuTask, &MainForm::mnuDuplicate, 2},
      {"Task menu, nothing highlighted", &MainForm::mnuTask, nullptr, 2},
      {"Help menu, About highlighted", &MainForm::mnuHelp, &MainForm::mnuAbout, 0},
  };
  for (const Case& c : cases) {
    LoadedView v;
    QVERIFY(v.showActive());
    QMenu* menu = v.view.actionFor(v.form.*c.menu)->menu();
    menu->popup(v.view.mapToGlobal(QPoint(10, 10)));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    if (c.highlighted != nullptr) menu->setActiveAction(v.view.actionFor(v.form.*c.highlighted));

    QTest::keyClick(menu, Qt::Key_F1);

    QVERIFY2(v.platform.helpContexts == std::vector<int>{c.context}, c.name);
    QVERIFY2(!menu->isVisible(), c.name);
  }
}

void FormRequestsTest::closingTheWindowAsksTheTrayQuestion() {
  struct Case {
    const char* name;
    std::vector<MessageAnswer> answers;
    bool closed;
    int hides;
  };
  const std::vector<Case> cases{
      {"Yes keeps the program and hides the window", {MessageAnswer::Yes}, false, 1},
      {"Cancel keeps everything", {MessageAnswer::Cancel}, false, 0},
      {"No, then No to saving, ends", {MessageAnswer::No, MessageAnswer::No}, true, 0},
  };
  for (const Case& c : cases) {
    LoadedView v;
    v.view.show();
    v.platform.answers.assign(c.answers.begin(), c.answers.end());

    const bool closed = v.view.close();

    QVERIFY2(closed == c.closed, c.name);
    QVERIFY2(v.platform.messages.at(0).text == "Do you want to retain the system tray icon?",
             c.name);
    QVERIFY2(v.platform.windowHides == c.hides, c.name);
    QVERIFY2(v.platform.ended == c.closed, c.name);
    const bool iconRemoved =
        std::any_of(v.platform.trayCalls.begin(), v.platform.trayCalls.end(),
                    [](const auto& call) { return call.first == TrayOperation::Delete; });
    QVERIFY2(iconRemoved == c.closed, c.name);
  }
}

}  // namespace kiv

QTEST_MAIN(kiv::FormRequestsTest)
#include "form_requests_test.moc"
