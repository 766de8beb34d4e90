#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Collection.h"

namespace brackwin {

// A place in the output area's shown text: the zero-based shown line and the UTF-16 code units
// before it on that line, as both toolkits' text controls count them.
struct ShownPosition {
    std::size_t line = 0;
    std::size_t column = 0;
    auto operator<=>(const ShownPosition&) const = default;
};

// The output text, whole, and the bounded display of it that the output area shows: laying out
// hundreds of thousands of lines froze the windows, so each addition shows at most
// kShownLinesPerAddition lines, the rest as one mark line, and each line as ShownLine cuts it.
// The shown lines are the text's lines, between the CR LFs each addition writes, so each maps to
// the bytes of the text it stands for, and a selection of the display to the text it covers.
class OutputText {
  public:
    OutputText();

    // The whole text, with its CR LF line breaks, as collected: what copying puts on the
    // clipboard.
    std::string_view Text() const noexcept { return text_; }

    // Lets write append lines to the text through the sink it is handed and returns the shown
    // text of what it appended, to be appended to the output area: CR LF between lines, and the
    // added text's first line joined to the shown last line. Every added line follows a line
    // break, so no shown line grows. When write or anything else throws, the text and its
    // display stay as they were.
    std::string Append(const std::function<void(AdditionSink&)>& write);
    // Takes back the last Append, when the output area could not show it. Only once after it.
    void RemoveLastAddition() noexcept;
    // Empties the text and frees its memory.
    void Clear() noexcept;

    // The whole shown text, as the appended pieces joined make it.
    std::string Shown() const;
    // The part of the text that the shown text from `from` to `to` stands for (in either order).
    // A selection that takes in any of a cut mark or an omitted-lines mark takes in all the text
    // the mark stands for. Positions beyond a line's end are its end; beyond the last line, the
    // text's end.
    std::string RealText(ShownPosition from, ShownPosition to) const;

  private:
    class Addition;

    // The text's bytes one shown line stands for, its line break left out.
    struct Span {
        std::size_t begin = 0;
        std::size_t end = 0;
        // The bytes shown as they are run from begin to here; a cut mark follows when it is
        // short of end. The omitted-lines mark shows none of them.
        std::size_t shownEnd = 0;
        // The lines the omitted-lines mark stands for; 0 on every other shown line.
        std::size_t omittedLines = 0;
    };

    void AppendShown(std::string& out, const Span& span) const;
    // Where in the text a position falls; inside a mark, or a character of two UTF-16 units, it
    // falls before what the mark or character stands for, or after it when roundUp.
    std::size_t Offset(ShownPosition position, bool roundUp) const;

    std::string text_;
    std::vector<Span> spans_;
    // The sizes before the last Append, so RemoveLastAddition can take it back.
    std::size_t lastTextSize_ = 0;
    std::size_t lastSpanCount_ = 1;
};

// Each addition shows at most this many lines: a few milliseconds of layout.
inline constexpr std::size_t kShownLinesPerAddition = 1000;

// The line that stands for lines an addition does not show, with the count as 199,000 shows it.
std::string OmittedLinesMark(std::size_t lines);

}  // namespace brackwin
