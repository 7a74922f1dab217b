#include "form/information_request.h"

#include "base/identity.h"

namespace kiv {

namespace {

std::string usage() {
  return "usage: kiv [/o SCHEDULE]\n"
         "\n" +
         std::string(identity::kDescription) +
         "\n"
         "Kiv starts with only its icon in the notification area. With /o it opens\n"
         "the schedule file SCHEDULE: the rest of the line, but for one pair of\n"
         "double quotes around it.\n"
         "\n"
         "  --help     show this text and exit\n"
         "  --version  show the version and exit\n";
}

}  // namespace

std::optional<std::string> informationRequested(std::span<const std::string_view> arguments) {
  if (arguments.size() != 1) return std::nullopt;
  if (arguments[0] == "--help") return usage();
  if (arguments[0] == "--version") return identity::versionLine() + "\n";
  return std::nullopt;
}

}  // namespace kiv
