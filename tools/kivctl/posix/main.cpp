// kivctl: the command-line companion of the Kiv scheduler.
#include <iostream>
#include <string_view>
#include <vector>

#include "commands.h"

int main(int argc, char* argv[]) {
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  return kiv::ctl::runKivctl(arguments, std::cout, std::cerr);
}
