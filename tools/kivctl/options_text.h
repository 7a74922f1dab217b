#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "json_writer.h"
#include "tasks/task_options.h"

namespace kiv::ctl {

// A task's options as kivctl prints them, each under its name:
// waitMinutes, timeLimitMinutes ("none" for no limit), catchUpHours ("off"
// when launches are not made up), backups (the copies of the database kept)
// and backupFolder ("default" for the folder beside the database), each as
// "kivctl options" takes it.
std::array<std::pair<std::string_view, std::string>, 5> optionsText(const TaskOptions& options);

// The "options" value of a task in JSON: the same names, with null for no
// time limit and no catch-up, and "" for the default backup folder.
void writeOptionsJson(JsonWriter& json, const TaskOptions& options);

}  // namespace kiv::ctl
