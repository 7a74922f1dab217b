// Writes the seed corpus for the schedule reader: files of the three layouts,
// one cut short, one with a damaged password, one with an oversized slot.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "schedule_file/schedule_encoder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void write(const std::filesystem::path& file, const Bytes& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

kiv::TaskTable sampleTable() {
  kiv::TaskTable table;
  for (int i = 0; i < kiv::kTaskCount; ++i) {
    kiv::Task& task = table[i];
    task.TaskName = "Task " + std::to_string(i + 1) + " \xC3\xA9\xE2\x82\xAC";
    task.LaunchAt = i % 2 == 0 ? "02:00:00" : "08:30:?4";
    task.Password = i % 3 == 0 ? "s3cret" : "";
    task.Action = static_cast<std::uint8_t>(i % 5);
    task.Macro = "Export";
    task.AccessLocation = "/opt/db/access";
    task.DatabaseLocation = "/srv/db" + std::to_string(i) + ".mdb";
    task.DaysToRunOn = static_cast<std::uint8_t>(i % 14);
    task.Compiled = static_cast<std::uint8_t>(i % 2);
    // Some tasks with options, so the seeds hold options records to mutate:
    // no copies, and folders from the default (task 2) to the longest (task 30).
    if (i % 4 == 1) {
      std::string folder = i == 1 ? "" : "D:\\";
      for (int e = 0; e < (i - 1) * 107 / 28; ++e) folder += "\xC3\xA9";  // é: one byte stored
      task.Options = {std::chrono::minutes{i}, std::chrono::minutes{30 * i},
                      std::chrono::hours{i % 24 + 1}, i % 3 == 0 ? 0 : i, std::move(folder)};
    }
  }
  return table;
}

// An old layout cut from the current one: the first 20 tasks, with or
// without the task-name slot.
Bytes oldLayout(const Bytes& current, bool withTaskName) {
  constexpr std::size_t kSlot = 128;
  constexpr std::size_t kSlotsPerTask = 14;
  Bytes bytes;
  for (std::size_t task = 0; task < 20; ++task) {
    for (std::size_t slot = withTaskName ? 0 : 1; slot < kSlotsPerTask; ++slot) {
      const std::size_t start = (task * kSlotsPerTask + slot) * kSlot;
      bytes.insert(
          bytes.end(), current.begin() + static_cast<std::ptrdiff_t>(start),
          current.begin() + static_cast<std::ptrdiff_t>(std::min(start + kSlot, current.size())));
    }
  }
  bytes.resize(bytes.size() - (kSlot - 1));
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  const auto encoded = kiv::encodeSchedule(sampleTable());
  if (!encoded) {
    std::fprintf(stderr, "%s\n", encoded.error().description.c_str());
    return 1;
  }
  const Bytes& current = encoded.value();
  write(folder / "current.kiv", current);
  write(folder / "format_a.kiv", oldLayout(current, false));
  write(folder / "format_b.kiv", oldLayout(current, true));
  write(folder / "truncated.kiv", Bytes(current.begin(), current.begin() + 1000));
  Bytes damagedPassword = current;
  damagedPassword[3 * 128 + 2] = 'x';  // task 1's scrambled password
  write(folder / "damaged_password.kiv", damagedPassword);
  Bytes oversized = current;
  oversized[0] = 0x7F;  // task 1's name claims 127 bytes
  write(folder / "oversized_slot.kiv", oversized);
  write(folder / "empty.kiv", {});
  return 0;
}
