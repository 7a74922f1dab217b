#include "kivctl_process.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/temp_folder.h"

extern char** environ;

namespace kiv::testing {
namespace {

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> result;
  for (std::string& text : texts) result.push_back(text.data());
  result.push_back(nullptr);
  return result;
}

// Starts `argv` (the program looked up on PATH) with standard input on
// /dev/null and standard output and error going to the files; the
// environment entries come before the test's own, so they win.
pid_t spawnProgram(std::vector<std::string> argv, const std::vector<std::string>& environment,
                   const std::filesystem::path& outFile, const std::filesystem::path& errFile) {
  std::vector<std::string> envp(environment);
  for (char** entry = environ; *entry != nullptr; ++entry) envp.emplace_back(*entry);

  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
  ::posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
  auto argPointers = pointers(argv);
  auto envPointers = pointers(envp);
  pid_t pid = -1;
  const int failed = ::posix_spawnp(&pid, argv.front().c_str(), &actions, nullptr,
                                    argPointers.data(), envPointers.data());
  ::posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) throw std::runtime_error(argv.front() + " could not be started");
  return pid;
}

Ending endingOf(int status) {
  if (WIFEXITED(status)) return {true, WEXITSTATUS(status), 0};
  return {false, -1, WIFSIGNALED(status) ? WTERMSIG(status) : 0};
}

Ending waitUntilEnded(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return endingOf(status);
}

}  // namespace

void expectExit(const Finished& finished, int status) {
  EXPECT_TRUE(finished.ending.exited) << "signal " << finished.ending.signal;
  EXPECT_EQ(finished.ending.status, status) << finished.err;
}

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
                             const std::vector<std::string>& environment,
                             const std::filesystem::path& standardOutput)
    : folder_(folder) {
  const std::filesystem::path out = standardOutput.empty() ? outFile() : standardOutput;
  std::vector<std::string> argv{KIVCTL};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  pid_ = spawnProgram(argv, environment, out, errFile());
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
  const Ending ending = waitUntilEnded(pid_);
  pid_ = -1;
  return ending;
}

std::optional<Ending> KivctlProcess::waitFor(std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (::waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= end) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds{10});
  }
  pid_ = -1;
  return endingOf(status);
}

std::string KivctlProcess::out() const {
  return fileText(outFile());
}
std::string KivctlProcess::err() const {
  return fileText(errFile());
}

Finished runKivctl(const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment) {
  const TempFolder folder;
  KivctlProcess process(arguments, folder.path(), environment);
  const Ending ending = process.wait();
  return {ending, process.out(), process.err()};
}

Finished runProgram(const std::vector<std::string>& argv,
                    const std::vector<std::string>& environment) {
  const TempFolder folder;
  const auto out = folder.path() / "stdout.txt";
  const auto err = folder.path() / "stderr.txt";
  const Ending ending = waitUntilEnded(spawnProgram(argv, environment, out, err));
  return {ending, fileText(out), fileText(err)};
}

}  // namespace kiv::testing
