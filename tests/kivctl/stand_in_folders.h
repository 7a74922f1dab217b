#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace kiv::testing {

// A temporary place for a real kivctl that starts the stand-in program: its
// state and runtime folders, a schedule, the file the stand-in records its
// start in, and a database for it to work on.
struct StandInFolders {
  StandInFolders() { standInDatabase(database); }

  // What points kivctl and the stand-in at the folders.
  std::vector<std::string> environment() const {
    return {"KIV_STAND_IN_RECORD=" + record.string(), "XDG_STATE_HOME=" + state.string(),
            "XDG_RUNTIME_DIR=" + runtime.string()};
  }

  TempFolder folder;
  std::filesystem::path state = folder.path() / "state";
  std::filesystem::path runtime = folder.path() / "runtime";
  std::filesystem::path schedule = folder.path() / "nightly.kiv";
  std::filesystem::path record = folder.path() / "record";
  std::filesystem::path database = folder.path() / "orders.mdb";
};

}  // namespace kiv::testing
