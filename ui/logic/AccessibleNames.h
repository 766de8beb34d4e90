#pragma once

#include <string_view>

namespace brackwin {

// What a screen reader calls the main window's controls that no visible text names. They are
// never shown.
inline constexpr std::string_view kText1AccessibleName = "検索キー";
inline constexpr std::string_view kList1AccessibleName = "検索結果";
inline constexpr std::string_view kText2AccessibleName = "出力";
inline constexpr std::string_view kLabel1AccessibleName = "プレビュー";

}  // namespace brackwin
