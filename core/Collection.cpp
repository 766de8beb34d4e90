#include "Collection.h"

#include "AppIdentity.h"

namespace brackwin {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kEndType = "End Type";

// Hands each line of the type block(s) that entry opens to consume, in file order. Every
// line containing entry opens a block (or continues one); a block runs through the next
// line containing "End Type". Both tests are exact, case-sensitive substring tests.
template <typename Consumer>
void ScanTypeBlock(std::string_view entry, const LineList& APILines, Consumer&& consume) {
    bool inside = false;
    const std::size_t count = APILines.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view line = APILines[i];
        if (line.find(entry) != std::string_view::npos) {
            inside = true;
        }
        if (inside) {
            consume(line);
        }
        if (line.find(kEndType) != std::string_view::npos) {
            inside = false;
        }
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
                         const LineList& APILines) {
    Preview preview;
    for (const std::string_view entry : selected) {
        preview.enableAdd = true;
        if (!typesOption) {
            preview.text = entry;
            continue;
        }
        ScanTypeBlock(entry, APILines, [&preview](std::string_view line) {
            if (HasTwoCharacters(preview.text)) {
                preview.text.append(kCrLf).append(line);
            } else {
                preview.text = line;
            }
        });
    }
    return preview;
}

std::string AddSelection(std::string output, std::span<const std::string_view> selected,
                         bool typesOption, const LineList& APILines) {
    for (const std::string_view entry : selected) {
        if (!typesOption) {
            output.append(kCrLf).append(kCrLf).append(entry);
            continue;
        }
        output.append(kCrLf);
        ScanTypeBlock(entry, APILines,
                      [&output](std::string_view line) { output.append(kCrLf).append(line); });
    }
    return output;
}

void CopyToClipboard(std::string_view output, Clipboard& clipboard, MessageDialog& messageBox) {
    clipboard.Clear();
    const bool copied = clipboard.SetText(output);
    messageBox.Show(copied ? kCopiedMessage : kCopyFailedMessage, kAppTitle);
}

}  // namespace brackwin
