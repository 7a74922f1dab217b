#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kiv::testing {

// The text of a file once it holds `wanted`, or what it holds when `limit`
// passed first (a test then fails on the text, never on the time it took).
std::string waitForText(const std::filesystem::path& file, std::string_view wanted,
                        std::chrono::seconds limit = std::chrono::seconds{20});

// How a process ended.
struct Ending {
  bool exited = false;
  int status = -1;  // the exit status, when it exited
  int signal = 0;   // the signal that ended it, when it did not
};

// The real kivctl binary run as a process, with its standard output and
// error going to files in `folder` (or standard output to `standardOutput`,
// when given) and its standard input on /dev/null. Environment entries
// "NAME=value" are added to the test's own environment.
class KivctlProcess {
 public:
  KivctlProcess(const std::vector<std::string>& arguments, const std::filesystem::path& folder,
                const std::vector<std::string>& environment = {},
                const std::filesystem::path& standardOutput = {});
  ~KivctlProcess();
  KivctlProcess(const KivctlProcess&) = delete;
  KivctlProcess& operator=(const KivctlProcess&) = delete;

  void signal(int number);
  Ending wait();
  // The ending, or nullopt when the process is still running after `limit`.
  std::optional<Ending> waitFor(std::chrono::milliseconds limit);
  // The processes kivctl started that have not been reaped yet, zombies
  // among them, as /proc lists them.
  std::vector<pid_t> children() const;

  std::filesystem::path outFile() const { return folder_ / "stdout.txt"; }
  std::filesystem::path errFile() const { return folder_ / "stderr.txt"; }
  std::string out() const;
  std::string err() const;

 private:
  std::filesystem::path folder_;
  pid_t pid_ = -1;
};

// A run of kivctl to its end.
struct Finished {
  Ending ending;
  std::string out;
  std::string err;
};

// Expects that the run exited by itself with `status`, and shows its
// standard error when not.
void expectExit(const Finished& finished, int status);

Finished runKivctl(const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment = {});

// Any program, looked up on PATH, run to its end the same way; environment
// entries "NAME=value" win over the test's own.
Finished runProgram(const std::vector<std::string>& argv,
                    const std::vector<std::string>& environment = {});

}  // namespace kiv::testing
