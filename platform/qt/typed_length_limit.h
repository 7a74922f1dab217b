#pragma once

#include <QValidator>

namespace kiv {

// Limits what the user types or pastes into a box to a number of characters
// (Unicode characters, not UTF-16 units) and leaves text set from code
// alone: a longer text loaded from a file is shown whole, may be shortened
// and edited, but never made longer. An edit that would take the text past
// the limit is refused whole, so nothing the user typed or pasted is cut.
class TypedLengthLimit : public QValidator {
  Q_OBJECT

 public:
  TypedLengthLimit(int maxCharacters, QObject* parent);

  // Called with each text set from code, before the box shows it: that text
  // is accepted as it is and becomes the length later edits are held to.
  void acceptFromCode(const QString& text);

  State validate(QString& input, int& position) const override;

 private:
  qsizetype maxCharacters_;
  // The length of the text the box holds, as far as this limit has seen.
  mutable qsizetype shownCharacters_ = 0;
};

// The number of Unicode characters in `text`.
qsizetype characterCount(const QString& text);

}  // namespace kiv
