#include "APISearch.h"

#include <string>
#include <string_view>

#include "CaseFold.h"

namespace brackwin {

namespace {

class CategoryTest {
  public:
    explicit CategoryTest(std::int32_t category) : category_(category) {}

    // A folded text that every line of the category holds, worth searching the whole text for.
    // (A type header's test mostly looks at a line's first byte only, which is quicker.)
    std::string_view Anchor() const noexcept {
        switch (category_) {
            case kConstants:
                return " const";
            case kFunctions:
                return "declare function";
            default:
                return {};
        }
    }

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
    // Keys of a character or two stand in most declaration lines.
    static constexpr std::size_t kRareKeyLength = 3;

    LineTest(bool asciiLines, std::string_view key, std::int32_t category)
        : asciiLines_(asciiLines),
          category_(category),
          foldedKey_(FoldCase(key)),
          asciiKey_(IsAscii(foldedKey_)),
          asciiKeyFinder_(asciiKey_ ? foldedKey_ : std::string()) {}

    // A folded ASCII text that every passing line holds with only A-Z folded, or empty: the key
    // unless it is too short to be rare, else the category's own, when the category has one.
    // Folding other characters could make a line hold it, so only a list of ASCII lines has one.
    std::string_view Anchor() const noexcept {
        const std::string_view categoryAnchor = category_.Anchor();
        if (!asciiLines_ || categoryAnchor.empty()) {
            return {};
        }
        return asciiKey_ && foldedKey_.size() >= kRareKeyLength ? foldedKey_ : categoryAnchor;
    }

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

// Every line may pass, when there is no anchor to search for.
struct AllLines {
    static constexpr bool MayPass(std::size_t) noexcept { return true; }
};

// Passes over the lines that lack a (non-empty) anchor by searching the whole text for it, a piece
// at a time, which is much faster than testing line by line. Lines must be asked about in ascending
// order.
class AnchoredLines {
  public:
    AnchoredLines(const LineList& lines, std::string_view anchor)
        : lines_(lines), anchor_(anchor) {}

    // False when line i is known to lack the anchor.
    bool MayPass(std::size_t i) {
        if (i == withAnchor_) {
            return true;
        }
        if (i < lacking_) {
            return false;
        }
        SearchFrom(i);
        return i == withAnchor_ || i >= lacking_;
    }

  private:
    // A piece short enough that searching it keeps the window's gaps between events small.
    static constexpr std::size_t kPiece = std::size_t{1} << 16;

    // Finds the next line from i on that holds the anchor, within a piece of text. Lines up to
    // it, or wholly within the piece, lack it.
    void SearchFrom(std::size_t i) {
        const std::string_view text = lines_.Text();
        const std::size_t start = static_cast<std::size_t>(lines_[i].data() - text.data());
        const std::string_view piece = text.substr(start, kPiece);
        const std::size_t found = FindFoldedAscii(piece, anchor_);
        if (found != std::string_view::npos) {
            withAnchor_ = lines_.IndexAt(piece.data() + found, i);
            lacking_ = withAnchor_;
        } else if (start + piece.size() == text.size()) {
            withAnchor_ = kNone;
            lacking_ = lines_.size();
        } else {
            // The line holding the piece's end may hold the anchor past it.
            withAnchor_ = kNone;
            lacking_ = lines_.IndexAt(piece.data() + piece.size(), i);
        }
    }

    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    const LineList& lines_;
    std::string_view anchor_;
    std::size_t withAnchor_ = kNone;
    // The lines before this one, apart from withAnchor_, lack the anchor.
    std::size_t lacking_ = 0;
};

// The search loop, with the lines that need no test passed over by `candidates`.
template <typename Candidates>
void SearchLines(const LineList& APILines, LineTest& test, Candidates candidates,
                 ResultList& results, Yield& yield) {
    const std::size_t count = APILines.size();
    for (std::size_t i = 0; i < count; ++i) {
        yield.DoEvents();
        if (!candidates.MayPass(i)) {
            continue;
        }
        const std::string_view line = APILines[i];
        if (line.empty() || line.front() == '\'' || !test.Passes(line)) {
            continue;
        }
        results.AddItem(line);
    }
}

}  // namespace

void APISearch(const LineList& APILines, std::string_view key, std::int32_t category,
               ResultList& results, Yield& yield) {
    results.Clear();
    LineTest test(APILines.IsAscii(), key, category);
    if (const std::string_view anchor = test.Anchor(); !anchor.empty()) {
        SearchLines(APILines, test, AnchoredLines(APILines, anchor), results, yield);
    } else {
        SearchLines(APILines, test, AllLines(), results, yield);
    }
}

}  // namespace brackwin
