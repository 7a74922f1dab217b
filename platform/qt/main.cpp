#include <QApplication>
#include <QDir>
#include <QSystemTrayIcon>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>
#include <string_view>
#include <vector>

#include "base/identity.h"
#include "form/information_request.h"
#include "form/main_form.h"
#include "form_view.h"
#include "posix/core_dumps.h"
#include "posix/file_lock.h"
#include "program_icon.h"
#include "qt_platform.h"
#include "qt_text.h"
#include "session_end.h"
#include "single_instance.h"
#include "tick_timer.h"

namespace {

int runKiv(int argc, char* argv[]) {
  // Answered before anything else, without a display or another Kiv.
  const std::vector<std::string_view> arguments(argv + std::min(argc, 1), argv + argc);
  if (const auto information = kiv::informationRequested(arguments)) {
    std::fputs(information->c_str(), stdout);
    return std::fflush(stdout) == 0 && std::ferror(stdout) == 0 ? 0 : 1;
  }
  // Before a schedule, and with it a password, can be read.
  kiv::posix::forbidCoreDumps();
  QApplication application(argc, argv);
  QApplication::setApplicationName(kiv::toQString(std::string(kiv::identity::kTitle)));
  QApplication::setWindowIcon(kiv::programIcon());
  // The program lives in the notification area: hiding or closing its one
  // window never ends it; only the form's own ending does.
  QApplication::setQuitOnLastWindowClosed(false);

  // One window program per user: a later start hands its command line to the
  // first and ends. Should the first not answer, this one runs on its own;
  // the schedule locks still keep the two from scheduling one schedule.
  const kiv::InstancePlaces places = kiv::instancePlaces(
      [](const std::string& why) { std::fprintf(stderr, "kiv: %s\n", why.c_str()); });
  const kiv::posix::FileLock instance =
      places.lockFile.isEmpty() ? kiv::posix::FileLock()
                                : kiv::posix::FileLock(places.lockFile.toStdString(), "kiv");
  if (instance.state() == kiv::posix::FileLock::State::HeldByOther) {
    const char* holder = instance.detail().c_str();
    // Without a socket to reach it, a second window program is refused at
    // once rather than started beside the first.
    if (places.socket.isEmpty()) {
      std::fprintf(stderr, "kiv: the running Kiv (%s) cannot be reached\n", holder);
      return 1;
    }
    const std::string arguments = kiv::toCoreText(kiv::joinedArguments(QApplication::arguments()));
    switch (kiv::handOverCommandLine(places.socket, arguments, kiv::toCoreText(QDir::currentPath()),
                                     std::chrono::seconds{10})) {
      case kiv::HandOverResult::Taken:
        return 0;
      case kiv::HandOverResult::TooLong:
        std::fprintf(stderr, "kiv: the command line is too long to hand to the running Kiv (%s)\n",
                     holder);
        return 1;
      case kiv::HandOverResult::OtherUser:
        std::fprintf(stderr, "kiv: %s belongs to another user; starting anyway\n",
                     places.socket.toLocal8Bit().constData());
        break;
      case kiv::HandOverResult::NoAnswer:
        std::fprintf(stderr, "kiv: the running Kiv (%s) did not answer; starting anyway\n", holder);
        break;
    }
  }

  kiv::QtPlatform platform;
  kiv::MainForm form(platform);
  // The window is made from the form when it is first shown: most of the time
  // Kiv is only its icon.
  std::unique_ptr<kiv::FormView> view;
  platform.setWindowMaker([&form, &view] {
    view = std::make_unique<kiv::FormView>(form);
    return view.get();
  });
  platform.connectForm(form);

  // The window's timer runs from the moment the window is loaded, so the
  // questions a schedule named on the command line may ask already see ticks.
  kiv::TickTimer timer([&form, &view] { kiv::tickDrawingAfterwards(form, view.get()); });
  timer.start();
  kiv::SessionEnd sessionEnd([&form] {
    int cancel = 0;
    form.Form_QueryUnload(cancel, kiv::kSessionEnds);
  });

  std::unique_ptr<kiv::CommandLineReceiver> receiver;
  if (instance.held() && !places.socket.isEmpty()) {
    receiver = std::make_unique<kiv::CommandLineReceiver>(
        places.socket, [&form](const std::string& arguments, const std::string& folder) {
          form.commandLineHandedOver(arguments, folder);
        });
  }

  // Loads the schedule, hooks the window and adds the icon; the window stays
  // hidden until the icon is pressed.
  form.Main();
  // A desktop without a notification area would leave no way to the window.
  if (!QSystemTrayIcon::isSystemTrayAvailable()) platform.showWindow();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[]) {
  try {
    return runKiv(argc, argv);
  } catch (const std::exception& error) {
    // A system call that failed where Kiv cannot go on (no descriptor left
    // for its tick timer, say): one line and a failure status, never an abort.
    std::fprintf(stderr, "kiv: %s\n", error.what());
    return 1;
  }
}
