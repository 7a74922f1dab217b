#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "schedule_file/schedule_decoder.h"
#include "schedule_file/schedule_encoder.h"
#include "schedule_file/slot_writer.h"

namespace kiv {
namespace {

using testing::SlotWriter;
using Bytes = std::vector<std::uint8_t>;

auto storedFields(const Task& t) {
  return std::tie(t.TaskName, t.LaunchAt, t.Username, t.Password, t.Version, t.Action, t.Macro,
                  t.AccessLocation, t.DatabaseLocation, t.SecurityFileLocation, t.DaysToRunOn,
                  t.OpenExclusively, t.CloseAfterRunning, t.Compiled);
}

// Task t of a hand-made file, distinct in every field. `withName` false gives
// the old 13-slot task without TaskName.
void addTask(SlotWriter& writer, int t, bool withName) {
  const std::string n = std::to_string(t);
  if (withName) writer.text("Nom " + n + " \xE9t\xE9");
  writer.text("0" + std::to_string(t % 10) + ":30:00").text("user" + n);
  writer.text(t % 2 == 0 ? "197258201" : "");  // abc on even tasks
  writer.byte(static_cast<std::uint8_t>(t % 6)).byte(static_cast<std::uint8_t>(t % 5));
  writer.text("macro" + n).text("C:\\acc" + n + ".exe").text("D:\\db" + n + " \x80.mdb");
  writer.text("E:\\sec" + n + ".mdw");
  writer.byte(static_cast<std::uint8_t>(t % 14)).byte(static_cast<std::uint8_t>(t % 3));
  writer.byte(static_cast<std::uint8_t>((t + 1) % 3)).byte(static_cast<std::uint8_t>(t % 2));
}

Task expectedTask(int t, bool withName) {
  const std::string n = std::to_string(t);
  Task task;
  task.TaskName = withName ? "Nom " + n + " \u00E9t\u00E9" : "";
  task.LaunchAt = "0" + std::to_string(t % 10) + ":30:00";
  task.Username = "user" + n;
  task.Password = t % 2 == 0 ? "abc" : "";
  task.Version = static_cast<std::uint8_t>(t % 6);
  task.Action = static_cast<std::uint8_t>(t % 5);
  task.Macro = "macro" + n;
  task.AccessLocation = "C:\\acc" + n + ".exe";
  task.DatabaseLocation = "D:\\db" + n + " \u20AC.mdb";
  task.SecurityFileLocation = "E:\\sec" + n + ".mdw";
  task.DaysToRunOn = static_cast<std::uint8_t>(t % 14);
  task.OpenExclusively = static_cast<std::uint8_t>(t % 3);
  task.CloseAfterRunning = static_cast<std::uint8_t>((t + 1) % 3);
  task.Compiled = static_cast<std::uint8_t>(t % 2);
  return task;
}

Bytes handMadeFile(int tasks, bool withNames) {
  SlotWriter writer(0xAA);  // padding that is not zero, to show it is ignored
  for (int t = 0; t < tasks; ++t) addTask(writer, t, withNames);
  return writer.file();
}

void expectTasks(const LoadedSchedule& loaded, int count, bool withNames) {
  ASSERT_EQ(loaded.tasks.size(), static_cast<std::size_t>(count));
  for (int t = 0; t < count; ++t) {
    const Task& task = loaded.tasks[static_cast<std::size_t>(t)];
    EXPECT_EQ(storedFields(task), storedFields(expectedTask(t, withNames))) << "task index " << t;
    EXPECT_EQ(task.CommandLine, "");
  }
}

TEST(ScheduleDecoder, ReadsEachLayoutByItsLength) {
  struct Case {
    int tasks;
    bool withNames;
    std::size_t length;
    ScheduleLayout layout;
  };
  const Case cases[] = {
      {30, true, 53633, ScheduleLayout::Current},
      {20, false, 33153, ScheduleLayout::FormatA},
      {20, true, 35713, ScheduleLayout::FormatB},
  };
  for (const Case& c : cases) {
    const Bytes file = handMadeFile(c.tasks, c.withNames);
    ASSERT_EQ(file.size(), c.length);
    const FileResult<LoadedSchedule> loaded = decodeSchedule(file);
    ASSERT_TRUE(loaded.ok()) << loaded.error().description;
    EXPECT_EQ(loaded.value().layout, c.layout);
    expectTasks(loaded.value(), c.tasks, c.withNames);
  }
}

TEST(ScheduleDecoder, ReadsEveryOtherLengthAsTheCurrentLayout) {
  Bytes file = handMadeFile(30, true);
  file.push_back(0x55);  // one byte too many changes nothing
  const FileResult<LoadedSchedule> longer = decodeSchedule(file);
  ASSERT_TRUE(longer.ok());
  EXPECT_EQ(longer.value().layout, ScheduleLayout::Current);
  expectTasks(longer.value(), 30, true);

  for (const std::size_t length : {std::size_t{33152}, std::size_t{33154}, std::size_t{35712}}) {
    const FileResult<LoadedSchedule> cut = decodeSchedule(std::span(file).first(length));
    ASSERT_TRUE(cut.ok()) << length;
    EXPECT_EQ(cut.value().layout, ScheduleLayout::Current) << length;
    EXPECT_EQ(cut.value().tasks.size(), 30u) << length;
  }
}

TEST(ScheduleDecoder, ReadsSlotsBeyondATruncatedEndAsEmpty) {
  const Bytes whole = handMadeFile(30, true);
  // Task 2 (index 1) ends inside its DatabaseLocation text, after "D:\db1".
  const std::size_t databaseSlot = (14 + 8) * 128;
  const FileResult<LoadedSchedule> loaded =
      decodeSchedule(std::span(whole).first(databaseSlot + 2 + 6));
  ASSERT_TRUE(loaded.ok());
  EXPECT_EQ(loaded.value().layout, ScheduleLayout::Current);
  ASSERT_EQ(loaded.value().tasks.size(), 30u);
  EXPECT_EQ(storedFields(loaded.value().tasks[0]), storedFields(expectedTask(0, true)));

  const Task& cut = loaded.value().tasks[1];
  EXPECT_EQ(cut.Macro, "macro1");
  EXPECT_EQ(cut.DatabaseLocation, "D:\\db1");
  EXPECT_EQ(cut.SecurityFileLocation, "");
  EXPECT_EQ(cut.DaysToRunOn, 0);

  Task empty;
  empty.LaunchAt.clear();
  empty.Username.clear();
  empty.Version = 0;
  for (std::size_t t = 2; t < 30; ++t) {
    EXPECT_EQ(storedFields(loaded.value().tasks[t]), storedFields(empty)) << "task index " << t;
  }
  const FileResult<LoadedSchedule> nothing = decodeSchedule(Bytes{});
  ASSERT_TRUE(nothing.ok());
  EXPECT_EQ(storedFields(nothing.value().tasks[0]), storedFields(empty));
}

// Every way of cutting a file short around each slot boundary reads without
// touching a byte past the end (the cut copy is exactly as long as the cut).
// Cut to an old layout's length, the 14-slot tasks no longer line up with that
// layout and may be refused; every other cut reads.
TEST(ScheduleDecoder, ReadsEveryCutOfAFileWithinItsBounds) {
  const Bytes whole = handMadeFile(30, true);
  for (std::size_t boundary = 0; boundary <= whole.size(); boundary += 128) {
    for (std::size_t extra = 0; extra < 4; ++extra) {
      const std::size_t length = std::min(boundary + extra, whole.size());
      const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
      const FileResult<LoadedSchedule> loaded = decodeSchedule(cut);
      if (layoutOfLength(length).layout == ScheduleLayout::Current) {
        EXPECT_TRUE(loaded.ok()) << length;
      }
    }
  }
}

TEST(ScheduleDecoder, RoundTripsEveryFieldOfEveryTask) {
  TaskTable tasks;
  for (int t = 0; t < kTaskCount; ++t) {
    Task& task = tasks[static_cast<std::size_t>(t)];
    const std::string n = std::to_string(t + 1);
    task = expectedTask(t, true);
    task.TaskName = "T\u00E2che " + n + " \u20AC";
    task.Password = std::string(static_cast<std::size_t>(t), 'x') + "\u00E9\u20AC\u00DF";
    task.Macro = std::string(126 - n.size(), 'm') + n;
    task.SecurityFileLocation = std::string(125, 's') + "\u00DF";  // 126 bytes in the file
    task.CommandLine = "not stored";
  }
  tasks[29].Password.clear();
  for (int i = 0; i < 14; ++i) tasks[29].Password += "\u00E9\u20AC\u00DF";  // 42 characters

  const FileResult<ScheduleBytes> file = encodeSchedule(tasks);
  ASSERT_TRUE(file.ok()) << file.error().description;
  const FileResult<LoadedSchedule> loaded = decodeSchedule(file.value());
  ASSERT_TRUE(loaded.ok()) << loaded.error().description;
  ASSERT_EQ(loaded.value().tasks.size(), 30u);
  for (std::size_t t = 0; t < 30; ++t) {
    EXPECT_EQ(storedFields(loaded.value().tasks[t]), storedFields(tasks[t])) << "task index " << t;
    EXPECT_EQ(loaded.value().tasks[t].CommandLine, "");
  }
}

TEST(ScheduleDecoder, KeepsTheCodePagesUndefinedBytesThroughASave) {
  SlotWriter writer;
  writer.text("\x81\x8D\x8F\x90\x9D").text("00:00:00").text("Admin").text("");
  writer.byte(4).byte(0).text("").text("").text("").text("");
  writer.byte(0).byte(0).byte(0).byte(0);
  const Bytes oneTask = writer.file();
  const FileResult<LoadedSchedule> loaded = decodeSchedule(oneTask);
  ASSERT_TRUE(loaded.ok());

  TaskTable tasks;
  applyLoadedTasks(loaded.value(), tasks);
  const FileResult<ScheduleBytes> saved = encodeSchedule(tasks);
  ASSERT_TRUE(saved.ok());
  EXPECT_EQ(Bytes(saved.value().begin(), saved.value().begin() + 7),
            (Bytes{5, 0, 0x81, 0x8D, 0x8F, 0x90, 0x9D}));
}

// `file` with slot `slotInFile` (0-based) holding just `content`.
Bytes withSlot(Bytes file, std::size_t slotInFile, const Bytes& content) {
  const auto start = file.begin() + static_cast<std::ptrdiff_t>(slotInFile * 128);
  std::fill(start, start + 128, 0);
  std::copy(content.begin(), content.end(), start);
  return file;
}

Bytes textSlot(std::uint16_t length, std::string_view text) {
  Bytes slot{static_cast<std::uint8_t>(length & 0xFF), static_cast<std::uint8_t>(length >> 8)};
  slot.insert(slot.end(), text.begin(), text.end());
  return slot;
}

struct RefusedContent {
  const char* name;
  std::size_t field;  // 1 to 14, in task 3
  Bytes content;
  FileError error;
};

class ScheduleDecoderRefuses : public ::testing::TestWithParam<RefusedContent> {};

TEST_P(ScheduleDecoderRefuses, TheWholeFileNamingTheTaskAndTheField) {
  const RefusedContent& c = GetParam();
  const Bytes file = withSlot(handMadeFile(30, true), 2 * 14 + c.field - 1, c.content);
  const FileResult<LoadedSchedule> loaded = decodeSchedule(file);
  ASSERT_FALSE(loaded.ok());
  EXPECT_EQ(loaded.error(), c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScheduleDecoderRefuses,
    ::testing::Values(
        RefusedContent{"TextLongerThanASlot",
                       3,
                       textSlot(127, "x"),
                       {1010,
                        "Task 3, Username: the slot says its text is 127 bytes long, but a "
                        "slot holds at most 126."}},
        RefusedContent{"LengthFieldAtItsLargest",
                       1,
                       textSlot(0xFFFF, ""),
                       {1010,
                        "Task 3, TaskName: the slot says its text is 65535 bytes long, but a "
                        "slot holds at most 126."}},
        RefusedContent{"PasswordNotNumeric",
                       4,
                       textSlot(3, "abc"),
                       {1011,
                        "Task 3, Password: group 1 of the scrambled password is not three "
                        "decimal digits."}},
        RefusedContent{"PasswordGroupWithABlank",
                       4,
                       textSlot(6, "197 97"),
                       {1011,
                        "Task 3, Password: group 2 of the scrambled password is not three "
                        "decimal digits."}},
        RefusedContent{"PasswordCodeOutOfRange",
                       4,
                       textSlot(3, "099"),
                       {1012,
                        "Task 3, Password: group 1 of the scrambled password gives a character "
                        "code outside 0 to 255."}},
        RefusedContent{
            "Version6", 5, {6}, {1013, "Task 3, Version: the value 6 is not one of 0 to 5."}},
        RefusedContent{
            "Version255", 5, {255}, {1013, "Task 3, Version: the value 255 is not one of 0 to 5."}},
        RefusedContent{
            "Action5", 6, {5}, {1013, "Task 3, Action: the value 5 is not one of 0 to 4."}},
        RefusedContent{"DaysToRunOn14",
                       11,
                       {14},
                       {1013, "Task 3, DaysToRunOn: the value 14 is not one of 0 to 13."}},
        RefusedContent{"OpenExclusively3",
                       12,
                       {3},
                       {1013, "Task 3, OpenExclusively: the value 3 is not one of 0 to 2."}},
        RefusedContent{"CloseAfterRunning3",
                       13,
                       {3},
                       {1013, "Task 3, CloseAfterRunning: the value 3 is not one of 0 to 2."}},
        RefusedContent{
            "Compiled2", 14, {2}, {1013, "Task 3, Compiled: the value 2 is not one of 0 to 1."}}),
    [](const ::testing::TestParamInfo<RefusedContent>& info) {
      return std::string(info.param.name);
    });

TEST(ScheduleDecoder, NamesTheFieldOfAnOldLayoutByItsOwnSlots) {
  // FormatA has no TaskName, so task 2's Version is its 4th slot.
  const Bytes file = withSlot(handMadeFile(20, false), 13 + 3, {9});
  const FileResult<LoadedSchedule> loaded = decodeSchedule(file);
  ASSERT_FALSE(loaded.ok());
  EXPECT_EQ(loaded.error(),
            (FileError{1013, "Task 2, Version: the value 9 is not one of 0 to 5."}));
}

TEST(ScheduleDecoder, ApplyingOverwritesTheTasksReadAndKeepsTheRest) {
  const FileResult<LoadedSchedule> loaded = decodeSchedule(handMadeFile(20, true));
  ASSERT_TRUE(loaded.ok());
  TaskTable tasks;
  for (Task& task : tasks) {
    task.TaskName = "before";
    task.CommandLine = "kept";
  }

  applyLoadedTasks(loaded.value(), tasks);

  for (std::size_t t = 0; t < 20; ++t) {
    EXPECT_EQ(storedFields(tasks[t]), storedFields(expectedTask(static_cast<int>(t), true)));
  }
  for (std::size_t t = 20; t < 30; ++t) EXPECT_EQ(tasks[t].TaskName, "before");
  for (const Task& task : tasks) EXPECT_EQ(task.CommandLine, "kept");
}

}  // namespace
}  // namespace kiv
