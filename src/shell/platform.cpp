#include "shell/platform.h"

#include "schedule_file/code_page.h"

namespace kiv {

const CodePage& Platform::ansiCodePage() const {
  return windows1252CodePage();
}

}  // namespace kiv
