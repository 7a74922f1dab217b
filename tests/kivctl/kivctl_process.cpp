#include "kivctl_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/temp_folder.h"

extern char** environ;

namespace kiv::testing {
namespace {

std::string fileText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> result;
  for (std::string& text : texts) result.push_back(text.data());
  result.push_back(nullptr);
  return result;
}

}  // namespace

std::string waitForText(const std::filesystem::path& file, std::string_view wanted,
                        std::chrono::seconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  std::string text = fileText(file);
  while (text.find(wanted) == std::string::npos && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds{20});
    text = fileText(file);
  }
  return text;
}

KivctlProcess::KivctlProcess(const std::vector<std::string>& arguments,
                             const std::filesystem::path& folder,
                             const std::vector<std::string>& environment)
    : folder_(folder) {
  std::vector<std::string> argv{KIVCTL};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<std::string> envp(environment);
  for (char** entry = environ; *entry != nullptr; ++entry) envp.emplace_back(*entry);

  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_addopen(&actions, 1, outFile().c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
  ::posix_spawn_file_actions_addopen(&actions, 2, errFile().c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
  auto argPointers = pointers(argv);
  auto envPointers = pointers(envp);
  const int failed =
      ::posix_spawn(&pid_, KIVCTL, &actions, nullptr, argPointers.data(), envPointers.data());
  ::posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) throw std::runtime_error("kivctl could not be started");
}

KivctlProcess::~KivctlProcess() {
  if (pid_ < 0) return;
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
}

std::vector<pid_t> KivctlProcess::children() const {
  std::vector<pid_t> found;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    // "pid (name) state ppid ...": the name may hold blanks and parentheses.
    const std::string stat = fileText(entry.path() / "stat");
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream fields(stat.substr(close + 1));
    std::string state;
    pid_t parent = 0;
    if (fields >> state >> parent && parent == pid_) found.push_back(std::stoi(name));
  }
  return found;
}

void KivctlProcess::signal(int number) {
  ::kill(pid_, number);
}

Ending KivctlProcess::wait() {
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  if (WIFEXITED(status)) return {true, WEXITSTATUS(status), 0};
  return {false, -1, WIFSIGNALED(status) ? WTERMSIG(status) : 0};
}

std::string KivctlProcess::out() const {
  return fileText(outFile());
}
std::string KivctlProcess::err() const {
  return fileText(errFile());
}

Finished runKivctl(const std::vector<std::string>& arguments) {
  const TempFolder folder;
  KivctlProcess process(arguments, folder.path());
  const Ending ending = process.wait();
  return {ending, process.out(), process.err()};
}

}  // namespace kiv::testing
