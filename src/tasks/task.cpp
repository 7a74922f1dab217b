#include "tasks/task.h"

#include <utility>

namespace kiv {

void resetStoredFields(Task& task) {
  std::string commandLine = std::move(task.CommandLine);
  task = Task{};
  task.CommandLine = std::move(commandLine);
}

}  // namespace kiv
