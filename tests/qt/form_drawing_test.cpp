#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <string>
#include <utility>
#include <vector>

#include "caption_fit.h"
#include "form_font.h"
#include "loaded_view.h"
#include "twips.h"

namespace kiv {

using testing::LoadedView;

class FormDrawingTest : public QObject {
  Q_OBJECT

 private slots:
  void twipsBecomePixelsAtTheScreensResolution_data();
  void twipsBecomePixelsAtTheScreensResolution();
  void controlsSitInTheFrameAtTheirTwipPositions();
  void windowHasAFixedSizeAndNoMaximizeButton();
  void windowUsesTheFormFont();
  void tabVisitsTheControlsInTabIndexOrder();
  void labelsAndTheFrameTakeNoFocus();
  void listsShowTheirItemsAndTakeNoTypedText();
  void actionListShowsCompactWhole();
  void menuBarCarriesTheMenusButNotThePopUp();
};

void FormDrawingTest::twipsBecomePixelsAtTheScreensResolution_data() {
  QTest::addColumn<int>("twips");
  QTest::addColumn<double>("dotsPerInch");
  QTest::addColumn<int>("pixels");

  QTest::newRow("one pixel at 96 dpi") << 15 << 96.0 << 1;
  QTest::newRow("client width at 96 dpi") << 6090 << 96.0 << 406;
  QTest::newRow("client height at 96 dpi") << 4110 << 96.0 << 274;
  QTest::newRow("text box height at 96 dpi") << 285 << 96.0 << 19;
  QTest::newRow("client width at 144 dpi") << 6090 << 144.0 << 609;
  QTest::newRow("client height at 144 dpi") << 4110 << 144.0 << 411;
  QTest::newRow("half a pixel rounds up at 144 dpi") << 285 << 144.0 << 29;
  QTest::newRow("list height at 144 dpi") << 315 << 144.0 << 32;
}

void FormDrawingTest::twipsBecomePixelsAtTheScreensResolution() {
  QFETCH(int, twips);
  QFETCH(double, dotsPerInch);
  QFETCH(int, pixels);
  QCOMPARE(twipsToPixels(twips, dotsPerInch), pixels);
}

void FormDrawingTest::controlsSitInTheFrameAtTheirTwipPositions() {
  LoadedView v;
  const double dpi = v.view.screen()->logicalDotsPerInch();
  QWidget* frame = v.view.widgetFor(v.form.Frame1);

  QCOMPARE(v.view.centralWidget()->size(), twipsToPixels(v.form.KIV.geometry, dpi).size());
  QCOMPARE(frame->parentWidget(), v.view.centralWidget());
  QCOMPARE(frame->geometry(), twipsToPixels(v.form.Frame1.geometry, dpi));
  std::vector<std::pair<QRect, QRect>> boxes;  // documented, drawn
  for (const Control* control : v.form.controls()) {
    if (control->kind() == ControlKind::Window || control->kind() == ControlKind::Frame ||
        control->kind() == ControlKind::MenuItem) {
      continue;
    }
    QWidget* widget = v.view.widgetFor(*control);
    QVERIFY2(widget != nullptr, control->name().c_str());
    QCOMPARE(widget->parentWidget(), frame);
    QCOMPARE(widget->toolTip().toStdString(), control->tooltip);
    // Only a box whose text is wider than it is widens, and only sideways.
    const QRect documented = twipsToPixels(control->geometry, dpi);
    const QRect drawn = widget->geometry();
    QCOMPARE(drawn.top(), documented.top());
    QCOMPARE(drawn.height(), documented.height());
    QVERIFY(drawn.left() <= documented.left() && drawn.right() >= documented.right());
    if (drawn != documented) {
      widget->setGeometry(documented);
      QVERIFY2(missingWidth(*widget) > 0, qPrintable(widget->objectName()));
      widget->setGeometry(drawn);
    }
    boxes.emplace_back(documented, drawn);
  }
  // A widened box reaches no box it did not reach where the form puts it.
  for (const auto& [documented, drawn] : boxes) {
    for (const auto& [otherDocumented, otherDrawn] : boxes) {
      if (&documented == &otherDocumented) continue;
      QVERIFY(!drawn.intersects(otherDrawn) || documented.intersects(otherDocumented));
    }
  }
}

void FormDrawingTest::windowHasAFixedSizeAndNoMaximizeButton() {
  LoadedView v;
  v.view.show();
  v.view.layout()->activate();

  QVERIFY(!v.view.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  QVERIFY(v.view.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
  QCOMPARE(v.view.minimumSize(), v.view.maximumSize());
  QCOMPARE(v.view.height(), v.view.menuBar()->height() + v.view.centralWidget()->height());
}

void FormDrawingTest::windowUsesTheFormFont() {
  LoadedView v;
  const QFont font = v.view.widgetFor(v.form.TBox[kTaskNameBox])->font();

  QCOMPARE(font.pointSizeF(), 8.25);
  QCOMPARE(font.family(),
           QFontDatabase::hasFamily("Tahoma") ? QString("Tahoma") : QString("Arial"));
  QCOMPARE(v.view.widgetFor(v.form.Lbl1[0])->font(), font);
}

void FormDrawingTest::tabVisitsTheControlsInTabIndexOrder() {
  LoadedView v;
  QVERIFY(v.showActive());
  v.view.widgetFor(v.form.cmbTask)->setFocus();
  // TBox(3) is hidden and cmdRun disabled after load, so Tab passes them by.
  const std::vector<std::string> expected{
      "TBox(7)", "TBox(0)",     "TBox(1)", "TBox(2)",     "cmbVer",  "cmbAction",
      "TBox(4)", "Command1(0)", "TBox(5)", "Command1(1)", "TBox(6)", "Command1(2)",
      "cmbDays", "Check2",      "Check1",  "cmdCompile",  "cmbTask"};

  std::vector<std::string> visited;
  for (std::size_t step = 0; step < expected.size(); ++step) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited.push_back(QApplication::focusWidget()->objectName().toStdString());
  }

  QCOMPARE(visited, expected);
}

void FormDrawingTest::labelsAndTheFrameTakeNoFocus() {
  LoadedView v;
  QCOMPARE(v.view.widgetFor(v.form.Frame1)->focusPolicy(), Qt::NoFocus);
  for (const Label& label : v.form.Lbl1) {
    QCOMPARE(v.view.widgetFor(label)->focusPolicy(), Qt::NoFocus);
  }
}

void FormDrawingTest::listsShowTheirItemsAndTakeNoTypedText() {
  LoadedView v;
  for (const ComboBox* list :
       {&v.form.cmbTask, &v.form.cmbVer, &v.form.cmbAction, &v.form.cmbDays}) {
    auto* combo = v.widget<QComboBox>(*list);
    QVERIFY(!combo->isEditable());
    QCOMPARE(combo->count(), static_cast<int>(list->items().size()));
    for (int item = 0; item < combo->count(); ++item) {
      QCOMPARE(combo->itemText(item).toStdString(), list->items()[static_cast<std::size_t>(item)]);
    }
  }
  auto* version = v.widget<QComboBox>(v.form.cmbVer);
  QCOMPARE(version->currentText(), QString("2002"));

  QTest::keyClicks(version, "zq");

  QCOMPARE(version->currentText(), QString("2002"));
  QCOMPARE(v.form.tasks[0].Version, 4);
}

// At the list's fixed size the usual drop-down arrow leaves too little room
// for the default action; the list's style narrows the arrow instead.
void FormDrawingTest::actionListShowsCompactWhole() {
  LoadedView v;
  auto* action = v.widget<QComboBox>(v.form.cmbAction);
  QStyleOptionComboBox option;
  option.initFrom(action);
  option.currentText = action->currentText();
  QStyle* style = action->style();

  const QRect field =
      style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, action);
  const QRect arrow =
      style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, action);

