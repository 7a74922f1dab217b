#include <QApplication>
#include <QSystemTrayIcon>

#include "app/identity.h"
#include "app/main_form.h"
#include "form_view.h"
#include "program_icon.h"
#include "qt_platform.h"
#include "qt_text.h"
#include "session_end.h"
#include "tick_timer.h"

namespace {

// The reason a close request gives when the session ends.
constexpr int kSessionEnding = 2;

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(kiv::toQString(std::string(kiv::identity::kTitle)));
  QApplication::setWindowIcon(kiv::programIcon());
  // The program lives in the notification area: hiding or closing its one
  // window never ends it; only the form's own ending does.
  QApplication::setQuitOnLastWindowClosed(false);

  kiv::QtPlatform platform;
  kiv::MainForm form(platform);
  kiv::FormView view(form);
  platform.setWindow(&view);
  platform.connectForm(form);

  // The window's timer runs from the moment the window is loaded, so the
  // questions a schedule named on the command line may ask already see ticks.
  kiv::TickTimer timer([&form, &view] { kiv::tickDrawingAfterwards(form, view); });
  timer.start();
  kiv::SessionEnd sessionEnd([&form] {
    int cancel = 0;
    form.Form_QueryUnload(cancel, kSessionEnding);
  });

  // Loads the schedule, hooks the window and adds the icon; the window stays
  // hidden until the icon is pressed.
  form.Main();
  // A desktop without a notification area would leave no way to the window.
  if (!QSystemTrayIcon::isSystemTrayAvailable()) platform.showWindow();
  return QApplication::exec();
}
