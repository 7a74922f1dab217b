#pragma once

#include <array>
#include <string_view>

#include "form/controls.h"

namespace kiv::layout {

// The main window as it is drawn at load, before any code runs. Positions are
// in twips; every control but the frame sits inside the frame.

inline constexpr std::string_view kInitialCaption = "KIV";
inline constexpr int kClientWidth = 6090;
inline constexpr int kClientHeight = 4110;
inline constexpr std::string_view kFontFamily = "Tahoma";
inline constexpr double kFontPointSize = 8.25;

struct ControlLayout {
  std::string_view name;
  int index;                 // -1 for a control outside a family
  std::string_view caption;  // caption, or initial text of a text box
  TwipsRect geometry;
  int tabIndex;
  std::string_view tooltip;
};

inline constexpr std::array<ControlLayout, 32> kControls{{
    {"cmbTask", -1, "", {920, 240, 975, 315}, 0, "Numeric task identifier"},
    {"TBox", 7, "", {2940, 240, 2930, 285}, 1, "Task name"},
    {"TBox", 0, "00:00:00", {920, 720, 975, 285}, 2, "Task run time"},
    {"TBox", 1, "", {2940, 720, 975, 285}, 3, "Database account logon"},
    {"TBox", 2, "", {4895, 720, 975, 285}, 4, "Database account password"},
    {"cmbVer", -1, "", {920, 1200, 975, 315}, 5, "Version of Access"},
    {"cmbAction", -1, "", {2940, 1200, 975, 315}, 6, "Desired action"},
    {"TBox", 3, "", {4895, 1200, 975, 285}, 7, "Macro name"},
    {"TBox", 4, "", {1680, 1710, 3110, 285}, 8, "Path and filename of Access executable"},
    {"Command1", 0, "&Browse", {4895, 1710, 975, 285}, 9, "Browse for..."},
    {"TBox", 5, "", {1680, 2190, 3110, 285}, 10, "Path and filename of database"},
    {"Command1", 1, "B&rowse", {4895, 2190, 975, 285}, 11, "Browse for..."},
    {"TBox", 6, "", {1680, 2670, 3110, 285}, 12, "Path and filename of database security file"},
    {"Command1", 2, "Br&owse", {4895, 2670, 975, 285}, 13, "Browse for..."},
    {"cmbDays", -1, "", {1680, 3120, 2235, 315}, 14, "Which days the task shown will run on"},
    {"Check2", -1, "&Open exclusively?", {120, 3600, 1695, 255}, 15, "Exclusive opening flag"},
    {"Check1",
     -1,
     "C&lose KIV after running?",
     {2160, 3600, 2130, 255},
     16,
     "Close after running flag"},
    {"cmdCompile", -1, "&Compile task", {4415, 3150, 1455, 285}, 17, "(De)compile the task shown"},
    {"cmdRun", -1, "&Run now", {4415, 3630, 1455, 285}, 18, "Run the task shown now"},
    {"Frame1", 0, "", {60, 0, 5985, 4050}, 19, ""},
    {"Lbl1", 0, "Task ID", {120, 270, 615, 255}, 29, ""},
    {"Lbl1", 1, "Launch at", {120, 735, 855, 255}, 20, ""},
    {"Lbl1", 2, "Username", {2060, 720, 795, 255}, 25, ""},
    {"Lbl1", 3, "Password", {4105, 735, 735, 255}, 26, ""},
    {"Lbl1", 4, "Version", {120, 1230, 735, 255}, 24, ""},
    {"Lbl1", 5, "Action", {2060, 1230, 495, 255}, 27, ""},
    {"Lbl1", 6, "Macro", {4110, 1230, 735, 255}, 28, ""},
    {"Lbl1", 7, "Location of Access", {120, 1725, 1455, 255}, 23, ""},
    {"Lbl1", 8, "Location of database", {120, 2205, 1575, 255}, 21, ""},
    {"Lbl1", 9, "Location of INI file", {120, 2685, 1575, 255}, 22, ""},
    {"Lbl1", 10, "Task name", {2060, 270, 855, 255}, 30, ""},
    {"Lbl1", 11, "Days to run on", {120, 3135, 1215, 255}, 31, ""},
}};

struct MenuLayout {
  std::string_view name;
  std::string_view caption;
  std::string_view shortcut;
  bool enabled;
  int helpContext;
};

inline constexpr std::array<MenuLayout, 18> kMenus{{
    {"mnuSchedule", "&Schedule", "", true, 1},
    {"mnuNew", "&New", "Ctrl+N", true, 1},
    {"mnuOpen", "&Open", "Ctrl+O", true, 1},
    {"mnuSave", "&Save", "Ctrl+S", false, 1},
    {"mnuSaveAs", "Save &as", "Ctrl+A", true, 1},
    {"mnuExit", "E&xit", "Ctrl+X", true, 1},
    {"mnuTask", "&Task", "", true, 2},
    {"mnuCompile", "Co&mpile", "Ctrl+M", true, 2},
    {"mnuRun", "&Run", "Ctrl+R", false, 2},
    {"mnuDuplicate", "&Duplicate", "Ctrl+D", true, 2},
    {"mnuErase", "&Erase", "Ctrl+E", true, 2},
    {"mnuOptions", "&Options…", "", true, 2},
    {"mnuHelp", "&Help", "", true, 0},
    {"mnuHlp", "&Help", "", true, 0},
    {"mnuAbout", "&About", "", true, 0},
    {"mnuAccess", "&Access", "", true, 0},
    {"mnuStore", "&Store as default", "", true, 0},
    {"mnuRetrieve", "&Retrieve default", "", true, 0},
}};

}  // namespace kiv::layout
