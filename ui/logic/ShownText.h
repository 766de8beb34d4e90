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
// The preview label shows a few lines; more would only be laid out and clipped.
inline constexpr std::size_t kShownPreviewLines = 64;
// Ends a line that was cut.
inline constexpr std::string_view kCutMark = "\u2026";

// The line's first kShownLineBytes bytes, cut at a character boundary, and the cut mark when
// anything was left out; the line itself when it is short enough.
std::string ShownLine(std::string_view line);

// text, whose lines are joined by CR LF, with each line as ShownLine gives it and with lines
// beyond the first maxLines left out.
std::string ShownText(std::string_view text,
                      std::size_t maxLines = std::numeric_limits<std::size_t>::max());

}  // namespace brackwin
