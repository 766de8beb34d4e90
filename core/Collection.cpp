#include "Collection.h"

#include <algorithm>
#include <vector>

#include "AppIdentity.h"
#include "Platform.h"

namespace brackwin {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kEndType = "End Type";

// Hands each line of the type block(s) that entry opens to consume, with its index, in file
// order, until consume returns false. Every line containing entry opens a block (or continues one);
// a block runs through the next line containing "End Type". Both tests are exact, case-sensitive
// substring tests. The lines that open blocks are found in the list's whole text rather than line
// by line, which keeps a preview quick in a file of millions of lines: an entry holds no line
// break, so a match never spans two lines.
template <typename Consumer>
void ScanTypeBlock(std::string_view entry, const LineList& APILines, Consumer&& consume) {
    if (entry.empty() || entry.find_first_of(kCrLf) != std::string_view::npos) {
        // Every line holds the empty entry, and no line one with a break.
        for (std::size_t i = 0; entry.empty() && i < APILines.size(); ++i) {
            if (!consume(i, APILines[i])) {
                return;
            }
        }
        return;
    }
    std::string_view rest = APILines.Text();
    while (const char* const opening = FindBytes(rest, entry)) {
        std::size_t i = APILines.IndexAt(opening);
        for (;; ++i) {
            const std::string_view line = APILines[i];
            if (!consume(i, line)) {
                return;
            }
            if (line.find(kEndType) != std::string_view::npos) {
                break;
            }
            if (i + 1 == APILines.size()) {
                return;
            }
        }
        if (i + 1 == APILines.size()) {
            return;
        }
        const std::string_view text = APILines.Text();
        rest = text.substr(static_cast<std::size_t>(APILines[i + 1].data() - text.data()));
    }
}

// Whether text holds two or more characters (not bytes: the text is UTF-8).
bool HasTwoCharacters(std::string_view text) noexcept {
    int characters = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && ++characters == 2) {
            return true;
        }
    }
    return false;
}

}  // namespace

Preview PreviewSelection(std::span<const std::string_view> selected, bool typesOption,
                         const LineList& APILines, std::size_t maxLines, std::size_t maxLineBytes) {
    Preview preview;
    std::size_t lines = 0;
    for (const std::string_view entry : selected) {
        preview.enableAdd = true;
        if (!typesOption) {
            preview.text = entry.substr(0, maxLineBytes);
            continue;
        }
        ScanTypeBlock(entry, APILines, [&](std::size_t, std::string_view line) {
            if (lines == maxLines) {
                return false;
            }
            if (HasTwoCharacters(preview.text)) {
                preview.text.append(kCrLf).append(line.substr(0, maxLineBytes));
            } else {
                preview.text = line.substr(0, maxLineBytes);
            }
            ++lines;
            return true;
        });
    }
    return preview;
}

void AppendSelection(AdditionSink& sink, std::span<const std::string_view> selected,
                     bool typesOption, const LineList& APILines) {
    // Each entry's block lines as runs of line indices, found before anything is written so the
    // addition's size is known and its room taken at once.
    struct LineRun {
        std::size_t begin;
        std::size_t end;
    };
    std::vector<std::vector<LineRun>> runs(typesOption ? selected.size() : 0);
    std::size_t bytes = 0;
    for (std::size_t e = 0; e < selected.size(); ++e) {
        if (!typesOption) {
            bytes += 2 * kCrLf.size() + selected[e].size();
            continue;
        }
        bytes += kCrLf.size();
        std::vector<LineRun>& entryRuns = runs[e];
        ScanTypeBlock(selected[e], APILines, [&](std::size_t i, std::string_view line) {
            if (!entryRuns.empty() && entryRuns.back().end == i) {
                ++entryRuns.back().end;
            } else {
                entryRuns.push_back({i, i + 1});
            }
            bytes += kCrLf.size() + line.size();
            return true;
        });
    }
    sink.Reserve(bytes);
    for (std::size_t e = 0; e < selected.size(); ++e) {
        sink.AppendLine({});
        if (!typesOption) {
            sink.AppendLine(selected[e]);
            continue;
        }
        for (const LineRun run : runs[e]) {
            for (std::size_t i = run.begin; i < run.end; ++i) {
                sink.AppendLine(APILines[i]);
            }
        }
    }
}

std::string AddSelection(std::string output, std::span<const std::string_view> selected,
                         bool typesOption, const LineList& APILines) {
    class StringSink final : public AdditionSink {
      public:
        explicit StringSink(std::string& text) : text_(text) {}
        void Reserve(std::size_t bytes) override { ReserveAddition(text_, bytes); }
        void AppendLine(std::string_view line) override { text_.append(kCrLf).append(line); }

      private:
        std::string& text_;
    };
    StringSink sink(output);
    AppendSelection(sink, selected, typesOption, APILines);
    return output;
}

void ReserveAddition(std::string& text, std::size_t bytes) {
    const std::size_t needed = text.size() + bytes;
    if (needed > text.capacity()) {
        text.reserve(std::max(needed, 2 * text.capacity()));
    }
}

void CopyToClipboard(std::string_view output, Clipboard& clipboard, MessageDialog& messageBox) {
    clipboard.Clear();
    const bool copied = clipboard.SetText(output);
    messageBox.Show(copied ? kCopiedMessage : kCopyFailedMessage, kAppTitle);
}

}  // namespace brackwin
