#pragma once

#include <string_view>

namespace brackwin {

// The application's title and version, shown in window captions, the copy message and the
// About window, and recorded in the Windows version resource.
inline constexpr std::string_view kAppTitle = "Brackwin";
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 0;

}  // namespace brackwin
