#include "APISearch.h"

#include <string>

#include "CaseFold.h"

namespace brackwin {

namespace {

class CategoryTest {
  public:
    explicit CategoryTest(std::int32_t category) : category_(category) {}

    bool Passes(std::string_view line) const noexcept {
        switch (category_) {
            case kConstants:
                return publicConst_.FoundIn(line) || globalConst_.FoundIn(line);
            case kFunctions:
                return declareFunction_.FoundIn(line);
            case kTypes:
                return StartsWithFoldedAscii(line, "type ");
            default:
                return false;
        }
    }

  private:
    std::int32_t category_;
    FoldedAsciiFinder publicConst_{"public const"};
    FoldedAsciiFinder globalConst_{"global const"};
    FoldedAsciiFinder declareFunction_{"declare function"};
};

bool IsAscii(std::string_view text) noexcept {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

}  // namespace

void APISearch(const LineList& APILines, std::string_view key, std::int32_t category,
               ResultList& results, Yield& yield) {
    results.Clear();
    const CategoryTest categoryTest(category);
    const std::string foldedKey = FoldCase(key);
    const bool asciiKey = IsAscii(foldedKey);
    const FoldedAsciiFinder asciiKeyFinder(asciiKey ? foldedKey : std::string());
    std::string foldedLine;
    const std::size_t count = APILines.size();
    for (std::size_t i = 0; i < count; ++i) {
        yield.DoEvents();
        const std::string_view line = APILines[i];
        if (line.empty() || line.front() == '\'' || !categoryTest.Passes(line)) {
            continue;
        }
        if (asciiKey) {
            if (!asciiKeyFinder.FoundIn(line)) {
                continue;
            }
        } else {
            FoldCase(line, foldedLine);
            if (foldedLine.find(foldedKey) == std::string::npos) {
                continue;
            }
        }
        results.AddItem(line);
    }
}

}  // namespace brackwin
