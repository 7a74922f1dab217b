// The exported units as systemd itself reads them: the timers' elapse times
// from systemd-analyze against "kivctl next", the units through
// "systemd-analyze verify", and the command lines from its dump of the
// parsed service.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "base/local_time.h"
#include "compile/command_line.h"
#include "compile/windows_command_line.h"
#include "kivctl_process.h"
#include "schedule_files.h"
#include "scheduler/date_time_text.h"
#include "support/compiled_task.h"
#include "support/temp_folder.h"
#include "tasks/value_lists.h"

namespace kiv::testing {
namespace {

namespace fs = std::filesystem;

struct ProofTask {
  const char* launchAt;
  int days;
  bool launches = true;
};

// Every day pattern, fixed and recurring times, one-digit hours, the short
// form, the first and last second of the day, times in the hour that the
// start of daylight saving leaves out and the end repeats (02:00 to 02:59 in
// Europe/Berlin, on the last Sundays of March and October), and tasks that
// never launch.
const std::vector<ProofTask>& proofTasks() {
  static const std::vector<ProofTask> kTasks{
      {"00:00:00", kEveryDay},
      {"7:05:09", kWeekdaysOnly},
      {"23:59:59", kWeekendsOnly},
      {"02:30:00", kSundayOnly},
      {"01:59:59", kSundayOnly},
      {"03:00:00", kSundayOnly},
      {"12:30:00", kMondayOnly},
      {"01:00:?6", kTuesdayOnly},
      {"08:45:?5", kWednesdayOnly},
      {"9:15:00", kThursdayOnly},
      {"18:00:00", kFridayOnly},
      {"03:00:?1", kSaturdayOnly},
      {"00:00:01", kFirstDayOfMonth},
      {"23:59:00", kLastDayOfMonth},
      {"02:30:00", kLastDayOfMonth},
      {"06:00:?4", kFirstWeekdayOfMonth},
      {"17:30:00", kLastWeekdayOfMonth},
      {"00:00:?9", kFirstWeekdayOfMonth},
      {"22:15:?1", kLastWeekdayOfMonth},
      {"00:00:?1", kEveryDay},
      {"02:00:?3", kEveryDay},
      {"12:34", kEveryDay},
      {"02:15:00", kWeekendsOnly},
      {"23:00:?5", kEveryDay},
      {"05:00:?0", kWeekdaysOnly, false},
      {"12:30:??", kEveryDay, false},
      {"04:05:?2", kFirstDayOfMonth},
      {"00:30:?7", kLastDayOfMonth},
      {"19:00:00", kFirstWeekdayOfMonth},
      {"21:45:00", kLastWeekdayOfMonth, false},  // fails compilation: see below
  };
  return kTasks;
}

constexpr int kFailsCompilation = 29;

TaskTable proofSchedule() {
  TaskTable tasks;
  for (std::size_t index = 0; index < proofTasks().size(); ++index) {
    const ProofTask& proof = proofTasks()[index];
    Task& task = tasks.at(index);
    task = compiledTask(static_cast<int>(index), proof.launchAt,
                        static_cast<std::uint8_t>(proof.days));
    // systemd-analyze verify wants the program to be there.
    task.AccessLocation = KIV_STAND_IN;
  }
  tasks.at(kFailsCompilation).Action = kMacro;  // without a macro name
  return tasks;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

// Exports `tasks` as schedule.kiv into a "units" folder beside it.
struct ExportedSchedule {
  TempFolder folder;
  fs::path schedule = folder.path() / "proof.kiv";
  fs::path units = folder.path() / "units";
  Finished exported;

  explicit ExportedSchedule(const TaskTable& tasks) {
    writeSchedule(schedule, tasks);
    exported = runKivctl({"export", schedule.string(), "--systemd", units.string()});
  }

  fs::path unit(int index, std::string_view suffix) const {
    return units / ("kiv-proof-task" + std::to_string(index + 1) + std::string(suffix));
  }

  std::vector<std::string> calendarEvents(int index) const {
    std::vector<std::string> events;
    for (const std::string& line : lines(fileText(unit(index, ".timer")))) {
      if (line.starts_with("OnCalendar=")) events.push_back(line.substr(11));
    }
    return events;
  }
};

// The local date and time texts of the elapses systemd-analyze lists, in the
// order it lists them, spec after spec.
std::vector<std::string> elapseTimes(const std::string& output) {
  std::vector<std::string> times;
  for (std::string line : lines(output)) {
    line.erase(0, line.find_first_not_of(' '));
    if (!line.starts_with("Next elapse: ") && !line.starts_with("Iter. #")) continue;
    const std::string stamp = line.substr(line.find(": ") + 2);  // "Sat 2025-03-29 02:30:00 CET"
    if (stamp != "never") times.push_back(stamp.substr(4, 19));
  }
  return times;
}

// Sets the process's time zone while it lives, so the C library answers for
// that zone.
class ZoneForTest {
 public:
  explicit ZoneForTest(const std::string& zone) {
    if (const char* old = std::getenv("TZ")) saved_ = old;
    ::setenv("TZ", zone.c_str(), 1);
    ::tzset();
  }
  ~ZoneForTest() {
    if (saved_) {
      ::setenv("TZ", saved_->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }
  ZoneForTest(const ZoneForTest&) = delete;
  ZoneForTest& operator=(const ZoneForTest&) = delete;

 private:
  std::optional<std::string> saved_;
};

// How many moments the zone gives this wall-clock time: 0 in the hour the
// start of daylight saving leaves out, 2 in the hour its end repeats.
int occurrences(LocalTime time) {
  const CivilTime civil = toCivil(time);
  std::set<std::time_t> moments;
  for (const int daylightSaving : {0, 1}) {
    std::tm fields{};
    fields.tm_year = civil.year - 1900;
    fields.tm_mon = civil.month - 1;
    fields.tm_mday = civil.day;
    fields.tm_hour = civil.hour;
    fields.tm_min = civil.minute;
    fields.tm_sec = civil.second;
    fields.tm_isdst = daylightSaving;
    const std::time_t moment = std::mktime(&fields);
    std::tm back{};
    ::localtime_r(&moment, &back);
    if (back.tm_isdst == daylightSaving && back.tm_hour == civil.hour &&
        back.tm_min == civil.minute && back.tm_mday == civil.day) {
      moments.insert(moment);
    }
  }
  return static_cast<int>(moments.size());
}

struct Span {
  const char* zone;
  const char* from;
};

void PrintTo(const Span& span, std::ostream* os) {
  *os << span.zone << " from " << span.from;
}

class TimersElapseWhenNextSays : public ::testing::TestWithParam<Span> {};

// systemd-analyze lists the elapses after its base time, "kivctl next" the
// launches from its start on; both for two years. Where the zone leaves a
// wall-clock time out, systemd does not elapse, while the scheduler makes up
// a fixed launch time at the first second after the change and "next" lists
// that launch ("which daylight saving skips"): those launches are taken out
// of the expectation, and counted. A wall-clock time that "next" lists and
// the zone leaves out would be one neither launches, and is left out too.
TEST_P(TimersElapseWhenNextSays, ForTwoYears) {
  const Span span = GetParam();
  const LocalTime from = *parseDateTime(span.from);
  const CivilTime start = toCivil(from);
  const LocalTime until =
      fromCivil({start.year + 2, start.month, start.day, start.hour, start.minute, start.second});
  const std::vector<std::string> zone{std::string("TZ=") + span.zone};
  const ExportedSchedule exported(proofSchedule());
  ASSERT_EQ(exported.exported.ending.status, 0) << exported.exported.err;

  const Finished next = runProgram({KIVCTL, "next", exported.schedule.string(), "--from", span.from,
                                    "--until", dateTimeText(until), "--count", "1000000"},
                                   zone);
  ASSERT_EQ(next.ending.status, 0) << next.err;
  std::map<int, std::vector<std::string>> launches;
  int leftOut = 0;
  for (const std::string& line : lines(next.out)) {
    if (line.ends_with("which daylight saving skips)")) {
      ++leftOut;
      continue;
    }
    launches[std::stoi(line.substr(line.find("task ") + 5)) - 1].push_back(line.substr(0, 19));
  }

  const ZoneForTest zoneHere(span.zone);
  int repeated = 0;
  for (std::size_t index = 0; index < proofTasks().size(); ++index) {
    const int task = static_cast<int>(index);
    SCOPED_TRACE("task " + std::to_string(task + 1) + " \"" + proofTasks()[index].launchAt + "\"");
    if (!proofTasks()[index].launches) {
      EXPECT_FALSE(fs::exists(exported.unit(task, ".timer")));
      EXPECT_FALSE(launches.contains(task));
      continue;
    }
    std::vector<std::string> expected;
    for (const std::string& at : launches[task]) {
      const int times = occurrences(*parseDateTime(at));
      leftOut += times == 0 ? 1 : 0;
      repeated += times == 2 ? 1 : 0;
      if (times != 0) expected.push_back(at);
    }
    ASSERT_FALSE(expected.empty());

    // One more elapse than expected from each event shows that none has more.
    std::vector<std::string> analyze{"systemd-analyze", "calendar",
                                     "--iterations=" + std::to_string(expected.size() + 1),
                                     "--base-time=" + dateTimeText(from - std::chrono::seconds{1})};
    const std::vector<std::string> events = exported.calendarEvents(task);
    ASSERT_FALSE(events.empty());
    analyze.insert(analyze.end(), events.begin(), events.end());
    const Finished calendar = runProgram(analyze, zone);
    ASSERT_EQ(calendar.ending.status, 0) << calendar.err;
    std::vector<std::string> elapses = elapseTimes(calendar.out);
    std::erase_if(elapses, [&](const std::string& at) { return at > dateTimeText(until); });
    std::ranges::sort(elapses);
    EXPECT_EQ(elapses, expected);
  }
  if (std::string(span.zone) == "UTC") {
    EXPECT_EQ(leftOut + repeated, 0);
  } else {
    // The span meets two starts and two ends of daylight saving.
    EXPECT_GT(leftOut, 0);
    EXPECT_GT(repeated, 0);
  }
  std::cout << span.zone << " from " << span.from << ": " << leftOut
            << " launches of 'next' in hours the zone leaves out, " << repeated
            << " in hours it repeats\n";
}

// A leap year and a century year that is none, the spring and autumn changes
// in Europe/Berlin as the start day, and a start at the last second of a year.
INSTANTIATE_TEST_SUITE_P(
    Zones, TimersElapseWhenNextSays,
    ::testing::Values(
        Span{"UTC", "2024-01-01 00:00:00"}, Span{"UTC", "2027-12-31 23:59:59"},
        Span{"UTC", "2099-03-01 00:00:00"}, Span{"Europe/Berlin", "2024-01-01 00:00:00"},
        Span{"Europe/Berlin", "2025-03-30 00:00:00"}, Span{"Europe/Berlin", "2026-10-25 00:00:00"},
        Span{"Europe/Berlin", "2027-12-31 23:59:59"}, Span{"Europe/Berlin", "2099-03-01 00:00:00"}),
    [](const ::testing::TestParamInfo<Span>& info) {
      std::string name = std::string(info.param.zone) + "_" + info.param.from;
      std::ranges::replace_if(
          name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
      return name;
    });

TEST(ExportedUnits, PassSystemdAnalyzeVerify) {
  TaskTable tasks = proofSchedule();
  // A time limit and a catch-up window add settings to the units.
  tasks.at(0).Options = {
      std::chrono::minutes{0}, std::chrono::minutes{90}, std::chrono::hours{6}, 1, {}};
  tasks.at(1).Options.timeLimit = std::chrono::minutes{1440};
  const ExportedSchedule exported(tasks);
  ASSERT_EQ(exported.exported.ending.status, 0) << exported.exported.err;
  std::vector<std::string> verify{"systemd-analyze", "verify", "--man=no"};
  for (const auto& entry : fs::directory_iterator(exported.units)) {
    verify.push_back(entry.path().string());
  }
  ASSERT_EQ(verify.size(), 3U + 2U * 27U);

  const Finished verified = runProgram(verify);

  EXPECT_EQ(verified.ending.status, 0);
  EXPECT_EQ(verified.out + verified.err, "");
}

// Reads one word of systemd's own dump of a command line: a bare word, or a
// double-quoted one with C escapes.
std::string dumpWord(std::string_view& text) {
  std::string word;
  if (!text.starts_with('"')) {
    const std::size_t end = std::min(text.find(' '), text.size());
    word = text.substr(0, end);
    text.remove_prefix(end);
    return word;
  }
  std::size_t pos = 1;
  for (; pos < text.size() && text[pos] != '"'; ++pos) {
    if (text[pos] != '\\') {
      word += text[pos];
      continue;
    }
    const char escaped = text[++pos];
    const std::map<char, char> named{{'t', '\t'}, {'n', '\n'}, {'r', '\r'}};
    if (escaped == 'x') {
      word += static_cast<char>(std::stoi(std::string(text.substr(pos + 1, 2)), nullptr, 16));
      pos += 2;
    } else {
      word += named.contains(escaped) ? named.at(escaped) : escaped;
    }
  }
  text.remove_prefix(pos + 1);
  return word;
}

// What the service manager does with each argument when it starts the
// program: "$$" is "$", "${NAME}" the variable's value and a word "$NAME" its
// value split into words. A variable is marked instead of looked up, so that
// any expansion shows.
std::string expanded(const std::string& argument) {
  if (argument.size() > 1 && argument[0] == '$' && argument[1] != '$' && argument[1] != '{') {
    return "<split " + argument.substr(1) + ">";
  }
  std::string result;
  for (std::size_t pos = 0; pos < argument.size(); ++pos) {
    if (argument.compare(pos, 2, "$$") == 0) {
      result += '$';
      ++pos;
    } else if (argument.compare(pos, 2, "${") == 0 &&
               argument.find('}', pos) != std::string::npos) {
      const std::size_t close = argument.find('}', pos);
      result += "<" + argument.substr(pos + 2, close - pos - 2) + ">";
      pos = close;
    } else {
      result += argument[pos];
    }
  }
  return result;
}

struct ParsedService {
  std::string description;
  std::vector<std::string> arguments;  // as the program receives them
};

// The service as systemd parses it, from the dump of the unit that
// "systemd-analyze verify" writes at debug level.
ParsedService parsedService(const fs::path& service) {
  const Finished verified = runProgram({"systemd-analyze", "verify", "--man=no", service.string()},
                                       {"SYSTEMD_LOG_LEVEL=debug"});
  EXPECT_EQ(verified.ending.status, 0) << verified.err;
  ParsedService parsed;
  bool inUnit = false;
  for (std::string line : lines(verified.out + verified.err)) {
    line.erase(0, line.find_first_not_of("\t "));
    if (line.starts_with("-> Unit "))
      inUnit = line == "-> Unit " + service.filename().string() + ":";
    if (!inUnit) continue;
    if (line.starts_with("Description: ")) parsed.description = line.substr(13);
    if (!line.starts_with("Command Line: ")) continue;
    std::string_view text = std::string_view(line).substr(14);
    while (!text.empty()) {
      parsed.arguments.push_back(expanded(dumpWord(text)));
      text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    }
  }
  return parsed;
}

TEST(ExportedUnits, HostileTextsReachTheProgramAsTheStarterPassesThem) {
  const TempFolder programs;
  // "%" and a blank in the program's own path, which must exist for verify.
  const fs::path program = programs.path() / "stand in 100%n";
  fs::create_symlink(KIV_STAND_IN, program);

  TaskTable tasks;
  Task& task = tasks[0] = compiledTask(0, "02:00:00");
  task.TaskName = "Evil %n ${HOME}\\";
  task.AccessLocation = program.string();
  task.DatabaseLocation = R"(/srv/db 100%/$HOME;"x".mdb)";
  task.SecurityFileLocation = R"(/srv/sec\\"weird 'q')";
  task.Username = "O'Brien;$USER";
  task.Password = R"(p%n$HOME"\ \" %% $$ ${X})";
  task.Action = kCmd;
  task.Macro = R"(echo ; rm -rf "/ x" $HOME ${HOME} %n %h 100%% \"q\" back\\slash 'single')"
               " \"tab\there\" @at -dash \\; ;x \\\\\"end";
  const ExportedSchedule exported(tasks);
  ASSERT_EQ(exported.exported.ending.status, 0) << exported.exported.err;

  const ParsedService parsed = parsedService(exported.unit(0, ".service"));

  const std::vector<std::string> started =
      splitWindowsCommandLine(composeCommandLine(compileInputsFor(task)));
  EXPECT_EQ(parsed.arguments, started);
  EXPECT_GT(started.size(), 20U);
  EXPECT_EQ(parsed.description, "Kiv task 1 \"Evil %n ${HOME}\\\" (proof.kiv)");
}

}  // namespace
}  // namespace kiv::testing
