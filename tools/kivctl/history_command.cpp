#include "history_command.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "base/text_characters.h"
#include "exit_status.h"

namespace kiv::ctl {
namespace {

using Row = std::vector<std::string>;

Row headings(bool withSchedule) {
  Row row{"at", "task", "name", "how", "result", "outcome"};
  if (withSchedule) row.emplace_back("schedule");
  return row;
}

Row rowOf(const JournalledLaunch& entry, bool withSchedule) {
  const LaunchRecord& launch = entry.launch;
  Row row{launch.at,          std::to_string(launch.task),
          launch.taskName,    std::string(launchHowName(launch.how)),
          resultText(launch), outcomeText(entry)};
  if (withSchedule) row.push_back(launch.schedule.empty() ? "(untitled)" : launch.schedule);
  return row;
}

// Columns two blanks apart, each as wide as its widest text in characters;
// the last column is not padded.
void writeTable(std::vector<Row> rows, std::ostream& out) {
  for (Row& row : rows) {
    for (std::string& cell : row) cell = shownOnTerminal(cell);
  }
  std::vector<std::size_t> widths(rows.front().size(), 0);
  for (const Row& row : rows) {
    for (std::size_t column = 0; column < row.size(); ++column) {
      widths[column] = std::max(widths[column], characterCount(row[column]));
    }
  }
  for (const Row& row : rows) {
    std::string line;
    for (std::size_t column = 0; column < row.size(); ++column) {
      line += row[column];
      if (column + 1 < row.size()) {
        line.append(widths[column] - characterCount(row[column]) + 2, ' ');
      }
    }
    out << line.substr(0, line.find_last_not_of(' ') + 1) << '\n';
  }
}

}  // namespace

int historyCommand(const HistoryFilter& filter, bool json,
                   const Result<std::string, JournalUnreadable>& journal, std::ostream& out,
                   std::ostream& err) {
  if (!journal) {
    reportError(err, "the launch journal cannot be read: " + journal.error().reason);
    return kExitFailure;
  }
  const std::vector<JournalledLaunch> launches = filteredLaunches(journal.value(), filter);
  if (json) {
    JsonWriter writer(out);
    writer.beginArray();
    for (const JournalledLaunch& launch : launches) writeLaunchJson(writer, launch);
    writer.endArray();
    out << '\n';
    return kExitSuccess;
  }
  const bool withSchedule = !filter.schedule;
  std::vector<Row> rows{headings(withSchedule)};
  for (const JournalledLaunch& launch : launches) rows.push_back(rowOf(launch, withSchedule));
  writeTable(std::move(rows), out);
  return kExitSuccess;
}

}  // namespace kiv::ctl
