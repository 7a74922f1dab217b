#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

// One record written by kiv_stand_in (see stand_in.cpp for the layout).
struct StandInRecord {
  std::map<std::string, std::string> fields;  // every "key value" line but the arguments
  std::vector<std::string> arguments;         // argv, program name first
};

// Reads the first record of text; nullopt when it is incomplete or malformed.
std::optional<StandInRecord> parseStandInRecord(std::string_view text);

}  // namespace kiv
