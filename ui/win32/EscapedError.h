#pragma once

#include <string_view>

namespace brackwin::win32 {

// An error escaped an event handler: shows its text in a message box captioned with the
// application's title, through the user-interface services, and ends the program. The windows
// may be half-way through an operation, so nothing of them runs any more, destructors included.
[[noreturn]] void ReportEscapedError(std::string_view what) noexcept;

}  // namespace brackwin::win32
