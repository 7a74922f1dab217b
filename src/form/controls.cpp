#include "form/controls.h"

#include <stdexcept>

namespace kiv {

Control::Control(ControlKind kind, std::string name, int index)
    : kind_(kind), name_(std::move(name)), index_(index) {}

void Control::setCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  changed(Property::Caption);
}

void Control::setEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  changed(Property::Enabled);
}

void Control::setVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  changed(Property::Visible);
}

void Control::changed(Property property) const {
  if (listener_) listener_(*this, property);
}

void TextBox::setText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  changed(Property::Text);
  if (onChange) onChange();
}

void TextBox::setForeColor(Color color) {
  if (color == foreColor_) return;
  foreColor_ = color;
  changed(Property::ForeColor);
}

void ComboBox::setListIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) {
    throw std::out_of_range(name() + ": no list entry " + std::to_string(index));
  }
  if (index != listIndex_) {
    listIndex_ = index;
    changed(Property::ListIndex);
  }
  if (onClick) onClick();
}

void CheckBox::setValue(int value) {
  if (value < kUnchecked || value > kGrayed) {
    throw std::out_of_range(name() + ": no check value " + std::to_string(value));
  }
  if (value == value_) return;
  value_ = value;
  changed(Property::Value);
  if (onClick) onClick();
}

void CommandButton::press() const {
  if (enabled() && onClick) onClick();
}

MenuItem::MenuItem(std::string name, MenuItem* parent)
    : Control(ControlKind::MenuItem, std::move(name)), parent_(parent) {
  if (parent_ != nullptr) parent_->items_.push_back(this);
}

void MenuItem::press() const {
  if (enabled() && onClick) onClick();
}

}  // namespace kiv
