#include "base/utf8_path.h"
#include "form/main_form.h"

namespace kiv {
// Two schedulers on one schedule would start every task twice. A lock that
// cannot be taken for another reason (no folder for it) does not keep the
// user from the schedule.
bool MainForm::claimScheduleFile(const std::string& file) {
  const ScheduleClaim claim = platform_.claimSchedule(file);
  if (claim.kind != ScheduleClaim::Kind::HeldByOther) return true;
  tell("'" + file + "' is already being scheduled by " + claim.detail +
           ". A schedule can be scheduled by one Kiv program at a time, or each of its tasks "
           "would launch twice.",
       MessageIcon::Exclamation);
  return false;
}

// The second start may have been made in another folder: a relative path
// names a file there, not in this process's folder.
void MainForm::commandLineHandedOver(const std::string& arguments, const std::string& folder) {
  if (arguments.starts_with(kOpenSwitch)) {
    std::string file = arguments.substr(kOpenSwitch.size());
    const std::filesystem::path path = pathFromUtf8(file);
    if (!file.empty() && path.is_relative()) file = utf8FromPath(pathFromUtf8(folder) / path);
    fctnOpen(file);
  }
  platform_.showWindow();
}

}  // namespace kiv
