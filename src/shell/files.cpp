#include "shell/files.h"

#include "schedule_file/code_page.h"

namespace kiv {

const CodePage& Files::ansiCodePage() const {
  return windows1252CodePage();
}

}  // namespace kiv
