#pragma once

#include <array>
#include <string_view>

namespace kiv {

// The fixed lists behind the window's drop-down lists. A task stores the list
// index; these tables give what each index means.

// The list indices a task stores, by name.
enum AccessVersion : int {
  kAccess2 = 0,
  kAccess95,
  kAccess97,
  kAccess2000,
  kAccess2002,
  kAccess2003,
};

enum TaskAction : int {
  kCompact = 0,
  kMacro,
  kRepair,
  kDecompile,
  kCmd,
};

enum DayPattern : int {
  kEveryDay = 0,
  kWeekdaysOnly,
  kWeekendsOnly,
  kSundayOnly,
  kMondayOnly,
  kTuesdayOnly,
  kWednesdayOnly,
  kThursdayOnly,
  kFridayOnly,
  kSaturdayOnly,
  kFirstDayOfMonth,
  kLastDayOfMonth,
  kFirstWeekdayOfMonth,
  kLastWeekdayOfMonth,
};

struct VersionInfo {
  std::string_view text;            // as the version list shows it
  std::string_view securitySwitch;  // switch placed before the security file
  std::string_view securityLabel;   // caption of the security-file label
};

inline constexpr std::array<VersionInfo, kAccess2003 + 1> kVersions{{
    {"2", " /ini", "Location of INI file"},
    {"95", " /wrkgrp", "Location of MDW file"},
    {"97", " /wrkgrp", "Location of MDW file"},
    {"2000", " /wrkgrp", "Location of MDW file"},
    {"2002", " /wrkgrp", "Location of MDW file"},
    {"2003", " /wrkgrp", "Location of MDW file"},
}};

// How an action uses the task's Macro text on the command line.
enum class MacroUse {
  None,         // the text is ignored
  MacroName,    // quoted macro name; required
  CommandText,  // passed unquoted; may be empty
};

struct ActionInfo {
  std::string_view text;
  std::string_view accessSwitch;
  MacroUse macroUse;
  std::string_view macroLabel;  // caption of the label beside the macro box
};

inline constexpr std::array<ActionInfo, kCmd + 1> kActions{{
    {"Compact", " /compact", MacroUse::None, "Macro"},
    {"Macro", " /x ", MacroUse::MacroName, "Macro"},
    {"Repair", " /repair", MacroUse::None, "Macro"},
    {"Decompile", " /decompile", MacroUse::None, "Macro"},
    {"Cmd", " /cmd ", MacroUse::CommandText, "Command"},
}};

inline constexpr std::array<std::string_view, kLastWeekdayOfMonth + 1> kDayPatterns{
    "Every day",
    "Weekdays only",
    "Weekends only",
    "Sunday only",
    "Monday only",
    "Tuesday only",
    "Wednesday only",
    "Thursday only",
    "Friday only",
    "Saturday only",
    "First day of month",
    "Last day of month",
    "First weekday of month",
    "Last weekday of month",
};

// The security switch for a version list index: " /wrkgrp" above 0, " /ini" for
// the oldest version and for no selection (-1).
std::string_view securitySwitch(int versionIndex);

// The caption of the security-file label for a stored Version value.
std::string_view securityFileLabel(int version);

// The action table entry for a list index, or nullptr for no selection.
const ActionInfo* actionInfo(int actionIndex);

}  // namespace kiv
