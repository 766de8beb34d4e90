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

// The category and key tests of one search. Lines are first tested with only A-Z folded, which
// is exact for a list of ASCII lines and finds most matches in any list; a line is folded whole
// only where that could change the answer.
class LineTest {
  public:
    LineTest(bool asciiLines, std::string_view key, std::int32_t category)
        : asciiLines_(asciiLines),
          category_(category),
          foldedKey_(FoldCase(key)),
          asciiKey_(IsAscii(foldedKey_)),
          asciiKeyFinder_(asciiKey_ ? foldedKey_ : std::string()) {}

    bool Passes(std::string_view line) {
        const bool categoryPasses = category_.Passes(line);
        if (categoryPasses && asciiKey_ && asciiKeyFinder_.FoundIn(line)) {
            return true;
        }
        // An ASCII line folds to itself with only A-Z changed, so the tests above were exact.
        if (asciiLines_) {
            return false;
        }
        // Otherwise a miss above stands unless a character of the line folds into ASCII; a
        // non-ASCII key was not looked for at all.
        const bool keyNotSought = categoryPasses && !asciiKey_;
        if (!keyNotSought && !HasCharacterFoldingToAscii(line)) {
            return false;
        }
        FoldCase(line, foldedLine_);
        return category_.Passes(foldedLine_) && foldedLine_.find(foldedKey_) != std::string::npos;
    }

  private:
    bool asciiLines_;
    CategoryTest category_;
    std::string foldedKey_;
    bool asciiKey_;
    FoldedAsciiFinder asciiKeyFinder_;
    std::string foldedLine_;
};

}  // namespace

void APISearch(const LineList& APILines, std::string_view key, std::int32_t category,
               ResultList& results, Yield& yield) {
    results.Clear();
    LineTest test(APILines.IsAscii(), key, category);
    const std::size_t count = APILines.size();
    for (std::size_t i = 0; i < count; ++i) {
        yield.DoEvents();
        const std::string_view line = APILines[i];
        if (line.empty() || line.front() == '\'' || !test.Passes(line)) {
            continue;
        }
        results.AddItem(line);
    }
}

}  // namespace brackwin
