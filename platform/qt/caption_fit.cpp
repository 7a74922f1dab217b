#include "caption_fit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <algorithm>
#include <cmath>

namespace kiv {
namespace {

// The style draws a list's entry one pixel inside its field on either side.
constexpr int kListTextInset = 2;

int textWidth(const QWidget& widget, const QString& text) {
  return static_cast<int>(std::ceil(QFontMetricsF(widget.font()).horizontalAdvance(text)));
}

int roomOfButton(const QAbstractButton& button, QStyle::SubElement contents) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  return button.style()->subElementRect(contents, &option, &button).width();
}

int missingInList(const QComboBox& list) {
  QStyleOptionComboBox option;
  option.initFrom(&list);
  const int room =
      list.style()
          ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &list)
          .width() -
      kListTextInset;
  int widest = 0;
  for (int item = 0; item < list.count(); ++item) {
    widest = std::max(widest, textWidth(list, list.itemText(item)));
  }
  return widest - room;
}

// Whether two boxes share a row: some line of pixels crosses both.
bool shareARow(const QRect& a, const QRect& b) {
  return a.top() <= b.bottom() && b.top() <= a.bottom();
}

}  // namespace

QString shownCaption(const QString& caption) {
  QString shown;
  for (qsizetype at = 0; at < caption.size(); ++at) {
    if (caption[at] == QLatin1Char('&') && at + 1 < caption.size()) ++at;
    shown += caption[at];
  }
  return shown;
}

int missingWidth(const QWidget& widget) {
  if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
    return textWidth(widget, label->text()) - label->contentsRect().width();
  }
  if (const auto* check = qobject_cast<const QCheckBox*>(&widget)) {
    return textWidth(widget, shownCaption(check->text())) -
           roomOfButton(*check, QStyle::SE_CheckBoxContents);
  }
  if (const auto* button = qobject_cast<const QPushButton*>(&widget)) {
    return textWidth(widget, shownCaption(button->text())) -
           roomOfButton(*button, QStyle::SE_PushButtonContents);
  }
  if (const auto* list = qobject_cast<const QComboBox*>(&widget)) return missingInList(*list);
  return 0;
}

QRect widenedWithinRow(const QRect& box, int missing, const QList<QRect>& others,
                       const QRect& inside, int gap) {
  int rightmost = inside.right() - gap;
  int leftmost = inside.left() + gap;
  for (const QRect& other : others) {
    if (!shareARow(box, other)) continue;
    if (other.center().x() > box.center().x()) {
      rightmost = std::min(rightmost, other.left() - 1 - gap);
    } else {
      leftmost = std::max(leftmost, other.right() + 1 + gap);
    }
  }
  QRect widened = box;
  widened.setRight(std::max(box.right(), std::min(box.right() + missing, rightmost)));
  const int stillMissing = missing - (widened.right() - box.right());
  widened.setLeft(std::min(box.left(), std::max(box.left() - stillMissing, leftmost)));
  return widened;
}

}  // namespace kiv
