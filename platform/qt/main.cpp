#include <QApplication>

#include "app/identity.h"
#include "app/main_form.h"
#include "form_view.h"
#include "qt_platform.h"
#include "qt_text.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(kiv::toQString(std::string(kiv::identity::kTitle)));

  kiv::QtPlatform platform;
  kiv::MainForm form(platform);
  kiv::FormView view(form);
  platform.setWindow(&view);

  form.Form_Load();
  // Until the notification-area icon exists there is no other way to reach
  // the window, so it is shown at start.
  platform.showWindow();
  return QApplication::exec();
}
