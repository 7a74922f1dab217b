#include "form/main_form.h"
#include "form/schedule_argument.h"

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
// names a file there, not in this process's folder. A schedule handed over
// that cannot be loaded leaves the one being scheduled as it is: only a first
// start, which has none yet, begins untitled then.
void MainForm::commandLineHandedOver(const std::string& arguments, const std::string& folder) {
  if (auto file = scheduleNamedBy(arguments, folder)) {
    if (file->empty() || isScheduleCandidate(*file)) {
      fctnOpen(*file);
    } else {
      tellScheduleNotLoadable(*file);
    }
  }
  platform_.showWindow();
}

}  // namespace kiv
