#include "typed_length_limit.h"

#include <algorithm>

namespace kiv {

qsizetype characterCount(const QString& text) {
  return text.size() - std::count_if(text.cbegin(), text.cend(),
                                     [](QChar unit) { return unit.isLowSurrogate(); });
}

TypedLengthLimit::TypedLengthLimit(int maxCharacters, QObject* parent)
    : QValidator(parent), maxCharacters_(maxCharacters) {}

void TypedLengthLimit::acceptFromCode(const QString& text) {
  shownCharacters_ = characterCount(text);
}

QValidator::State TypedLengthLimit::validate(QString& input, int&) const {
  const qsizetype characters = characterCount(input);
  if (characters > maxCharacters_ && characters > shownCharacters_) return Invalid;
  shownCharacters_ = characters;
  return Acceptable;
}

}  // namespace kiv
