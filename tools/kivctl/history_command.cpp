#include "history_command.h"

#include <utility>
#include <vector>

#include "exit_status.h"
#include "fitted_table.h"

namespace kiv::ctl {
namespace {

using Row = std::vector<std::string>;

// What a narrow console leaves out first: how a launch came about, which the
// result and the outcome mostly tell; then the task's name, which its number
// stands for; the schedule last.
std::vector<TableColumn> columns(bool withSchedule) {
  std::vector<TableColumn> shown{{"at"},     {"task"},         {"name", true, 2}, {"how", false, 1},
                                 {"result"}, {"outcome", true}};
  if (withSchedule) shown.push_back({"schedule", true, 3});
  return shown;
}

Row rowOf(const JournalledLaunch& entry, bool withSchedule) {
  const LaunchRecord& launch = entry.launch;
  Row row{launch.at,          std::to_string(launch.task),
          launch.taskName,    std::string(launchHowName(launch.how)),
          resultText(launch), outcomeText(entry)};
  if (withSchedule) row.push_back(launch.schedule.empty() ? "(untitled)" : launch.schedule);
  return row;
}

}  // namespace

int historyCommand(const HistoryFilter& filter, const HistoryShape& shape,
                   const Result<std::string, JournalUnreadable>& journal, std::ostream& out,
                   std::ostream& err) {
  if (!journal) {
    reportError(err, "the launch journal cannot be read: " + journal.error().reason);
    return kExitFailure;
  }
  const std::vector<JournalledLaunch> launches = filteredLaunches(journal.value(), filter);
  if (shape.json) {
    JsonWriter writer(out);
    writer.beginArray();
    for (const JournalledLaunch& launch : launches) writeLaunchJson(writer, launch);
    writer.endArray();
    out << '\n';
    return kExitSuccess;
  }
  const bool withSchedule = !filter.schedule;
  std::vector<Row> rows;
  rows.reserve(launches.size());
  for (const JournalledLaunch& launch : launches) rows.push_back(rowOf(launch, withSchedule));
  writeFittedTable(columns(withSchedule), std::move(rows), shape.width, out);
  return kExitSuccess;
}

}  // namespace kiv::ctl
