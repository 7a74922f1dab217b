// The real `kiv` when a system call it cannot do without fails.
#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>

#include <QTest>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "posix/child_process_support.h"
#include "support/temp_folder.h"

extern char** environ;

namespace kiv {

class FailingSystemCallTest : public QObject {
  Q_OBJECT

 private slots:
  // Without the real-time timer its ticks wait on (a filter refuses
  // timerfd_create to it here) kiv ends with one line on standard error and
  // a failure status, never an abort. timeout only bounds a kiv that would
  // wrongly run on.
  void aFailedSystemCallIsOneLineAndAFailureStatus() {
    const testing::TempFolder home;
    const std::string errFile = (home.path() / "stderr.txt").string();
    const std::string answer = testing::inChildProcess([&]() -> std::string {
      if (!testing::refuseSystemCalls({SYS_timerfd_create})) {
        return std::string(testing::kSkipped) + "no system call filter here";
      }
      for (const char* folder : {"XDG_RUNTIME_DIR", "XDG_STATE_HOME", "XDG_CONFIG_HOME"}) {
        ::setenv(folder, (home.path() / folder).c_str(), 1);
      }
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      posix_spawn_file_actions_t actions;
      ::posix_spawn_file_actions_init(&actions);
      ::posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
      std::vector<std::string> argv{"timeout", "60", KIV_PROGRAM};
      std::vector<char*> pointers;
      for (std::string& argument : argv) pointers.push_back(argument.data());
      pointers.push_back(nullptr);
      pid_t pid = -1;
      const int failed =
          ::posix_spawnp(&pid, "timeout", &actions, nullptr, pointers.data(), environ);
      ::posix_spawn_file_actions_destroy(&actions);
      if (failed != 0) return "not started";
      int status = 0;
      ::waitpid(pid, &status, 0);
      std::ifstream in(errFile);
      const std::string err{std::istreambuf_iterator<char>(in), {}};
      if (!WIFEXITED(status))
        return "ended by signal " + std::to_string(WTERMSIG(status)) + ": " + err;
      if (WEXITSTATUS(status) != 1)
        return "status " + std::to_string(WEXITSTATUS(status)) + ": " + err;
      const std::string expected =
          "kiv: timerfd_create: " + std::error_code(ENOSYS, std::generic_category()).message() +
          "\n";
      if (!err.ends_with(expected)) return "told: " + err;
      return "";
    });
    if (answer.starts_with(testing::kSkipped)) QSKIP(answer.c_str());
    QCOMPARE(answer, std::string());
  }
};

}  // namespace kiv

QTEST_GUILESS_MAIN(kiv::FailingSystemCallTest)
#include "failing_system_call_test.moc"
