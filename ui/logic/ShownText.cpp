#include "ShownText.h"

#include <algorithm>
#include <cstring>

namespace brackwin {

namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

void AppendShownLine(std::string& out, std::string_view line) {
    const std::size_t length = ShownLength(line);
    AppendMarkingNul(out, line.substr(0, length));
    if (length != line.size()) {
        out.append(kCutMark);
    }
}

}  // namespace

std::size_t ShownLength(std::string_view line) noexcept {
    if (line.size() <= kShownLineBytes) {
        return line.size();
    }
    std::size_t length = kShownLineBytes;
    while (length > 0 && IsContinuationByte(line[length])) {
        --length;
    }
    return length;
}

void AppendMarkingNul(std::string& out, std::string_view bytes) {
    for (;;) {
        const std::size_t nul = bytes.find('\0');
        out.append(bytes.substr(0, nul));
        if (nul == std::string_view::npos) {
            return;
        }
        out.append(kNulMark);
        bytes.remove_prefix(nul + 1);
    }
}

std::string ShownLine(std::string_view line) {
    std::string shown;
    AppendShownLine(shown, line);
    return shown;
}

std::string ShownText(std::string_view text, std::size_t maxLines) {
    std::string shown;
    shown.reserve(std::min(text.size(), maxLines * (kShownLineBytes + kCrLf.size())));
    std::size_t start = 0;
    for (std::size_t line = 0; line < maxLines; ++line) {
        const void* lf = std::memchr(text.data() + start, '\n', text.size() - start);
        std::size_t end =
            lf == nullptr ? text.size()
                          : static_cast<std::size_t>(static_cast<const char*>(lf) - text.data());
        const bool crLf = end != text.size() && end > start && text[end - 1] == '\r';
        if (line != 0) {
            shown.append(kCrLf);
        }
        AppendShownLine(shown, text.substr(start, (crLf ? end - 1 : end) - start));
        if (end == text.size()) {
            break;
        }
        start = end + 1;
    }
    return shown;
}

}  // namespace brackwin
