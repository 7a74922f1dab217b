// Linked into every test program that runs Kiv's POSIX parts, and inherited
// by the programs those tests start: the launch journal and the locks go to
// a fresh folder of the test program's own, never to the user's.
#include <stdlib.h>
#include <sys/stat.h>

#include "support/temp_folder.h"

namespace {

class PrivateUserFolders {
 public:
  PrivateUserFolders() {
    const auto state = folder_.path() / "state";
    const auto runtime = folder_.path() / "runtime";
    ::mkdir(state.c_str(), 0700);
    ::mkdir(runtime.c_str(), 0700);
    ::setenv("XDG_STATE_HOME", state.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  }

 private:
  kiv::testing::TempFolder folder_;
};

const PrivateUserFolders privateUserFolders;

}  // namespace
