#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

#include "help_window.h"
#include "qt_platform.h"
#include "shell/task_options_question.h"

namespace kiv {
namespace {

const QString kDocument = QStringLiteral(KIV_HELP_DOCUMENT);

// Every anchor name the loaded document holds.
QStringList anchorsOf(const QTextDocument& document) {
  QStringList anchors;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
      anchors << fragment.fragment().charFormat().anchorNames();
    }
  }
  return anchors;
}

int scrolledTo(const HelpWindow& window) {
  return window.browser().verticalScrollBar()->value();
}

}  // namespace

class HelpWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void contextsHaveTheirSections_data();
  void contextsHaveTheirSections();
  void documentHasASectionForEveryContext();
  void taskSectionDescribesTheOptionsDialog();
  void windowOpensAtTheSectionOfTheContext();
  void aMissingDocumentIsNamed();
  void platformShowsTheHelpWindow();
};

void HelpWindowTest::contextsHaveTheirSections_data() {
  QTest::addColumn<int>("context");
  QTest::addColumn<QString>("anchor");
  QTest::newRow("none: the contents") << 0 << "contents";
  QTest::newRow("Schedule menu") << 1 << "schedule";
  QTest::newRow("Task menu") << 2 << "task";
  QTest::newRow("unknown: the contents") << 7 << "contents";
}

void HelpWindowTest::contextsHaveTheirSections() {
  QFETCH(int, context);
  QFETCH(QString, anchor);
  QCOMPARE(helpAnchor(context), anchor);
}

void HelpWindowTest::documentHasASectionForEveryContext() {
  HelpWindow window(kDocument);
  window.showAt(0);

  const QStringList anchors = anchorsOf(*window.browser().document());

  for (const int context : {0, 1, 2}) QVERIFY(anchors.contains(helpAnchor(context)));
}

// Help from the Options dialog opens at the Task menu's section, so the dialog
// is described there: each field by its label and its range.
void HelpWindowTest::taskSectionDescribesTheOptionsDialog() {
  HelpWindow window(kDocument);
  window.showAt(2);
  const QString text = window.browser().toPlainText();
  // The headings, after their entries in the contents.
  const qsizetype start = text.lastIndexOf(QStringLiteral("The Task menu"));
  const qsizetype end = text.lastIndexOf(QStringLiteral("Stored default locations"));
  QVERIFY(start >= 0 && end > start);
  const QString section = text.mid(start, end - start);

  QVERIFY(section.contains(QStringLiteral("The Options dialog")));
  const std::pair<std::string_view, const char*> fields[] = {
      {options_dialog::kWaitLabel, "0 to 1440, 60 by default"},
      {options_dialog::kTimeLimitCheck, "1 to 1440, off by default"},
      {options_dialog::kCatchUpCheck, "1 to 168, off by default"},
  };
  for (const auto& [label, range] : fields) {
    QString name = QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size()));
    name.remove(QLatin1Char('&')).chop(1);  // the label's closing colon
    QVERIFY2(section.contains(name + QStringLiteral(", ") + QLatin1String(range)),
             qPrintable(name));
  }
}

void HelpWindowTest::windowOpensAtTheSectionOfTheContext() {
  HelpWindow window(kDocument);

  window.showAt(2);
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  QCOMPARE(window.windowTitle(), QString("Kiv Help"));
  QCOMPARE(window.browser().source().fragment(), QString("task"));
  QTRY_VERIFY(scrolledTo(window) > 0);
  const int taskSection = scrolledTo(window);

  window.showAt(1);
  QCOMPARE(window.browser().source().fragment(), QString("schedule"));
  QTRY_VERIFY(scrolledTo(window) > 0);

  const int scheduleSection = scrolledTo(window);
  QVERIFY(scheduleSection < taskSection);

  window.showAt(0);
  QCOMPARE(window.browser().source().fragment(), QString("contents"));
  QTRY_VERIFY(scrolledTo(window) < scheduleSection);
  QVERIFY(window.isVisible());
}

void HelpWindowTest::aMissingDocumentIsNamed() {
  HelpWindow window(QStringLiteral("/nonexistent/kiv-help.html"));

  window.showAt(1);

  QVERIFY(window.isVisible());
  QVERIFY(window.browser().toPlainText().contains("/nonexistent/kiv-help.html"));
}

void HelpWindowTest::platformShowsTheHelpWindow() {
  QtPlatform platform;
  platform.setHelpDocument(kDocument);

  platform.showHelp(2);

  QWidget* shown = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && window->windowTitle() == "Kiv Help") shown = window;
  }
  QVERIFY(shown != nullptr);
  auto* browser = shown->findChild<QTextBrowser*>();
  QVERIFY(browser != nullptr);
  QCOMPARE(browser->source(), QUrl::fromLocalFile(kDocument).resolved(QUrl("#task")));
}

}  // namespace kiv

QTEST_MAIN(kiv::HelpWindowTest)
#include "help_window_test.moc"
