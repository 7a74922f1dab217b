#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace kiv {

// The seconds of a day at which a launch time can make a task due, earliest
// first: one for a fixed time, second 0 of minute mm in hours S, S+N, ... up
// to 23 for a recurring one. Only candidates: whether a task is due at one of
// them is for the due test to say. When none can ever be due, the reason, in
// words that follow "never launches: ".
using DailyCandidates = Result<std::vector<std::chrono::seconds>, std::string>;

DailyCandidates dailyCandidates(std::string_view launchAt);

}  // namespace kiv
