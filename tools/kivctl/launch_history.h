#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/local_time.h"
#include "json_writer.h"
#include "shell/launch_journal.h"

namespace kiv::ctl {

// Which journalled launches to show: of one schedule file, one task, from a
// local time on.
struct HistoryFilter {
  std::optional<std::string> schedule;
  std::optional<int> task;
  std::optional<LocalTime> since;  // inclusive
};

// The launches of the journal's text that pass the filter, oldest first,
// each with its outcome once that was journalled. A schedule file matches
// the journal's name for it when both name the same file (a relative path,
// a link); a file that is gone matches its name.
std::vector<JournalledLaunch> filteredLaunches(std::string_view journalText,
                                               const HistoryFilter& filter);

// The last journalled launch of each task of a schedule, by task number.
std::map<int, JournalledLaunch> lastLaunches(std::string_view journalText,
                                             const std::string& schedule);

// "started, pid 4242", "started", "not started" or "missed"; a launch that
// waited for its database says how long: "started after waiting 12.0 s, pid
// 4242".
std::string resultText(const LaunchRecord& launch);
// How a started program ended ("exit status 0 after 1.5 s", "-" while it is
// not known), or why the launch did not start.
std::string outcomeText(const JournalledLaunch& launch);

// One launch as a JSON object: the journal's fields, and the outcome as an
// object or null.
void writeLaunchJson(JsonWriter& json, const JournalledLaunch& launch);

}  // namespace kiv::ctl
