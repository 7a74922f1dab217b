#include "export_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <sstream>

#include "schedule_files.h"
#include "support/compiled_task.h"
#include "support/temp_folder.h"
#include "support/zone_rules.h"
#include "tasks/value_lists.h"

namespace kiv::ctl {
namespace {

namespace fs = std::filesystem;
using testing::compiledTask;
using testing::fileText;
using testing::TempFolder;

struct Exported {
  int status;
  std::string out;
  std::string err;
};

Exported exportUnits(const fs::path& schedule, const ExportOptions& options) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = exportCommand(schedule.string(), options, out, err);
  return {status, out.str(), err.str()};
}

// User units into `directory`, a folder the user's service manager reads,
// named after the schedule, not persistent.
ExportOptions into(const fs::path& directory) {
  ExportOptions options;
  options.directory = directory;
  options.searchFolders = {directory};
  return options;
}

// The line that names the exported compacts, which systemd starts without
// the guard Kiv keeps around them.
std::string unguardedNote(const std::string& tasks) {
  return "kivctl: the exported files start the compact, repair or decompile of " + tasks +
         " without the guard Kiv keeps: nothing waits while somebody has the database open, no "
         "copy of it is kept and nothing puts it back when the run damages it\n";
}

std::vector<std::string> sortedNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::ranges::sort(names);
  return names;
}

// A weekday task with a name and a password, one that never launches, one
// that closes the scheduler after running, and one left uncompiled.
TaskTable mixedTasks() {
  TaskTable tasks;
  tasks[0] = compiledTask(0, "02:00:00", kWeekdaysOnly);
  tasks[0].TaskName = "Nightly 100% \"compact\"";
  tasks[0].Password = "s3cret$";
  tasks[1] = compiledTask(1, "12:30:?0");
  tasks[2] = compiledTask(2, "06:15:?8", kLastWeekdayOfMonth);
  tasks[2].CloseAfterRunning = 1;
  tasks[3] = compiledTask(3, "04:00:00");
  tasks[3].Compiled = 0;
  return tasks;
}

