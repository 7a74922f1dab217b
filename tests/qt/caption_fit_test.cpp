// Every caption a label, button or check box can take, and every entry of
// every list, measured in the window's font against the box it is drawn in,
// in every state of the window. The suite runs once at the screen's usual
// 96 dpi and once at 144 dpi without Qt's scaling (see CMakeLists.txt).
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTest>
#include <cmath>
#include <string>
#include <vector>

#include "caption_fit.h"
#include "loaded_view.h"
#include "twips.h"

namespace kiv {
namespace {

using testing::LoadedView;

int textWidth(const QWidget& widget, const QString& text) {
  return static_cast<int>(std::ceil(QFontMetricsF(widget.font()).horizontalAdvance(text)));
}

QString withoutMnemonic(QString caption) {
  return caption.replace(QLatin1String("&&"), QLatin1String("\x01"))
      .remove(QLatin1Char('&'))
      .replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

int buttonRoom(const QAbstractButton& button, QStyle::SubElement contents) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  return button.style()->subElementRect(contents, &option, &button).width();
}

// A text and the box it is drawn in, as "Command: 51 px of text in 50 px".
struct Measured {
  QString text;
  int width;
  int room;
};

std::vector<Measured> measure(const QWidget& widget) {
  if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
    return {{label->text(), textWidth(widget, label->text()), label->contentsRect().width()}};
  }
  if (const auto* check = qobject_cast<const QCheckBox*>(&widget)) {
    const QString shown = withoutMnemonic(check->text());
    return {{shown, textWidth(widget, shown), buttonRoom(*check, QStyle::SE_CheckBoxContents)}};
  }
  if (const auto* button = qobject_cast<const QPushButton*>(&widget)) {
    const QString shown = withoutMnemonic(button->text());
    return {{shown, textWidth(widget, shown), buttonRoom(*button, QStyle::SE_PushButtonContents)}};
  }
  std::vector<Measured> entries;
  if (const auto* list = qobject_cast<const QComboBox*>(&widget)) {
    QStyleOptionComboBox option;
    option.initFrom(list);
    const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, list);
    // An entry is drawn one pixel inside the field on either side.
    for (int item = 0; item < list->count(); ++item) {
      entries.push_back(
          {list->itemText(item), textWidth(widget, list->itemText(item)) + 2, field.width()});
    }
  }
  return entries;
}

}  // namespace

class CaptionFitTest : public QObject {
  Q_OBJECT

 private slots:
  void theScreenHasTheResolutionAskedFor();
  void aBoxWidensWithinItsRow_data();
  void aBoxWidensWithinItsRow();
  void everyTextFitsItsBoxInEveryState();
};

// KIV_TEST_DPI names the resolution the run was set up for, so a run meant
// for 144 dpi cannot pass at 96 unnoticed.
void CaptionFitTest::theScreenHasTheResolutionAskedFor() {
  const QByteArray asked = qgetenv("KIV_TEST_DPI");
  if (asked.isEmpty()) QSKIP("no resolution asked for");
  LoadedView v;
  QCOMPARE(v.view.screen()->logicalDotsPerInch(), asked.toDouble());
}

void CaptionFitTest::aBoxWidensWithinItsRow_data() {
  QTest::addColumn<QRect>("box");
  QTest::addColumn<int>("missing");
  QTest::addColumn<QRect>("widened");

  // Neighbours on the row at x 0..9 and x 40..49; one at x 20..29 below it.
  QTest::newRow("grows to the right by what it lacks")
      << QRect(15, 0, 10, 10) << 5 << QRect(15, 0, 15, 10);
  QTest::newRow("keeps its gap to the right, then grows to the left")
      << QRect(15, 0, 10, 10) << 15 << QRect(13, 0, 25, 10);
  QTest::newRow("stays short when the row is full")
      << QRect(15, 0, 10, 10) << 40 << QRect(12, 0, 26, 10);
  QTest::newRow("a box on another row is no neighbour")
      << QRect(15, 30, 10, 10) << 40 << QRect(15, 30, 50, 10);
  QTest::newRow("keeps its gap to the frame") << QRect(52, 0, 10, 10) << 50 << QRect(52, 0, 46, 10);
}

void CaptionFitTest::aBoxWidensWithinItsRow() {
  QFETCH(QRect, box);
  QFETCH(int, missing);
  QFETCH(QRect, widened);
  const QList<QRect> others{QRect(0, 0, 10, 10), QRect(40, 0, 10, 10), QRect(20, 20, 10, 10)};
  QCOMPARE(widenedWithinRow(box, missing, others, QRect(0, 0, 100, 100), 2), widened);
}

void CaptionFitTest::everyTextFitsItsBoxInEveryState() {
  LoadedView v;
  MainForm& f = v.form;
  f.TBox[3].setText("Nightly");
  f.TBox[4].setText("/opt/db/access");
  f.TBox[5].setText("/srv/orders.mdb");
  const QRect inside = v.view.widgetFor(f.Frame1)->contentsRect();
  QStringList clipped;
  QStringList states;
  const auto check = [&](const QString& state) {
    states << state;
    for (const Control* control : f.controls()) {
      const QWidget* widget = v.view.widgetFor(*control);
      if (widget == nullptr || widget == &v.view || control->kind() == ControlKind::Frame) continue;
      if (!inside.contains(widget->geometry())) clipped << state + ": " + widget->objectName();
      for (const Measured& m : measure(*widget)) {
        if (m.width > m.room) {
          clipped << QStringLiteral("%1: %2 \"%3\" takes %4 px in %5 px")
                         .arg(state, widget->objectName(), m.text)
                         .arg(m.width)
                         .arg(m.room);
        }
      }
    }
  };

  for (int version = 0; version < static_cast<int>(f.cmbVer.items().size()); ++version) {
    for (int action = 0; action < static_cast<int>(f.cmbAction.items().size()); ++action) {
      f.cmbVer.setListIndex(version);
      f.cmbAction.setListIndex(action);
      const QString state = QStringLiteral("version %1, action %2").arg(version).arg(action);
      check(state);
      f.cmdCompile.press();
      QVERIFY2(f.tasks[0].Compiled == 1, qPrintable(state + " did not compile"));
      check(state + ", compiled");
      f.cmdCompile.press();
    }
  }

  QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join('\n')));
  QCOMPARE(states.size(), 60);
}

}  // namespace kiv

QTEST_MAIN(kiv::CaptionFitTest)
#include "caption_fit_test.moc"
