#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kiv {

// The window's controls as plain objects. Setting a value in code fires the
// control's change or click handler exactly as a user edit does, and every
// property change is reported to the listener (the form), which passes it on
// to whoever draws the window.

enum class ControlKind {
  Window,
  Frame,
  Label,
  TextBox,
  ComboBox,
  CheckBox,
  CommandButton,
  MenuItem
};

enum class Property { Caption, Text, ListIndex, Value, Enabled, Visible, ForeColor };

// Position and size in twips (1/1440 inch), relative to the containing frame.
struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

struct Color {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Color&, const Color&) = default;
};

inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kRed{255, 0, 0};

class Control;
using PropertyListener = std::function<void(const Control&, Property)>;
using Handler = std::function<void()>;

class Control {
 public:
  Control(ControlKind kind, std::string name, int index = -1);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  ControlKind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  // Position within an indexed family (TBox 0..7, Lbl1 0..11, ...), -1 when alone.
  int index() const { return index_; }

  const std::string& caption() const { return caption_; }
  void setCaption(std::string caption);
  bool enabled() const { return enabled_; }
  void setEnabled(bool enabled);
  bool visible() const { return visible_; }
  void setVisible(bool visible);

  // Fixed layout, set once when the form is built.
  TwipsRect geometry;
  int tabIndex = -1;
  std::string tooltip;
  int helpContext = 0;

  // Runs when the focus leaves this control.
  Handler onLostFocus;

  void setListener(PropertyListener listener) { listener_ = std::move(listener); }

 protected:
  void changed(Property property) const;

 private:
  ControlKind kind_;
  std::string name_;
  int index_;
  std::string caption_;
  bool enabled_ = true;
  bool visible_ = true;
  PropertyListener listener_;
};

class Frame : public Control {
 public:
  Frame(std::string name, int index) : Control(ControlKind::Frame, std::move(name), index) {}
};

class Label : public Control {
 public:
  Label(std::string name, int index) : Control(ControlKind::Label, std::move(name), index) {}
};

class TextBox : public Control {
 public:
  TextBox(std::string name, int index) : Control(ControlKind::TextBox, std::move(name), index) {}

  const std::string& text() const { return text_; }
  // Fires onChange when the text differs from what the box held.
  void setText(std::string text);
  Color foreColor() const { return foreColor_; }
  void setForeColor(Color color);

  int maxLength = 0;         // characters the user may type; 0 for no limit
  char passwordChar = '\0';  // shown for every character; '\0' shows the text
  // The caret (index of the first selected character) and the selection's
  // length. The front-end writes them from the widget before it forwards a
  // key and takes the selection back afterwards.
  int selStart = 0;
  int selLength = 0;

  Handler onChange;

 private:
  std::string text_;
  Color foreColor_ = kBlack;
};

class ComboBox : public Control {
 public:
  ComboBox(std::string name, int index = -1)
      : Control(ControlKind::ComboBox, std::move(name), index) {}

  const std::vector<std::string>& items() const { return items_; }
  void setItems(std::vector<std::string> items) { items_ = std::move(items); }
  // -1 when nothing is selected.
  int listIndex() const { return listIndex_; }
  // Fires onClick on every selection, also of the entry already selected, as a
  // user's pick does. Throws std::out_of_range for an index the list lacks.
  void setListIndex(int index);

  Handler onClick;

 private:
  std::vector<std::string> items_;
  int listIndex_ = -1;
};

class CheckBox : public Control {
 public:
  CheckBox(std::string name, int index = -1)
      : Control(ControlKind::CheckBox, std::move(name), index) {}

  static constexpr int kUnchecked = 0;
  static constexpr int kChecked = 1;
  static constexpr int kGrayed = 2;

  int value() const { return value_; }
  // Fires onClick when the value changes. Throws std::out_of_range above kGrayed.
  void setValue(int value);

  Handler onClick;

 private:
  int value_ = kUnchecked;
};

class CommandButton : public Control {
 public:
  CommandButton(std::string name, int index = -1)
      : Control(ControlKind::CommandButton, std::move(name), index) {}

  // A press by the user: runs onClick unless the button is disabled.
  void press() const;

  Handler onClick;
};

class MenuItem : public Control {
 public:
  MenuItem(std::string name, MenuItem* parent = nullptr);

  MenuItem* parent() const { return parent_; }
  const std::vector<MenuItem*>& items() const { return items_; }

  std::string shortcut;  // "Ctrl+N", or empty

  // A choice by the user (click or shortcut): runs onClick unless disabled.
  void press() const;

  Handler onClick;

 private:
  MenuItem* parent_;
  std::vector<MenuItem*> items_;
};

}  // namespace kiv
