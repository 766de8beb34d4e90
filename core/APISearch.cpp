#include "APISearch.h"

#include <string>

#include "CaseFold.h"

namespace brackwin {

namespace {

bool InCategory(std::string_view line, std::int32_t category) noexcept {
    switch (category) {
        case kConstants:
            return ContainsFoldedAscii(line, "public const") ||
                   ContainsFoldedAscii(line, "global const");
        case kFunctions:
            return ContainsFoldedAscii(line, "declare function");
        case kTypes:
            return StartsWithFoldedAscii(line, "type ");
        default:
            return false;
    }
}

}  // namespace

void APISearch(const LineList& APILines, std::string_view key, std::int32_t category,
               ResultList& results, Yield& yield) {
    results.Clear();
    const std::string foldedKey = FoldCase(key);
    std::string foldedLine;
    const std::size_t count = APILines.size();
    for (std::size_t i = 0; i < count; ++i) {
        yield.DoEvents();
        const std::string_view line = APILines[i];
        if (line.empty() || line.front() == '\'' || !InCategory(line, category)) {
            continue;
        }
        if (!foldedKey.empty()) {
            FoldCase(line, foldedLine);
            if (foldedLine.find(foldedKey) == std::string::npos) {
                continue;
            }
        }
        results.AddItem(line);
    }
}

}  // namespace brackwin
