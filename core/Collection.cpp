#include "Collection.h"

#include "AppIdentity.h"
#include "Platform.h"

namespace brackwin {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kEndType = "End Type";

// Hands each line of the type block(s) that entry opens to consume, in file order, until consume
// returns false. Every line containing entry opens a block (or continues one); a block runs
// through the next line containing "End Type". Both tests are exact, case-sensitive substring
// tests. The lines that open blocks are found in the list's whole text rather than line by line,
// which keeps a preview quick in a file of millions of lines: an entry holds no line break, so
// a match never spans two lines.
template <typename Consumer>
void ScanTypeBlock(std::string_view entry, const LineList& APILines, Consumer&& consume) {
    if (entry.empty() || entry.find_first_of(kCrLf) != std::string_view::npos) {
        // Every line holds the empty entry, and no line one with a break.
        for (std::size_t i = 0; entry.empty() && i < APILines.size(); ++i) {
            if (!consume(APILines[i])) {
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
            if (!consume(line)) {
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
        ScanTypeBlock(entry, APILines, [&](std::string_view line) {
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

std::string AddSelection(std::string output, std::span<const std::string_view> selected,
                         bool typesOption, const LineList& APILines) {
    AppendSelection(output, selected, typesOption, APILines);
    return output;
}

void AppendSelection(std::string& output, std::span<const std::string_view> selected,
                     bool typesOption, const LineList& APILines) {
    for (const std::string_view entry : selected) {
        if (!typesOption) {
            output.append(kCrLf).append(kCrLf).append(entry);
            continue;
        }
        output.append(kCrLf);
        ScanTypeBlock(entry, APILines, [&output](std::string_view line) {
            output.append(kCrLf).append(line);
            return true;
        });
    }
}

void CopyToClipboard(std::string_view output, Clipboard& clipboard, MessageDialog& messageBox) {
    clipboard.Clear();
    const bool copied = clipboard.SetText(output);
    messageBox.Show(copied ? kCopiedMessage : kCopyFailedMessage, kAppTitle);
}

}  // namespace brackwin
