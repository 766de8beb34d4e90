#pragma once

#include <string_view>

namespace brackwin {

// Where the About window sends the user. The project has no public site yet, so these stay
// under the reserved example.org domain until it has one.
inline constexpr std::string_view kHomePageAddress = "https://brackwin.example.org/";
inline constexpr std::string_view kHomePageTitle = "Brackwin ホームページ";
inline constexpr std::string_view kContactAddress = "brackwin@example.org";

}  // namespace brackwin
