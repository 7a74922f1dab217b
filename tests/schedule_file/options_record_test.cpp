#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string_view>
#include <vector>

#include "schedule_file/crc32.h"
#include "schedule_file/options_record.h"
#include "schedule_file/schedule_decoder.h"
#include "schedule_file/schedule_encoder.h"
#include "schedule_file/schedule_file_io.h"
#include "schedule_file/slot_writer.h"
#include "support/failure_of.h"
#include "support/fake_platform.h"
#include "support/temp_folder.h"

namespace kiv {
namespace {

using std::chrono::hours;
using std::chrono::minutes;
using Bytes = std::vector<std::uint8_t>;

constexpr int kTask = 3;  // the task whose options the tests set
// Where task 4's options record starts: after its Version slot's byte.
constexpr std::size_t kRecordAt = (kTask * 14 + 4) * 128 + 1;
constexpr std::size_t kPaddingSize = 127;

// A folder that takes as many bytes in Windows-1252 as it has characters.
constexpr std::string_view kSomeFolder = "D:\\Copies";
const TaskOptions kSomeOptions{minutes{0}, minutes{90}, hours{12}, 3, std::string(kSomeFolder)};
// kSomeOptions' record: its size and where its CRC starts, from the record's start.
constexpr std::size_t kSomeRecordSize = 17 + kSomeFolder.size();
constexpr std::size_t kSomeCrcAt = kSomeRecordSize - 4;

// "\\server\Kopien für Ü€" and "ü" up to 110 bytes in Windows-1252, twice as
// many in UTF-8.
std::string longestNonAsciiFolder() {
  std::string folder = "\\\\server\\Kopien f\u00FCr \u00DC\u20AC";
  while (windows1252CodePage().encode(folder).value().size() < kLongestBackupFolder) {
    folder += "\u00FC";
  }
  return folder;
}

Bytes encodedWith(const TaskOptions& options) {
  TaskTable tasks;
  tasks[kTask].TaskName = "Nightly";
  tasks[kTask].Options = options;
  const FileResult<ScheduleBytes> file = encodeSchedule(tasks);
  EXPECT_TRUE(file.ok()) << file.error().description;
  return file.ok() ? file.value() : Bytes{};
}

TaskOptions decodedOptions(const Bytes& file, int task = kTask) {
  const FileResult<LoadedSchedule> loaded = decodeSchedule(file);
  EXPECT_TRUE(loaded.ok()) << loaded.error().description;
  if (!loaded.ok()) return {};
  return loaded.value().tasks.at(static_cast<std::size_t>(task)).Options;
}

// Rewrites the record's CRC over its first `covered` bytes, so a test can
// make a record that is whole but holds what this reader must not take.
void resealRecord(Bytes& file, std::size_t covered) {
  const std::uint32_t crc = crc32(std::span(file).subspan(kRecordAt, covered));
  for (std::size_t i = 0; i < 4; ++i) {
    file[kRecordAt + covered + i] = static_cast<std::uint8_t>(crc >> (8 * i));
  }
}

TEST(Crc32, GivesTheStandardCheckValues) {
  constexpr std::string_view kCheck = "123456789";
  EXPECT_EQ(crc32(std::span(reinterpret_cast<const std::uint8_t*>(kCheck.data()), kCheck.size())),
            0xCBF43926U);
  EXPECT_EQ(crc32({}), 0U);
}

TEST(OptionsRecord, RoundTripsEveryOptionAtItsBounds) {
  const TaskOptions cases[] = {
      {minutes{0}, std::nullopt, std::nullopt, 1, {}},
      {kLongestWait, std::nullopt, std::nullopt, 1, {}},
      {minutes{60}, kShortestTimeLimit, std::nullopt, 1, {}},
      {minutes{60}, kLongestTimeLimit, std::nullopt, 1, {}},
      {minutes{60}, std::nullopt, kShortestCatchUp, 1, {}},
      {minutes{60}, std::nullopt, kLongestCatchUp, 1, {}},
      {minutes{1}, minutes{1439}, hours{167}, 1, {}},
      {minutes{60}, std::nullopt, std::nullopt, 0, {}},
      {minutes{60}, std::nullopt, std::nullopt, kMostBackups, {}},
      {minutes{60}, std::nullopt, std::nullopt, 1, std::string(kLongestBackupFolder, 'x')},
      // Characters Windows-1252 holds in one byte each, 110 of them.
      {minutes{60}, std::nullopt, std::nullopt, 1, longestNonAsciiFolder()},
      {minutes{0}, std::nullopt, std::nullopt, 0, "/srv/copies"},
      kSomeOptions,
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    const TaskOptions& options = cases[i];
    const Bytes file = encodedWith(options);
    EXPECT_EQ(decodedOptions(file), options);
    EXPECT_EQ(decodedOptions(file, kTask + 1), TaskOptions{});
  }
}

TEST(OptionsRecord, OnlyTheVersionSlotsPaddingOfTheTaskChanges) {
  const Bytes plain = encodedWith({});
  const Bytes withOptions = encodedWith(kSomeOptions);
  ASSERT_EQ(plain.size(), withOptions.size());
  for (std::size_t at = 0; at < plain.size(); ++at) {
    if (at >= kRecordAt && at < kRecordAt + kSomeRecordSize) continue;
    ASSERT_EQ(plain[at], withOptions[at]) << "byte " << at;
  }
  EXPECT_EQ(Bytes(withOptions.begin() + kRecordAt, withOptions.begin() + kRecordAt + 4),
            (Bytes{'K', 'v', 'O', 'p'}));
  // A reader that knows no options sees task 4's Version where it always was.
  EXPECT_EQ(withOptions[kRecordAt - 1], kAccess2002);
}

struct Damage {
  const char* name;
  void (*apply)(Bytes& file);
};

const Damage kDamages[] = {
    {"random bytes",
     [](Bytes& file) {
       std::mt19937 random(20261211);
       for (std::size_t i = 0; i < kPaddingSize; ++i) {
         file[kRecordAt + i] = static_cast<std::uint8_t>(random());
       }
     }},
    {"another tag", [](Bytes& file) { file[kRecordAt] = 'k'; }},
    {"a flipped bit in a value", [](Bytes& file) { file[kRecordAt + 7] ^= 0x01; }},
    {"a flipped bit in the checksum",
     [](Bytes& file) { file[kRecordAt + kSomeCrcAt + 1] ^= 0x80; }},
    {"a flipped bit in the folder", [](Bytes& file) { file[kRecordAt + 15] ^= 0x20; }},
    {"a zero checksum",
     [](Bytes& file) { std::fill_n(file.begin() + kRecordAt + kSomeCrcAt, 4, std::uint8_t{0}); }},
    {"an unknown format",
     [](Bytes& file) {
       file[kRecordAt + 4] = 2;
       resealRecord(file, kSomeCrcAt);
     }},
    {"format 0",
     [](Bytes& file) {
       file[kRecordAt + 4] = 0;
       resealRecord(file, kSomeCrcAt);
     }},
    {"fewer values than format 1 has",
     [](Bytes& file) {
       file[kRecordAt + 5] = 4;
       resealRecord(file, 10);
     }},
    {"the copies cut short after their number",
     [](Bytes& file) {
       file[kRecordAt + 5] = 6;
       resealRecord(file, 12);
     }},
    {"a folder longer than the values",
     [](Bytes& file) {
       file[kRecordAt + 12] = kSomeFolder.size() + 1;
       resealRecord(file, kSomeCrcAt);
     }},
    {"values beyond the padding", [](Bytes& file) { file[kRecordAt + 5] = 255; }},
    {"a wait of 1441 minutes",
     [](Bytes& file) {
       file[kRecordAt + 6] = 0xA1;
       file[kRecordAt + 7] = 0x05;
       resealRecord(file, kSomeCrcAt);
     }},
    {"a time limit of 1441 minutes",
     [](Bytes& file) {
       file[kRecordAt + 8] = 0xA1;
       file[kRecordAt + 9] = 0x05;
       resealRecord(file, kSomeCrcAt);
     }},
    {"a catch-up window of 169 hours",
     [](Bytes& file) {
       file[kRecordAt + 10] = 169;
       resealRecord(file, kSomeCrcAt);
     }},
    {"100 copies",
     [](Bytes& file) {
       file[kRecordAt + 11] = 100;
       resealRecord(file, kSomeCrcAt);
     }},
    {"all padding 0xFF",
     [](Bytes& file) { std::fill_n(file.begin() + kRecordAt, kPaddingSize, std::uint8_t{0xFF}); }},
};

TEST(OptionsRecord, DamagedOrForeignPaddingGivesTheDefaults) {
  for (const Damage& damage : kDamages) {
    SCOPED_TRACE(damage.name);
    Bytes file = encodedWith(kSomeOptions);
    damage.apply(file);
    const FileResult<LoadedSchedule> loaded = decodeSchedule(file);
    ASSERT_TRUE(loaded.ok()) << loaded.error().description;
    EXPECT_EQ(loaded.value().tasks[kTask].Options, TaskOptions{});
    EXPECT_EQ(loaded.value().tasks[kTask].TaskName, "Nightly");
  }
}

TEST(OptionsRecord, ARecordCutOffByTheEndGivesTheDefaults) {
  const Bytes file = encodedWith(kSomeOptions);
  for (std::size_t kept = kRecordAt; kept < kRecordAt + kSomeRecordSize; ++kept) {
    EXPECT_EQ(decodedOptions(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(kept))),
              TaskOptions{})
        << kept;
  }
}

TEST(OptionsRecord, SkipsValuesALaterVersionAppends) {
  Bytes file = encodedWith(kSomeOptions);
  // Two more values after the folder, counted in the length and covered by
  // the checksum.
  file[kRecordAt + 5] += 2;
  file[kRecordAt + kSomeCrcAt] = 0x12;
  file[kRecordAt + kSomeCrcAt + 1] = 0x34;
  resealRecord(file, kSomeCrcAt + 2);
  EXPECT_EQ(decodedOptions(file), kSomeOptions);
}

// The record of the first version, which knew no copies, made by hand: five
// bytes of values.
TEST(OptionsRecord, ARecordOfTheFirstVersionKeepsOneCopyInTheDefaultFolder) {
  Bytes file = encodedWith({});
  const Bytes record{'K', 'v', 'O', 'p', 1, 5, 10, 0, 0x2C, 0x01, 48};
  std::ranges::copy(record, file.begin() + kRecordAt);
  resealRecord(file, record.size());
  EXPECT_EQ(decodedOptions(file), (TaskOptions{minutes{10}, minutes{300}, hours{48}, 1, {}}));
}

// The first version reads the values it knows where they always were and
// takes the copies for values it skips: the count in byte 5 and the CRC after
// them still hold.
TEST(OptionsRecord, ARecordWithCopiesKeepsTheFirstVersionsValuesInPlace) {
  const Bytes file = encodedWith(kSomeOptions);
  const auto record = std::span(file).subspan(kRecordAt, kSomeRecordSize);
  EXPECT_EQ(record[4], 1);
  EXPECT_EQ(record[5], kSomeRecordSize - 10);
  EXPECT_EQ(Bytes(record.begin() + 6, record.begin() + 11), (Bytes{0, 0, 90, 0, 12}));
  EXPECT_EQ(Bytes(record.begin() + 11, record.begin() + 13), (Bytes{3, kSomeFolder.size()}));
  EXPECT_EQ(std::string(record.begin() + 13, record.begin() + kSomeCrcAt), kSomeFolder);
  const std::uint32_t crc = crc32(record.first(6 + record[5]));
  EXPECT_EQ(Bytes(record.begin() + kSomeCrcAt, record.end()),
            (Bytes{static_cast<std::uint8_t>(crc), static_cast<std::uint8_t>(crc >> 8),
                   static_cast<std::uint8_t>(crc >> 16), static_cast<std::uint8_t>(crc >> 24)}));
}

TEST(OptionsRecord, OldLayoutsLoadTheDefaultsWhateverTheirPaddingHolds) {
  // A valid record in every byte slot's padding of a FormatB file (whose
  // tasks have the current layout's slots) and a FormatA file.
  const FileResult<std::vector<std::uint8_t>> made =
      optionsRecord(kSomeOptions, kTask, windows1252CodePage());
  ASSERT_TRUE(made.ok()) << made.error().description;
  const std::vector<std::uint8_t>& record = made.value();
  for (const bool withNames : {true, false}) {
    SCOPED_TRACE(withNames ? "FormatB" : "FormatA");
    testing::SlotWriter writer;
    for (int task = 0; task < 20; ++task) {
      if (withNames) writer.text("");
      writer.text("00:00:00").text("Admin").text("").byte(4).byte(0);
      writer.text("").text("").text("").text("").byte(0).byte(0).byte(0).byte(0);
    }
    Bytes file = writer.file();
    const std::size_t slots = withNames ? 14 : 13;
    const std::size_t versionSlot = withNames ? 4 : 3;
    for (int task = 0; task < 20; ++task) {
      const std::size_t at = (static_cast<std::size_t>(task) * slots + versionSlot) * 128 + 1;
      std::copy(record.begin(), record.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
    }
    const FileResult<LoadedSchedule> loaded = decodeSchedule(file);
    ASSERT_TRUE(loaded.ok()) << loaded.error().description;
    ASSERT_NE(loaded.value().layout, ScheduleLayout::Current);
    for (const Task& task : loaded.value().tasks) EXPECT_EQ(task.Options, TaskOptions{});
  }
}

TEST(OptionsRecord, SavingRefusesOptionsItCannotStoreNamingTheTask) {
  struct Case {
    TaskOptions options;
    int number;
    const char* description;
  };
  constexpr int kOutOfRange = file_error::kValueOutOfRange;
  const Case cases[] = {
      {{minutes{-1}, std::nullopt, std::nullopt, 1, {}},
       kOutOfRange,
       "Task 4, Options: the wait of -1 minutes is not one of 0 to 1440 minutes."},
      {{minutes{1441}, std::nullopt, std::nullopt, 1, {}},
       kOutOfRange,
       "Task 4, Options: the wait of 1441 minutes is not one of 0 to 1440 minutes."},
      {{minutes{60}, minutes{0}, std::nullopt, 1, {}},
       kOutOfRange,
       "Task 4, Options: the time limit of 0 minutes is not one of 1 to 1440 minutes."},
      {{minutes{60}, minutes{1441}, std::nullopt, 1, {}},
       kOutOfRange,
       "Task 4, Options: the time limit of 1441 minutes is not one of 1 to 1440 minutes."},
      {{minutes{60}, std::nullopt, hours{0}, 1, {}},
       kOutOfRange,
       "Task 4, Options: the catch-up window of 0 hours is not one of 1 to 168 hours."},
      {{minutes{60}, std::nullopt, hours{169}, 1, {}},
       kOutOfRange,
       "Task 4, Options: the catch-up window of 169 hours is not one of 1 to 168 hours."},
      {{minutes{60}, std::nullopt, std::nullopt, -1, {}},
       kOutOfRange,
       "Task 4, Options: keeping -1 copies is not one of 0 to 99 copies."},
      {{minutes{60}, std::nullopt, std::nullopt, 100, {}},
       kOutOfRange,
       "Task 4, Options: keeping 100 copies is not one of 0 to 99 copies."},
      {{minutes{60}, std::nullopt, std::nullopt, 1, std::string(kLongestBackupFolder + 1, 'x')},
       kOutOfRange,
       "Task 4, Options: the backup folder takes 111 bytes in the Windows-1252 code page; at most "
       "110 can be stored."},
      {{minutes{60}, std::nullopt, std::nullopt, 1, longestNonAsciiFolder() + "\u00E9"},
       kOutOfRange,
       "Task 4, Options: the backup folder takes 111 bytes in the Windows-1252 code page; at most "
       "110 can be stored."},
      {{minutes{60}, std::nullopt, std::nullopt, 1, "D:\\\u03A9mega"},
       file_error::kNoCodePageForm,
       "Task 4, Options: in the backup folder, the character \"\u03A9\" (U+03A9) at position 4 "
       "has no form in the Windows-1252 code page."},
  };
  for (const Case& c : cases) {
    TaskTable tasks;
    tasks[kTask].Options = c.options;
    const FileResult<ScheduleBytes> file = encodeSchedule(tasks);
    ASSERT_FALSE(file.ok()) << c.description;
    EXPECT_EQ(file.error(), (FileError{c.number, c.description}));
  }
}

TEST(OptionsRecord, SurviveARealSaveAndOpen) {
  testing::TempFolder folder;
  const std::filesystem::path file = folder.path() / "options.kiv";
  TaskTable tasks;
  tasks[0].Options = kSomeOptions;
  // The last task, next to the unpadded slot, with the longest record.
  tasks[29].Options.timeLimit = kLongestTimeLimit;
  tasks[29].Options.backupFolder = longestNonAsciiFolder();
  testing::FakeFileStorage storage;
  ASSERT_EQ(testing::failureOf(writeScheduleFile(file, tasks, storage)), std::nullopt);
  EXPECT_EQ(std::filesystem::file_size(file), kCurrentFileLength);

  const FileResult<LoadedSchedule> loaded = readScheduleFile(file, storage);
  ASSERT_TRUE(loaded.ok()) << loaded.error().description;
  TaskTable opened;
  opened[5].Options.wait = minutes{7};  // a task the file holds takes the file's options
  applyLoadedTasks(loaded.value(), opened);
  EXPECT_EQ(opened[0].Options, kSomeOptions);
  EXPECT_EQ(opened[5].Options, TaskOptions{});
  EXPECT_EQ(opened[29].Options, (TaskOptions{minutes{60}, kLongestTimeLimit, std::nullopt, 1,
                                             longestNonAsciiFolder()}));
}

}  // namespace
}  // namespace kiv
