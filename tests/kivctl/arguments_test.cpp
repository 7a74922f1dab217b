#include "arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kiv::ctl {
namespace {

Result<Invocation, UsageError> parse(std::vector<std::string_view> arguments) {
  return parseArguments(arguments);
}

LocalTime at(int year, int month, int day, int hour, int minute, int second) {
  return fromCivil({year, month, day, hour, minute, second});
}

TEST(Arguments, CommandsTakeTheirOperandsAndOptionsInAnyOrder) {
  const auto list = parse({"list", "--show-passwords", "a.kiv", "--json"});
  ASSERT_TRUE(list) << list.error().message;
  EXPECT_EQ(list.value().action, Action::List);
  EXPECT_EQ(list.value().files, std::vector<std::string>{"a.kiv"});
  EXPECT_TRUE(list.value().json);
  EXPECT_TRUE(list.value().showPasswords);

  const auto next = parse({"next", "--count", "3", "--from=2026-12-10 02:00:00", "a.kiv", "--until",
                           "2027-01-01 00:00:00"});
  ASSERT_TRUE(next) << next.error().message;
  EXPECT_EQ(next.value().action, Action::Next);
  EXPECT_EQ(next.value().count, 3U);
  EXPECT_EQ(next.value().from, at(2026, 12, 10, 2, 0, 0));
  EXPECT_EQ(next.value().until, at(2027, 1, 1, 0, 0, 0));
  EXPECT_FALSE(next.value().json);

  const auto convert = parse({"convert", "old.kiv", "new.kiv"});
  ASSERT_TRUE(convert);
  EXPECT_EQ(convert.value().files, (std::vector<std::string>{"old.kiv", "new.kiv"}));
}

TEST(Arguments, OnlyRunTakesLogSuccessesAndMetrics) {
  for (const bool given : {false, true}) {
    std::vector<std::string_view> arguments{"run", "a.kiv"};
    if (given) arguments.emplace_back("--log-successes");
    const auto run = parse(arguments);
    ASSERT_TRUE(run) << run.error().message;
    EXPECT_EQ(run.value().logSuccesses, given);
  }
  const auto metrics = parse({"run", "a.kiv", "--metrics", "/var/lib/kiv/a.prom"});
  ASSERT_TRUE(metrics) << metrics.error().message;
  EXPECT_EQ(metrics.value().metricsFile, "/var/lib/kiv/a.prom");
  EXPECT_FALSE(parse({"run", "a.kiv"}).value().metricsFile);

  const std::vector<std::pair<std::vector<std::string_view>, std::string>> refused{
      {{"list", "a.kiv", "--log-successes"}, "'list' has no option --log-successes"},
      {{"next", "a.kiv", "--metrics", "m.prom"}, "'next' has no option --metrics"},
      {{"run", "a.kiv", "--metrics="}, "--metrics takes a file"},
  };
  for (const auto& [arguments, message] : refused) {
    const auto parsed = parse(arguments);
    ASSERT_FALSE(parsed) << message;
    EXPECT_EQ(parsed.error().message, message);
  }
}

TEST(Arguments, ExportNeedsItsFolderAndTakesOneScope) {
  const auto plain = parse({"export", "a.kiv", "--systemd", "units"});
  ASSERT_TRUE(plain) << plain.error().message;
  EXPECT_EQ(plain.value().action, Action::Export);
  EXPECT_EQ(plain.value().systemdFolder, "units");
  EXPECT_FALSE(plain.value().userUnits || plain.value().systemUnits || plain.value().persistent);
  EXPECT_FALSE(plain.value().unitPrefix);

  const auto full = parse({"export", "--persistent", "--system", "--prefix=db_1",
                           "--systemd=/etc/systemd/system", "a.kiv"});
  ASSERT_TRUE(full) << full.error().message;
  EXPECT_EQ(full.value().systemdFolder, "/etc/systemd/system");
  EXPECT_TRUE(full.value().systemUnits);
  EXPECT_TRUE(full.value().persistent);
  EXPECT_EQ(full.value().unitPrefix, "db_1");

  const std::vector<std::pair<std::vector<std::string_view>, std::string>> refused{
      {{"export", "a.kiv"}, "'export' needs --systemd DIR or --task-scheduler DIR"},
      {{"export", "a.kiv", "--systemd", ""}, "--systemd takes a folder"},
      {{"export", "a.kiv", "--systemd", "u", "--user", "--system"},
       "--user and --system exclude each other"},
      {{"export", "a.kiv", "--systemd", "u", "--prefix", "my units"},
       "--prefix: the unit name prefix \"my units\" may hold only letters A to Z, digits, "
       "\"_\", \".\" and \"-\""},
      {{"export", "--systemd", "u"}, "'export' takes FILE, given 0 operands"},
      {{"next", "a.kiv", "--systemd", "u"}, "'next' has no option --systemd"},
  };
  for (const auto& [arguments, message] : refused) {
    const auto parsed = parse(arguments);
    ASSERT_FALSE(parsed) << message;
    EXPECT_EQ(parsed.error().message, message);
  }
}

TEST(Arguments, ExportToTheTaskSchedulerTakesNoSystemdOptions) {
  const auto parsed = parse({"export", "a.kiv", "--task-scheduler", "tasks"});
  ASSERT_TRUE(parsed) << parsed.error().message;
  EXPECT_EQ(parsed.value().taskSchedulerFolder, "tasks");
  EXPECT_FALSE(parsed.value().systemdFolder);

  const std::vector<std::pair<std::vector<std::string_view>, std::string>> refused{
      {{"export", "a.kiv", "--task-scheduler", ""}, "--task-scheduler takes a folder"},
      {{"export", "a.kiv", "--task-scheduler", "t", "--systemd", "u"},
       "--systemd and --task-scheduler exclude each other"},
      {{"export", "a.kiv", "--task-scheduler", "t", "--prefix", "p"},
       "--user, --system, --prefix and --persistent go with --systemd only"},
      {{"export", "a.kiv", "--task-scheduler", "t", "--persistent"},
       "--user, --system, --prefix and --persistent go with --systemd only"},
      {{"export", "a.kiv", "--task-scheduler", "t", "--user"},
       "--user, --system, --prefix and --persistent go with --systemd only"},
  };
  for (const auto& [arguments, message] : refused) {
    const auto parsed = parse(arguments);
    ASSERT_FALSE(parsed) << message;
    EXPECT_EQ(parsed.error().message, message);
  }
}

TEST(Arguments, DueNeedsATaskAndMayStartIt) {
  const auto check = parse({"due", "a.kiv", "--task", "12"});
  ASSERT_TRUE(check) << check.error().message;
  EXPECT_EQ(check.value().action, Action::Due);
  EXPECT_EQ(check.value().task, 12);
  EXPECT_FALSE(check.value().thenRun);
  const auto start = parse({"due", "a.kiv", "--task=3", "--then-run"});
  ASSERT_TRUE(start) << start.error().message;
  EXPECT_TRUE(start.value().thenRun);

  const std::vector<std::pair<std::vector<std::string_view>, std::string>> refused{
      {{"due", "a.kiv"}, "'due' needs --task N"},
      {{"due", "a.kiv", "--task", "31"}, "--task takes a task number from 1 to 30, not \"31\""},
      {{"run", "a.kiv", "--then-run"}, "'run' has no option --then-run"},
  };
  for (const auto& [arguments, message] : refused) {
    const auto parsed = parse(arguments);
    ASSERT_FALSE(parsed) << message;
    EXPECT_EQ(parsed.error().message, message);
  }
}

TEST(Arguments, HistoryTakesAnOptionalFileATaskAndAStart) {
  const auto all = parse({"history"});
  ASSERT_TRUE(all) << all.error().message;
  EXPECT_EQ(all.value().action, Action::History);
  EXPECT_TRUE(all.value().files.empty());
  EXPECT_FALSE(all.value().task);
  EXPECT_FALSE(all.value().since);
  EXPECT_FALSE(all.value().wide);

  const auto one = parse(
      {"history", "--since", "2027-03-28 00:00:00", "a.kiv", "--task=30", "--json", "--wide"});
  ASSERT_TRUE(one) << one.error().message;
  EXPECT_EQ(one.value().files, std::vector<std::string>{"a.kiv"});
  EXPECT_EQ(one.value().task, 30);
  EXPECT_EQ(one.value().since, at(2027, 3, 28, 0, 0, 0));
  EXPECT_TRUE(one.value().json);
  EXPECT_TRUE(one.value().wide);
}

TEST(Arguments, NextDefaultsToTenLaunchesFromNow) {
  const auto next = parse({"next", "a.kiv"});
  ASSERT_TRUE(next);
  EXPECT_EQ(next.value().count, 10U);
  EXPECT_FALSE(next.value().from);
  EXPECT_FALSE(next.value().until);
}

TEST(Arguments, DoubleDashMakesTheRestOperands) {
  const auto run = parse({"run", "--", "--help"});
  ASSERT_TRUE(run) << run.error().message;
  EXPECT_EQ(run.value().action, Action::Run);
  EXPECT_EQ(run.value().files, std::vector<std::string>{"--help"});

  const auto dash = parse({"check", "-"});
  ASSERT_TRUE(dash);
  EXPECT_EQ(dash.value().files, std::vector<std::string>{"-"});
}

TEST(Arguments, HelpAndVersionWinWherever) {
  struct Case {
    std::vector<std::string_view> arguments;
    Action action;
  };
  const std::vector<Case> cases{
      {{"--help"}, Action::Help},
      {{"--version"}, Action::Version},
      {{"list", "a.kiv", "--help"}, Action::Help},
      {{"nonsense", "--version"}, Action::Version},
      {{"next", "--count", "x", "--help"}, Action::Help},
  };
  for (const Case& c : cases) {
    const auto parsed = parse(c.arguments);
    ASSERT_TRUE(parsed) << c.arguments.front();
    EXPECT_EQ(parsed.value().action, c.action) << c.arguments.front();
  }
}

TEST(Arguments, BadUsageIsOneLineThatSaysWhatIsWrong) {
  struct Case {
    std::vector<std::string_view> arguments;
    std::string message;
  };
  const std::vector<Case> cases{
      {{}, "no command given"},
      {{"lsit", "a.kiv"}, "unknown command 'lsit'"},
      {{"list"}, "'list' takes FILE, given 0 operands"},
      {{"list", "a.kiv", "b.kiv"}, "'list' takes FILE, given 2 operands"},
      {{"convert", "a.kiv"}, "'convert' takes IN OUT, given 1 operand"},
      {{"check", "a.kiv", "--json"}, "'check' has no option --json"},
      {{"list", "a.kiv", "--count", "3"}, "'list' has no option --count"},
      {{"run", "-x", "a.kiv"}, "'run' has no option -x"},
      {{"list", "a.kiv", "--json=yes"}, "--json takes no value"},
      {{"next", "a.kiv", "--count"}, "--count needs a value"},
      {{"next", "a.kiv", "--count", "0"},
       "--count takes a whole number from 1 to 1000000, not \"0\""},
      {{"next", "a.kiv", "--count", "1e3"},
       "--count takes a whole number from 1 to 1000000, not \"1e3\""},
      {{"next", "a.kiv", "--count=-4"},
       "--count takes a whole number from 1 to 1000000, not \"-4\""},
      {{"next", "a.kiv", "--count", "1000001"},
       "--count takes a whole number from 1 to 1000000, not \"1000001\""},
      {{"next", "a.kiv", "--from", "2026-02-29 00:00:00"},
       "--from takes a local date and time \"YYYY-MM-DD hh:mm:ss\", not \"2026-02-29 00:00:00\""},
      {{"next", "a.kiv", "--until=tomorrow"},
       "--until takes a local date and time \"YYYY-MM-DD hh:mm:ss\", not \"tomorrow\""},
      {{"history", "a.kiv", "b.kiv"}, "'history' takes [FILE], given 2 operands"},
      {{"history", "--task", "31"}, "--task takes a task number from 1 to 30, not \"31\""},
      {{"history", "--task", "0"}, "--task takes a task number from 1 to 30, not \"0\""},
      {{"history", "--task=3.5"}, "--task takes a task number from 1 to 30, not \"3.5\""},
      {{"history", "--since", "2027-03-28 02:30"},
       "--since takes a local date and time \"YYYY-MM-DD hh:mm:ss\", not \"2027-03-28 02:30\""},
      {{"history", "--count", "3"}, "'history' has no option --count"},
      {{"list", "a.kiv", "--task", "3"}, "'list' has no option --task"},
  };
  for (const Case& c : cases) {
    const auto parsed = parse(c.arguments);
    ASSERT_FALSE(parsed) << c.message;
    EXPECT_EQ(parsed.error().message, c.message);
  }
}

}  // namespace
}  // namespace kiv::ctl
