#pragma once

#include <cstdint>
#include <string_view>

#include "LineList.h"
#include "UiServices.h"

namespace brackwin {

enum Category : std::int32_t { kConstants = 1, kFunctions = 2, kTypes = 3 };

// Clears results, then appends every line of APILines in the category (1 constants,
// 2 functions, 3 types; any other code selects nothing) that contains key, both folded to lower
// case (CaseFold.h), in file order. Comment lines (starting with ') and empty lines are skipped.
// Calls yield.DoEvents() once per examined line; exceptions from it pass through, as do those
// of FoldCase.
void APISearch(const LineList& APILines, std::string_view key, std::int32_t category,
               ResultList& results, Yield& yield);

}  // namespace brackwin