  QCOMPARE(action->currentText(), QString("Compact"));
  // The label is drawn one pixel inside the field on either side.
  QVERIFY2(action->fontMetrics().horizontalAdvance("Compact") <= field.width() - 2,
           qPrintable(QStringLiteral("%1 px of text in a %2 px field")
                          .arg(action->fontMetrics().horizontalAdvance("Compact"))
                          .arg(field.width())));
  QVERIFY(field.right() < arrow.left());
  QVERIFY(action->rect().contains(arrow));
  QCOMPARE(
      action->geometry().topLeft(),
      twipsToPixels(v.form.cmbAction.geometry, v.view.screen()->logicalDotsPerInch()).topLeft());
}

void FormDrawingTest::menuBarCarriesTheMenusButNotThePopUp() {
  LoadedView v;
  QStringList titles;
  for (QAction* menu : v.view.menuBar()->actions()) titles << menu->text();
  QCOMPARE(titles, QStringList({"&Schedule", "&Task", "&Help"}));
  QVERIFY(v.view.actionFor(v.form.mnuAccess) == nullptr);

  struct Item {
    const MenuItem& item;
    const char* caption;
    const char* shortcut;
    bool enabled;
  };
  const MainForm& f = v.form;
  const std::vector<Item> items{
      {f.mnuNew, "&New", "Ctrl+N", true},     {f.mnuOpen, "&Open", "Ctrl+O", true},
      {f.mnuSave, "&Save", "Ctrl+S", false},  {f.mnuSaveAs, "Save &as", "Ctrl+A", true},
      {f.mnuExit, "E&xit", "Ctrl+X", true},   {f.mnuCompile, "Co&mpile", "Ctrl+M", true},
      {f.mnuRun, "&Run", "Ctrl+R", false},    {f.mnuDuplicate, "&Duplicate", "Ctrl+D", true},
      {f.mnuErase, "&Erase", "Ctrl+E", true}, {f.mnuOptions, "&Options\u2026", "", true},
      {f.mnuHlp, "&Help", "", true},          {f.mnuAbout, "&About", "", true}};
  for (const Item& entry : items) {
    const QAction* action = v.view.actionFor(entry.item);
    QVERIFY2(action != nullptr, entry.caption);
    QCOMPARE(action->text(), QString(entry.caption));
    QCOMPARE(action->shortcut(), QKeySequence(entry.shortcut));
    QCOMPARE(action->isEnabled(), entry.enabled);
  }
}

}  // namespace kiv

QTEST_MAIN(kiv::FormDrawingTest)
#include "form_drawing_test.moc"
