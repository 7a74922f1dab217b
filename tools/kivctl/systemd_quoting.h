#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kiv::ctl {

// Why systemd cannot start the program and arguments (as the POSIX starter
// splits a composed command line) exactly as the starter would, in words that
// follow "cannot be exported: "; nullopt when it can.
std::optional<std::string> execStartProblem(const std::vector<std::string>& arguments);

// The value of an ExecStart= line that starts `arguments` unchanged: each
// argument as one double-quoted word, in which systemd reads no text of its
// own. Only for arguments execStartProblem lets through.
std::string execStartValue(const std::vector<std::string>& arguments);

// A free text (a description) as the value of a unit setting that shows it as
// written: "%" doubled so it names no specifier, and control characters shown
// as "\xNN", since systemd takes no escapes there and a line break would end
// the setting.
std::string plainSettingValue(std::string_view text);

}  // namespace kiv::ctl
