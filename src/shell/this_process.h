#pragma once

#include <string>

namespace kiv {

// The process the program runs in.
class ThisProcess {
 public:
  virtual ~ThisProcess() = default;
  virtual void endProcess() = 0;
  // The process's arguments: the command line after the program's own name.
  virtual std::string commandArguments() = 0;
};

}  // namespace kiv
