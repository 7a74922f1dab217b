#include "systemd_units.h"

#include "systemd_quoting.h"

namespace kiv::ctl {
namespace {

std::string unitSection(const TaskUnits& units) {
  return "[Unit]\nDescription=" + plainSettingValue(units.description) + "\n";
}

}  // namespace

std::string serviceUnitText(const TaskUnits& units) {
  std::string text = unitSection(units) +
                     "\n[Service]\nType=oneshot\nExecStart=" + execStartValue(units.arguments) +
                     "\n";
  // A oneshot service is starting until its program ends, so the start
  // timeout bounds the whole run; RuntimeMaxSec= has no effect on it.
  if (units.timeLimit)
    text += "TimeoutStartSec=" + std::to_string(units.timeLimit->count()) + "min\n";
  return text;
}

std::string timerUnitText(const TaskUnits& units) {
  std::string text = unitSection(units) + "\n[Timer]\n";
  for (const std::string& event : units.calendarEvents) text += "OnCalendar=" + event + "\n";
  // The default accuracy is a minute, which would let a timer elapse up to a
  // minute late; the scheduler starts a task at its second.
  text += "AccuracySec=1s\n";
  text += std::string("Persistent=") + (units.persistent ? "true" : "false") + "\n";
  return text + "\n[Install]\nWantedBy=timers.target\n";
}

}  // namespace kiv::ctl
