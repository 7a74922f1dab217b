#include "message_box.h"

#include <algorithm>
#include <array>
#include <utility>

#include "wide_text.h"

namespace kiv {
namespace {

constexpr std::array<std::pair<MessageButtons, UINT>, 3> kButtons{{
    {MessageButtons::Ok, MB_OK},
    {MessageButtons::YesNo, MB_YESNO},
    {MessageButtons::YesNoCancel, MB_YESNOCANCEL},
}};

constexpr std::array<std::pair<MessageIcon, UINT>, 4> kIcons{{
    {MessageIcon::None, 0},
    {MessageIcon::Information, MB_ICONINFORMATION},
    {MessageIcon::Exclamation, MB_ICONEXCLAMATION},
    {MessageIcon::Question, MB_ICONQUESTION},
}};

// By the default button's position among the buttons.
constexpr std::array<UINT, 3> kDefaultButtons{MB_DEFBUTTON1, MB_DEFBUTTON2, MB_DEFBUTTON3};

constexpr std::array<std::pair<int, MessageAnswer>, 4> kAnswers{{
    {IDOK, MessageAnswer::Ok},
    {IDYES, MessageAnswer::Yes},
    {IDNO, MessageAnswer::No},
    {IDCANCEL, MessageAnswer::Cancel},
}};

template <typename Table, typename Key>
auto valueFor(const Table& table, Key key) {
  const auto found = std::find_if(table.begin(), table.end(),
                                  [key](const auto& entry) { return entry.first == key; });
  return found == table.end() ? decltype(found->second){} : found->second;
}

}  // namespace

UINT messageBoxStyle(const MessageBoxRequest& request) {
  const auto position = static_cast<std::size_t>(std::clamp(request.defaultButton, 0, 2));
  return valueFor(kButtons, request.buttons) | valueFor(kIcons, request.icon) |
         kDefaultButtons.at(position);
}

// 0, a box that could not be shown, counts as cancelled.
MessageAnswer messageAnswer(int pressed) {
  const auto found = std::find_if(kAnswers.begin(), kAnswers.end(),
                                  [pressed](const auto& entry) { return entry.first == pressed; });
  return found == kAnswers.end() ? MessageAnswer::Cancel : found->second;
}

MessageAnswer showMessageBox(HWND owner, const MessageBoxRequest& request) {
  // Without a visible owner (the window in the notification area) the box
  // must come to the front by itself.
  const UINT placement = owner != nullptr ? 0 : MB_SETFOREGROUND | MB_TASKMODAL;
  const int pressed =
      MessageBoxW(owner, toWide(request.text).c_str(), toWide(request.title).c_str(),
                  messageBoxStyle(request) | placement);
  return messageAnswer(pressed);
}

}  // namespace kiv
