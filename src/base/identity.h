#pragma once

#include <string>
#include <string_view>

namespace kiv::identity {

// The application's identity, fixed at build time. The title is also the
// settings-store application name and the title of every untitled message box.
inline constexpr std::string_view kTitle = "Kiv";
inline constexpr std::string_view kProductName = "Kivander";
inline constexpr int kMajor = 7;
inline constexpr int kMinor = 0;
inline constexpr int kRevision = 0;
inline constexpr std::string_view kDescription = "Database administration task scheduler.";
inline constexpr std::string_view kComments =
    "'Access' is a registered trademark of the Microsoft Corporation.";

// "Kiv - Kivander v7.0.0": the icon's tip at start-up and the first paragraph of About.
std::string versionLine();

}  // namespace kiv::identity
