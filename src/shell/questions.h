#pragma once

#include <optional>
#include <string>

#include "shell/task_options_question.h"

namespace kiv {

enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Exclamation, Question };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct MessageBoxRequest {
  std::string text;
  MessageButtons buttons = MessageButtons::Ok;
  MessageIcon icon = MessageIcon::None;
  int defaultButton = 0;  // position among the buttons, 0 for the first
  std::string title;
};

// Questions put to the user. Both run modal: other events, timer ticks among
// them, may be handled before they return.
class Questions {
 public:
  virtual ~Questions() = default;
  virtual MessageAnswer messageBox(const MessageBoxRequest& request) = 0;
  // Returns the entered text, or the empty text when the user cancels.
  virtual std::string inputBox(const std::string& prompt, const std::string& title) = 0;
  // Returns the options as the user left them with OK, or nothing on Cancel.
  // A locked request only shows the options and always answers nothing.
  virtual std::optional<TaskOptions> taskOptions(const TaskOptionsRequest& request) = 0;
};

}  // namespace kiv
