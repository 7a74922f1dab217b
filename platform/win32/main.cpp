#include "windows_api.h"

#include <commctrl.h>

#include "form/main_form.h"
#include "form_window.h"
#include "message_loop.h"
#include "win32_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  kiv::Win32Platform platform(instance);
  kiv::MainForm form(platform);
  kiv::FormWindow window(form, instance);
  platform.setWindow(&window);

  // Loads the schedule, hooks the window and adds the notification-area
  // icon; the window stays hidden until the icon is clicked.
  form.Main();
  // The process ends through the form (Platform::endProcess), not here.
  return kiv::runMessageLoop(window);
}
