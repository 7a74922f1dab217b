#pragma once

#include <string>
#include <vector>

#include "shell/launch_journal.h"
#include "shell/system_log.h"

namespace kiv {

// Whether launches that went well reach the system's log too; failures
// always do.
enum class SuccessLogging { Off, On };

// The entries the system's log gets for a journal record: a launch not
// started or missed, a program that failed (an exit status other than 0, a
// signal, a time limit), a database put back from its copy; and, when asked
// for, a launch started and a program that ended with status 0. Each names
// the schedule, the task's number and name and what the journal says
// happened; the command line, which may hold a password, never.
std::vector<SystemLogEntry> systemLogEntries(const LaunchRecord& launch, SuccessLogging successes);
// An ended record does not repeat its task's name, which is given.
std::vector<SystemLogEntry> systemLogEntries(const EndedRecord& end, const std::string& taskName,
                                             SuccessLogging successes);

}  // namespace kiv
