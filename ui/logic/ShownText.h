#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

namespace brackwin {

// How much of a text the windows draw. Text layout costs grow with a line's length (a 3 MB line
// kept a text control busy for minutes, a 150 MB one crashed the toolkit) and no control shows
// more than a screenful of one line, so long lines are cut before they reach a control. What is
// stored, added and copied stays whole.
inline constexpr std::size_t kShownLineBytes = 4096;
// A line shows the same from its first bytes up to this many as from all of it: one byte beyond
// what is shown tells that the line is cut.
inline constexpr std::size_t kLineBytesToShow = kShownLineBytes + 1;
// The preview label shows a few lines; more would only be laid out and clipped.
inline constexpr std::size_t kShownPreviewLines = 64;
// Ends a line that was cut.
inline constexpr std::string_view kCutMark = "\u2026";
// Stands where a NUL byte is: controls that take text as C strings would end it there, and the
// others draw nothing visible for it. One UTF-16 unit, as the NUL is one byte.
inline constexpr std::string_view kNulMark = "\u2400";

// How many of the line's bytes are shown: all of it when it is short enough, else its first
// kShownLineBytes bytes cut back to a character boundary.
std::size_t ShownLength(std::string_view line) noexcept;

// Appends bytes with each NUL as kNulMark.
void AppendMarkingNul(std::string& out, std::string_view bytes);

// The line's first ShownLength bytes, with each NUL as kNulMark, and the cut mark when anything
// was left out.
std::string ShownLine(std::string_view line);

// text, whose lines are joined by CR LF, with each line as ShownLine gives it and with lines
// beyond the first maxLines left out.
std::string ShownText(std::string_view text,
                      std::size_t maxLines = std::numeric_limits<std::size_t>::max());

}  // namespace brackwin
