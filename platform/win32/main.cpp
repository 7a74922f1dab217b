#include "windows_api.h"

#include <commctrl.h>

#include <exception>

#include "base/identity.h"
#include "form/main_form.h"
#include "form_window.h"
#include "message_loop.h"
#include "single_scheduler.h"
#include "wide_text.h"
#include "win32_platform.h"

namespace {

int runKiv(HINSTANCE instance) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  kiv::Win32Platform platform(instance);
  // One Kiv.exe per session: a later start hands its command line to the
  // first and ends. Should the first not answer, this one runs on its own;
  // the schedule locks still keep the two from scheduling one schedule.
  const kiv::InstanceMutex instanceMutex;
  if (!instanceMutex.first() &&
      kiv::handOverToRunningWindow(platform.commandArguments(), platform.currentFolder())) {
    return 0;
  }

  kiv::MainForm form(platform);
  kiv::FormWindow window(form, instance);
  platform.setWindow(&window);

  // Loads the schedule, hooks the window and adds the notification-area
  // icon; the window stays hidden until the icon is clicked.
  form.Main();
  // The process ends through the form (Platform::endProcess), not here.
  return kiv::runMessageLoop(window);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  try {
    return runKiv(instance);
  } catch (const std::exception& error) {
    // A system call that failed where Kiv cannot go on. Without a console
    // the one line is a message box, and the status tells a script.
    MessageBoxW(nullptr, kiv::toWide(error.what()).c_str(),
                kiv::toWide(kiv::identity::kTitle).c_str(), MB_OK | MB_ICONERROR);
    return 1;
  }
}
