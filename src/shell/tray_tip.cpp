#include "shell/tray_tip.h"

#include "base/text_characters.h"

namespace kiv {

void setTrayTip(NotifyIconData& tray, std::string_view text) {
  const std::string_view kept = leadingCharacters(text, NotifyIconData::kTipLength);
  tray.szTip.assign(kept);
  tray.szTip.append(NotifyIconData::kTipLength - characterCount(kept), ' ');
}

}  // namespace kiv
