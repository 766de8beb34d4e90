#pragma once

#include <cstddef>
#include <limits>
#include <span>
#include <string>
#include <string_view>

#include "LineList.h"
#include "UiServices.h"

namespace brackwin {

// Preview, add, clear and copy as functions of plain values. "selected" holds the texts of
// the selected result entries in list order (in practice one or none); typesOption tells
// whether the types option is selected now. Lines in the texts are joined by CR LF.

struct Preview {
    std::string text;
    bool enableAdd = false;  // true when anything was selected; nothing ever disables add
};

// The preview label's new text: the entry, or with the types option its type block(s), of which
// a window that shows only the first lines, and only the start of long lines, can ask for no
// more than maxLines lines of at most maxLineBytes bytes each (a longer line's first bytes).
Preview PreviewSelection(std::span<const std::string_view> selected, bool typesOption,
                         const LineList& APILines,
                         std::size_t maxLines = std::numeric_limits<std::size_t>::max(),
                         std::size_t maxLineBytes = std::numeric_limits<std::size_t>::max());

// Takes an addition to the output: first its exact size in bytes, then its lines in order, each
// to be written after its own CR LF. Its lines hold no line break, so whoever writes them knows
// where each line begins and ends without reading the text again.
class AdditionSink {
  public:
    virtual void Reserve(std::size_t bytes) = 0;
    virtual void AppendLine(std::string_view line) = 0;

  protected:
    ~AdditionSink() = default;
};

// Hands the addition of the selection to sink: each entry after CR LF CR LF; with the types
// option, CR LF and then each block line after its own CR LF. The blocks are found in one search
// of the whole text before anything is written.
void AppendSelection(AdditionSink& sink, std::span<const std::string_view> selected,
                     bool typesOption, const LineList& APILines);
// The output text after adding the selection.
std::string AddSelection(std::string output, std::span<const std::string_view> selected,
                         bool typesOption, const LineList& APILines);

// Makes room in text for an addition of `bytes` bytes: exactly what it needs, or twice what it
// holds when that is more, so that many small additions to a large text copy it only now and
// then.
void ReserveAddition(std::string& text, std::size_t bytes);

// Empties the clipboard, puts output on it and confirms with a message captioned with the
// application title. When the clipboard refuses the text the message says so instead.
void CopyToClipboard(std::string_view output, Clipboard& clipboard, MessageDialog& messageBox);

inline constexpr std::string_view kCopiedMessage = "クリップボードに出力しました";
inline constexpr std::string_view kCopyFailedMessage = "クリップボードに出力できませんでした";

}  // namespace brackwin
