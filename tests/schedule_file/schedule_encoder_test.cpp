#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "schedule_file/schedule_encoder.h"
#include "schedule_file/slot_writer.h"

namespace kiv {
namespace {

using testing::SlotWriter;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kFields = 14;

// The 128 bytes of a slot of the current layout (fewer for the very last).
Bytes slotOf(const Bytes& file, int taskIndex, std::size_t field) {
  const std::size_t start = (static_cast<std::size_t>(taskIndex) * kFields + field - 1) * 128;
  return Bytes(file.begin() + start, file.begin() + std::min(start + 128, file.size()));
}

Bytes padded(Bytes data) {
  data.resize(128, 0);
  return data;
}

void addDefaultTask(SlotWriter& writer) {
  writer.text("").text("00:00:00").text("Admin").text("");
  writer.byte(4).byte(0);
  writer.text("").text("").text("").text("");
  writer.byte(0).byte(0).byte(0).byte(0);
}

TEST(ScheduleEncoder, WritesTheDefaultTableAsTheCurrentLayout) {
  const FileResult<ScheduleBytes> file = encodeSchedule(TaskTable{});
  ASSERT_TRUE(file.ok());
  ASSERT_EQ(file.value().size(), 53633u);

  EXPECT_EQ(slotOf(file.value(), 0, 1), padded({0x00, 0x00}));
  EXPECT_EQ(slotOf(file.value(), 0, 2),
            padded({0x08, 0x00, 0x30, 0x30, 0x3A, 0x30, 0x30, 0x3A, 0x30, 0x30}));
  EXPECT_EQ(slotOf(file.value(), 0, 3), padded({0x05, 0x00, 0x41, 0x64, 0x6D, 0x69, 0x6E}));
  EXPECT_EQ(slotOf(file.value(), 0, 4), padded({0x00, 0x00}));
  EXPECT_EQ(slotOf(file.value(), 0, 5), padded({0x04}));
  EXPECT_EQ(slotOf(file.value(), 29, 14), Bytes{0x00});

  SlotWriter expected;
  for (int task = 0; task < kTaskCount; ++task) addDefaultTask(expected);
  EXPECT_EQ(file.value(), expected.file());
}

TEST(ScheduleEncoder, StoresEveryFieldInItsSlotAndNeverTheCommandLine) {
  TaskTable tasks;
  tasks[1] =
      Task{"B\u00FCro",      "02:?3:00", "J\u00F6rg", "abc", 5, 4, "\u20AC 1", "C:\\a.exe",
           "D:\\\u00DF.mdb", "",         13,          2,     1, 1, {},         "composed line"};
  const FileResult<ScheduleBytes> file = encodeSchedule(tasks);
  ASSERT_TRUE(file.ok());

  SlotWriter expected;
  addDefaultTask(expected);
  expected.text("B\xFCro").text("02:?3:00").text("J\xF6rg").text("197258201");
  expected.byte(5).byte(4);
  expected.text("\x80 1").text("C:\\a.exe").text("D:\\\xDF.mdb").text("");
  expected.byte(13).byte(2).byte(1).byte(1);
  for (int task = 2; task < kTaskCount; ++task) addDefaultTask(expected);
  EXPECT_EQ(file.value(), expected.file());
}

TEST(ScheduleEncoder, TextsFillTheirSlotToTheLastByte) {
  TaskTable tasks;
  tasks[29].DatabaseLocation.clear();
  for (int i = 0; i < 126; ++i) tasks[29].DatabaseLocation += "\u00E9";  // 252 bytes of UTF-8
  tasks[29].Password = std::string(42, 'p');
  const FileResult<ScheduleBytes> file = encodeSchedule(tasks);
  ASSERT_TRUE(file.ok());

  Bytes location{126, 0};
  location.insert(location.end(), 126, 0xE9);
  EXPECT_EQ(slotOf(file.value(), 29, 9), location);
  EXPECT_EQ(slotOf(file.value(), 29, 4)[0], 126);
}

struct RefusedEdit {
  const char* name;
  int taskIndex;
  std::function<void(Task&)> edit;
  FileError error;
};

class ScheduleEncoderRefuses : public ::testing::TestWithParam<RefusedEdit> {};

TEST_P(ScheduleEncoderRefuses, NamingTheTaskAndTheField) {
  TaskTable tasks;
  GetParam().edit(tasks[GetParam().taskIndex]);
  const FileResult<ScheduleBytes> file = encodeSchedule(tasks);
  ASSERT_FALSE(file.ok());
  EXPECT_EQ(file.error(), GetParam().error);
}

std::string repeated(std::string_view text, int times) {
  std::string all;
  for (int i = 0; i < times; ++i) all += text;
  return all;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScheduleEncoderRefuses,
    ::testing::Values(
        RefusedEdit{"CharacterOutsideTheCodePage",
                    29,
                    [](Task& t) { t.Username = "Ja\u0142"; },
                    {1020,
                     "Task 30, Username: the character \"\u0142\" (U+0142) at position 3 "
                     "has no form in the Windows-1252 code page."}},
        RefusedEdit{"EmojiInThePassword",
                    0,
                    [](Task& t) { t.Password = "pw\U0001F511"; },
                    {1020,
                     "Task 1, Password: the character \"\U0001F511\" (U+1F511) at position "
                     "3 has no form in the Windows-1252 code page."}},
        RefusedEdit{"InvalidUtf8",
                    4,
                    [](Task& t) { t.TaskName = "a\xFF"; },
                    {1021, "Task 5, TaskName: the text is not valid UTF-8 at byte 2."}},
        RefusedEdit{"TextOfMoreThan126Bytes",
                    29,
                    [](Task& t) { t.Macro = repeated("\u00E9", 127); },
                    {1022, "Task 30, Macro: the text takes 127 bytes; a field holds at most 126."}},
        RefusedEdit{"PasswordOf43Characters",
                    6,
                    [](Task& t) { t.Password = std::string(43, 'x'); },
                    {1022,
                     "Task 7, Password: the password has 43 characters; at most 42 can be "
                     "stored."}},
        RefusedEdit{"VersionTheWindowCannotShow",
                    2,
                    [](Task& t) { t.Version = 6; },
                    {1013, "Task 3, Version: the value 6 is not one of 0 to 5."}},
        RefusedEdit{"CompiledAbove1",
                    2,
                    [](Task& t) { t.Compiled = 2; },
                    {1013, "Task 3, Compiled: the value 2 is not one of 0 to 1."}}),
    [](const ::testing::TestParamInfo<RefusedEdit>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kiv