TEST(ExportCommand, WritesAServiceAndATimerForEachTaskTheTickStarts) {
  const TempFolder folder;
  const fs::path schedule = folder.path() / "nightly.kiv";
  testing::writeSchedule(schedule, mixedTasks());
  const fs::path units = folder.path() / "config" / "systemd" / "user";

  const Exported exported = exportUnits(schedule, into(units));

  EXPECT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(sortedNames(units),
            (std::vector<std::string>{"kiv-nightly-task1.service", "kiv-nightly-task1.timer",
                                      "kiv-nightly-task3.service", "kiv-nightly-task3.timer"}));
  for (const auto& entry : fs::directory_iterator(units)) {
    EXPECT_EQ(fs::status(entry.path()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write)
        << entry.path();
  }
  EXPECT_EQ(fileText(units / "kiv-nightly-task1.service"),
            "[Unit]\n"
            "Description=Kiv task 1 \"Nightly 100%% \"compact\"\" (nightly.kiv)\n"
            "\n"
            "[Service]\n"
            "Type=oneshot\n"
            "ExecStart=\"/opt/db/access\" \"/srv/task1.mdb\" \"/user\" \"Admin\" \"/pwd\" "
            "\"s3cret$$\" \"/compact\"\n");
  EXPECT_EQ(fileText(units / "kiv-nightly-task1.timer"),
            "[Unit]\n"
            "Description=Kiv task 1 \"Nightly 100%% \"compact\"\" (nightly.kiv)\n"
            "\n"
            "[Timer]\n"
            "OnCalendar=Mon,Tue,Wed,Thu,Fri *-*-* 02:00:00\n"
            "AccuracySec=1s\n"
            "Persistent=false\n"
            "\n"
            "[Install]\n"
            "WantedBy=timers.target\n");
  EXPECT_NE(fileText(units / "kiv-nightly-task3.timer")
                .find("OnCalendar=Mon,Tue,Wed,Thu,Fri *-*~01 06,14,22:15:00\n"
                      "OnCalendar=Fri *-*~02,03 06,14,22:15:00\n"),
            std::string::npos);
  EXPECT_EQ(exported.out, "wrote " + (units / "kiv-nightly-task1.service").string() +
                              "\n"
                              "wrote " +
                              (units / "kiv-nightly-task1.timer").string() +
                              "\n"
                              "wrote " +
                              (units / "kiv-nightly-task3.service").string() +
                              "\n"
                              "wrote " +
                              (units / "kiv-nightly-task3.timer").string() +
                              "\n"
                              "\n"
                              "To start the timers now and at every boot:\n"
                              "  systemctl --user daemon-reload\n"
                              "  systemctl --user enable --now kiv-nightly-task1.timer\n"
                              "  systemctl --user enable --now kiv-nightly-task3.timer\n"
                              "For timers that must elapse while you are not logged in:\n"
                              "  loginctl enable-linger\n");
  EXPECT_EQ(exported.err,
            "kivctl: task 2 (launch time \"12:30:?0\") never launches: its interval is 0 hours\n"
            "kivctl: task 3 has \"Close KIV after running?\" checked, which has no meaning for a "
            "timer: there is no scheduler to close\n" +
                unguardedNote("tasks 1, 3"));
}

// What a task's options become in its units, and the line, once per task,
// that names what the units carry only in part.
TEST(ExportCommand, CarriesTheOptionsSystemdHasAndSaysWhereItDiffers) {
  using std::chrono::hours;
  using std::chrono::minutes;
  struct Case {
    std::string launchAt;
    TaskOptions options;
    std::string timeout;  // the service's last line, when it limits the run
    bool persistent;
    std::string note;  // on standard error, after "kivctl: task N: "
  };
  const std::string lateCatchUp =
      "its timer is persistent and makes up a launch missed while the machine was off however "
      "late, where the scheduler makes it up only when it is at most ";
  const std::string noWait =
      " minutes for a busy database has no counterpart: a timer only does not start its service "
      "again while it still runs, and starts it at once beside another task's program";
  const std::vector<Case> cases{
      {"02:00:00", {}, "", false, ""},
      {"02:00:00",
       {minutes{60}, minutes{90}, std::nullopt, 1, {}},
       "TimeoutStartSec=90min",
       false,
       ""},
      {"02:00:00",
       {minutes{60}, minutes{1440}, hours{12}, 1, {}},
       "TimeoutStartSec=1440min",
       true,
       lateCatchUp + "12 hours late"},
      // The scheduler makes up no recurring launch time, and neither does the timer.
      {"06:15:?8", {minutes{60}, std::nullopt, hours{5}, 1, {}}, "", false, ""},
      {"06:15:?8",
       {minutes{0}, std::nullopt, hours{5}, 1, {}},
       "",
       false,
       "its wait of 0" + noWait},
      {"05:00:00",
       {minutes{30}, minutes{1}, hours{168}, 1, {}},
       "TimeoutStartSec=1min",
       true,
       lateCatchUp + "168 hours late; its wait of 30" + noWait},
  };
  TaskTable tasks;
  for (std::size_t index = 0; index < cases.size(); ++index) {
    const int task = static_cast<int>(index);
    tasks.at(task) = compiledTask(task, cases[index].launchAt);
    tasks.at(task).Options = cases[index].options;
  }
  const TempFolder folder;
  const fs::path schedule = folder.path() / "nightly.kiv";
  testing::writeSchedule(schedule, tasks);

  const Exported exported = exportUnits(schedule, into(folder.path() / "units"));

  EXPECT_EQ(exported.status, 0) << exported.err;
  std::string notes;
  for (std::size_t index = 0; index < cases.size(); ++index) {
    const Case& c = cases[index];
    SCOPED_TRACE("task " + std::to_string(index + 1));
    const fs::path stem =
        folder.path() / "units" / ("kiv-nightly-task" + std::to_string(index + 1));
    const std::string service = fileText(stem.string() + ".service");
    if (c.timeout.empty()) {
      EXPECT_EQ(service.find("Timeout"), std::string::npos) << service;
    } else {
      EXPECT_TRUE(service.ends_with("\nType=oneshot\nExecStart=\"/opt/db/access\" \"/srv/task" +
                                    std::to_string(index + 1) +
                                    ".mdb\" \"/user\" \"Admin\" "
                                    "\"/compact\"\n" +
                                    c.timeout + "\n"))
          << service;
    }
    EXPECT_EQ(service.find("RuntimeMaxSec"), std::string::npos) << service;
    EXPECT_NE(fileText(stem.string() + ".timer")
                  .find(c.persistent ? "\nPersistent=true\n" : "\nPersistent=false\n"),
              std::string::npos);
    if (!c.note.empty())
      notes += "kivctl: task " + std::to_string(index + 1) + ": " + c.note + "\n";
  }
  EXPECT_EQ(exported.err, notes + unguardedNote("tasks 1, 2, 3, 4, 5, 6"));
}

TEST(ExportCommand, SystemUnitsArePersistentOnRequestAndWarnOfVisiblePasswords) {
  const TempFolder folder;
  const fs::path schedule = folder.path() / "nightly.kiv";
  testing::writeSchedule(schedule, mixedTasks());

  ExportOptions options = into(folder.path() / "units");
  options.scope = UnitScope::System;
  options.prefix = "db";
  options.persistent = true;
  const Exported exported = exportUnits(schedule, options);

  EXPECT_EQ(exported.status, 0) << exported.err;
  EXPECT_NE(fileText(folder.path() / "units" / "db-task1.timer").find("\nPersistent=true\n"),
            std::string::npos);
  EXPECT_NE(exported.out.find("  systemctl daemon-reload\n"
                              "  systemctl enable --now db-task1.timer\n"
                              "  systemctl enable --now db-task3.timer\n"),
            std::string::npos)
      << exported.out;
  EXPECT_NE(exported.err.find("kivctl: the system's service manager shows a service's command "
                              "line, and with it the password, to every user"),
            std::string::npos)
      << exported.err;

  // Without a password there is nothing to warn of.
  TaskTable tasks = mixedTasks();
  tasks[0].Password.clear();
  testing::writeSchedule(schedule, tasks);
  options.persistent = false;
  const Exported plain = exportUnits(schedule, options);
  EXPECT_EQ(plain.err.find("password"), std::string::npos) << plain.err;
}

TEST(ExportCommand, ATaskSystemdCannotStartAsTheStarterDoesFailsTheExport) {
  const TempFolder folder;
  const fs::path schedule = folder.path() / "nightly.kiv";
  TaskTable tasks;
  tasks[0] = compiledTask(0, "02:00:00");
  tasks[0].AccessLocation = R"(C:\Office\MSACCESS.EXE)";
  tasks[1] = compiledTask(1, "03:00:00");
  testing::writeSchedule(schedule, tasks);

  const Exported exported = exportUnits(schedule, into(folder.path() / "units"));

  EXPECT_EQ(exported.status, 1);
  EXPECT_EQ(exported.err,
            "kivctl: task 1 cannot be exported: its program \"C:\\Office\\MSACCESS.EXE\" holds a "
            "quote, a backslash, a \"$\" or a control character, which systemd does not take in "
            "the name of a program\n" +
                unguardedNote("task 2"));
  EXPECT_EQ(sortedNames(folder.path() / "units"),
            (std::vector<std::string>{"kiv-nightly-task2.service", "kiv-nightly-task2.timer"}));
}

// The scheduler starts the file up to the quote and tells it another name;
// systemd would start the name the program is told.
TEST(ExportCommand, RefusesAProgramWhoseNameHoldsAQuote) {
  const TempFolder folder;
  const fs::path schedule = folder.path() / "nightly.kiv";
  TaskTable tasks;
  tasks[0] = compiledTask(0, "02:00:00");
  tasks[0].AccessLocation = "/opt/db/rec\"args";
  testing::writeSchedule(schedule, tasks);

  const Exported exported = exportUnits(schedule, into(folder.path() / "units"));

  EXPECT_EQ(exported.status, 1);
  EXPECT_EQ(exported.err,
            "kivctl: task 1 cannot be exported: the location of Access holds a double quote, so "
            "the scheduler starts \"/opt/db/rec\" and tells it another name\n");
  EXPECT_EQ(sortedNames(folder.path() / "units"), std::vector<std::string>{});
}

TEST(ExportCommand, SaysWhereUnitsMustGoWhenSystemdDoesNotReadTheFolder) {
  const TempFolder folder;
  const fs::path schedule = folder.path() / "nightly.kiv";
  testing::writeSchedule(schedule, mixedTasks());
  const fs::path config = folder.path() / "config" / "systemd" / "user";

  struct Case {
    const char* name;
    UnitScope scope;
    fs::path directory;
    bool copyAdvised;
    bool lingerAdvised;
  };
  const Case cases[] = {
      {"UserFolderRead", UnitScope::User, config, false, true},
      {"UserFolderSpeltAnotherWay", UnitScope::User, config / ".." / "user" / "", false, true},
      {"UserFolderNotRead", UnitScope::User, folder.path() / "units", true, true},
      {"SystemFolderNotRead", UnitScope::System, folder.path() / "units", true, false},
  };
  for (const Case& c : cases) {
    ExportOptions options = into(c.directory);
    options.scope = c.scope;
    options.searchFolders = {config, "/etc/systemd/user"};
    const Exported exported = exportUnits(schedule, options);
    EXPECT_EQ(exported.status, 0) << c.name << exported.err;
    const std::string copy = "systemd reads no units from " + c.directory.string() +
                             ": copy them into " + config.string() + " first.\n";
    EXPECT_EQ(exported.out.find(copy) != std::string::npos, c.copyAdvised)
        << c.name << exported.out;
    EXPECT_EQ(exported.out.find("  loginctl enable-linger\n") != std::string::npos, c.lingerAdvised)
        << c.name << exported.out;
  }
}

// A year is looked at from `now`: the spring change of 2027 is in it.
TEST(ExportCommand, NamesTasksDueInTheHourDaylightSavingSkips) {
  const TempFolder folder;
  const fs::path schedule = folder.path() / "nightly.kiv";
  TaskTable tasks;
  tasks[0] = compiledTask(0, "02:30:00");
  tasks[1] = compiledTask(1, "00:00:?1");
  tasks[2] = compiledTask(2, "03:00:00");
  tasks[3] = compiledTask(3, "02:30:00", kWeekdaysOnly);  // the change is on a Sunday
  testing::writeSchedule(schedule, tasks);

  ExportOptions options = into(folder.path() / "units");
  options.zone = &testing::berlin2027();
  options.now = std::chrono::sys_days{std::chrono::year{2027} / 1 / 1};
  const Exported exported = exportUnits(schedule, options);

  EXPECT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(exported.err,
            "kivctl: task 1 (launch time \"02:30:00\") is due at 2027-03-28 02:30:00, which "
            "daylight saving skips: the "
            "scheduler launches it at the first second after the change, its timer not at all "
            "that day\n"
            "kivctl: task 2 (launch time \"00:00:?1\") is due at 2027-03-28 02:00:00, which "
            "daylight saving skips: neither "
            "the scheduler nor its timer launches it then\n" +
                unguardedNote("tasks 1, 2, 3, 4"));
}

TEST(ExportCommand, NamesUnitsLeftFromAnEarlierExport) {
  const TempFolder folder;
  const fs::path schedule = folder.path() / "nightly.kiv";
  TaskTable tasks = mixedTasks();
  tasks[1] = compiledTask(1, "05:00:00");
  testing::writeSchedule(schedule, tasks);
  const fs::path units = folder.path() / "units";
  ASSERT_EQ(exportUnits(schedule, into(units)).status, 0);

  tasks[1].Compiled = 0;
  testing::writeSchedule(schedule, tasks);
  const Exported again = exportUnits(schedule, into(units));

  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(again.err.substr(again.err.find("kivctl: task 2")),
            "kivctl: task 2 has no units now, but " + (units / "kiv-nightly-task2").string() +
                ".* are left from an earlier export; stop them with 'systemctl --user disable "
                "--now kiv-nightly-task2.timer' and remove them\n" +
                unguardedNote("tasks 1, 3"));
  EXPECT_TRUE(fs::exists(units / "kiv-nightly-task2.timer"));
}

TEST(ExportCommand, AFolderOrUnitThatCannotBeWrittenFailsWithItsName) {
  const TempFolder folder;
  const fs::path schedule = folder.path() / "nightly.kiv";
  testing::writeSchedule(schedule, mixedTasks());

  const fs::path notAFolder = folder.path() / "file";
  testing::writeAll(notAFolder, {'x'});
  const Exported onFile = exportUnits(schedule, into(notAFolder / "units"));
  EXPECT_EQ(onFile.status, 1);
  EXPECT_TRUE(onFile.err.starts_with("kivctl: " + (notAFolder / "units").string() + ": "))
      << onFile.err;
  EXPECT_EQ(onFile.out, "");

  // A folder in the place of the first unit: its replacement cannot be renamed there.
  const fs::path units = folder.path() / "units";
  fs::create_directories(units / "kiv-nightly-task1.service");
  const Exported blocked = exportUnits(schedule, into(units));
  EXPECT_EQ(blocked.status, 1);
  EXPECT_NE(blocked.err.find("kivctl: " + (units / "kiv-nightly-task1.service").string() + ": "),
            std::string::npos)
      << blocked.err;
  EXPECT_EQ(sortedNames(units), std::vector<std::string>{"kiv-nightly-task1.service"});
}

// Our own writer resolves links (Save writes through one), so the system's
// protection of links in shared folders does not apply: a unit never follows
// one, and a folder others may write to is named.
TEST(ExportCommand, NeverWritesThroughALinkAtAUnitsName) {
  const TempFolder folder;
  const fs::path schedule = folder.path() / "nightly.kiv";
  testing::writeSchedule(schedule, mixedTasks());
  const fs::path units = folder.path() / "units";
  fs::create_directories(units);
  fs::permissions(units, fs::perms::all);
  const fs::path victim = folder.path() / "victim";
  testing::writeAll(victim, {'k', 'e', 'e', 'p'});
  fs::create_symlink(victim, units / "kiv-nightly-task1.service");

  const Exported exported = exportUnits(schedule, into(units));

  EXPECT_EQ(exported.status, 1);
  EXPECT_NE(exported.err.find("kivctl: " + units.string() +
                              " can be written by other users, who could replace the units in "
                              "it\n"),
            std::string::npos)
      << exported.err;
  EXPECT_NE(exported.err.find("kivctl: " + (units / "kiv-nightly-task1.service").string() +
                              ": a link stands at the unit's name; remove it first\n"),
            std::string::npos)
      << exported.err;
  EXPECT_EQ(fileText(victim), "keep");
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(units / "kiv-nightly-task1.service")));
}

TEST(ExportCommand, RefusesADefaultPrefixThatMakesNoUnitName) {
  const TempFolder folder;
  // "kiv-" and 237 characters: one more than a prefix may have. The safe
  // writer's temporary name would be too long for the folder, so the
  // schedule gets its name afterwards.
  const fs::path schedule = folder.path() / (std::string(237, 'n') + ".kiv");
  testing::writeSchedule(folder.path() / "short.kiv", mixedTasks());
  fs::rename(folder.path() / "short.kiv", schedule);
  const Exported exported = exportUnits(schedule, into(folder.path() / "units"));
  EXPECT_EQ(exported.status, 1);
  EXPECT_NE(exported.err.find("is longer than 240 characters; give one with --prefix"),
            std::string::npos)
      << exported.err;
  EXPECT_FALSE(fs::exists(folder.path() / "units"));
}

}  // namespace
}  // namespace kiv::ctl
