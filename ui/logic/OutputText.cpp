#include "OutputText.h"

#include <algorithm>
#include <utility>

#include "ShownText.h"

namespace brackwin {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// The bytes of the UTF-8 character that starts with lead; a stray byte counts as one.
std::size_t CharacterBytes(char lead) noexcept {
    const auto byte = static_cast<unsigned char>(lead);
    return byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
}

// Characters beyond the basic plane take two UTF-16 units, every other one.
std::size_t Utf16Units(std::size_t characterBytes) noexcept {
    return characterBytes == 4 ? 2 : 1;
}

std::size_t Utf16Length(std::string_view text) noexcept {
    std::size_t units = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t bytes = CharacterBytes(text[at]);
        units += Utf16Units(bytes);
        at += bytes;
    }
    return units;
}

}  // namespace

std::string OmittedLinesMark(std::size_t lines) {
    std::string digits = std::to_string(lines);
    for (std::size_t at = digits.size(); at > 3; at -= 3) {
        digits.insert(at - 3, 1, ',');
    }
    return "\u2026\uFF08\u307B\u304B " + digits + " \u884C\uFF09";
}

OutputText::OutputText() : spans_(1) {}

// Appends an addition's lines to the text and notes the shown lines they make as they come: the
// lines' ends are known as they are written, so no added byte is read again, and beyond the
// shown lines each costs only a count.
class OutputText::Addition final : public AdditionSink {
  public:
    explicit Addition(OutputText& output) : output_(output) {}

    void Reserve(std::size_t bytes) override { ReserveAddition(output_.text_, bytes); }

    void AppendLine(std::string_view line) override {
        std::string& text = output_.text_;
        text.append(kCrLf);
        const std::size_t begin = text.size();
        text.append(line);
        if (lines_ < kShownLinesPerAddition) {
            output_.spans_.push_back({begin, text.size(), begin + ShownLength(line), 0});
        } else if (lines_ == kShownLinesPerAddition) {
            omittedBegin_ = begin;
        }
        ++lines_;
    }

    // The omitted-lines mark's line, once every line is in.
    void Finish() {
        if (lines_ > kShownLinesPerAddition) {
            output_.spans_.push_back({omittedBegin_, output_.text_.size(), omittedBegin_,
                                      lines_ - kShownLinesPerAddition});
        }
    }

  private:
    OutputText& output_;
    std::size_t lines_ = 0;
    std::size_t omittedBegin_ = 0;
};

std::string OutputText::Append(const std::function<void(AdditionSink&)>& write) {
    const std::size_t textSize = text_.size();
    const std::size_t spanCount = spans_.size();
    try {
        Addition addition(*this);
        write(addition);
        addition.Finish();
        std::string shown;
        for (std::size_t i = spanCount; i < spans_.size(); ++i) {
            shown.append(kCrLf);
            AppendShown(shown, spans_[i]);
        }
        lastTextSize_ = textSize;
        lastSpanCount_ = spanCount;
        return shown;
    } catch (...) {
        text_.resize(textSize);
        spans_.resize(spanCount);
        throw;
    }
}

void OutputText::RemoveLastAddition() noexcept {
    text_.resize(std::min(lastTextSize_, text_.size()));
    spans_.resize(std::min(lastSpanCount_, spans_.size()));
}

void OutputText::Clear() noexcept {
    std::string().swap(text_);
    spans_.resize(1);
    spans_.front() = Span{};
    lastTextSize_ = 0;
    lastSpanCount_ = 1;
}

std::string OutputText::Shown() const {
    std::string shown;
    for (std::size_t i = 0; i < spans_.size(); ++i) {
        if (i != 0) {
            shown.append(kCrLf);
        }
        AppendShown(shown, spans_[i]);
    }
    return shown;
}

std::string OutputText::RealText(ShownPosition from, ShownPosition to) const {
    if (to < from) {
        std::swap(from, to);
    }
    if (from == to) {
        return {};
    }
    const std::size_t begin = Offset(from, false);
    return text_.substr(begin, Offset(to, true) - begin);
}

void OutputText::AppendShown(std::string& out, const Span& span) const {
    if (span.omittedLines != 0) {
        out.append(OmittedLinesMark(span.omittedLines));
        return;
    }
    AppendMarkingNul(out, std::string_view(text_).substr(span.begin, span.shownEnd - span.begin));
    if (span.shownEnd != span.end) {
        out.append(kCutMark);
    }
}

std::size_t OutputText::Offset(ShownPosition position, bool roundUp) const {
    if (position.line >= spans_.size()) {
        return text_.size();
    }
    const Span& span = spans_[position.line];
    if (span.omittedLines != 0) {
        if (position.column == 0) {
            return span.begin;
        }
        const bool pastMark = position.column >= Utf16Length(OmittedLinesMark(span.omittedLines));
        return pastMark || roundUp ? span.end : span.begin;
    }
    std::size_t offset = span.begin;
    std::size_t units = 0;
    while (offset < span.shownEnd && units < position.column) {
        const std::size_t bytes = std::min(CharacterBytes(text_[offset]), span.shownEnd - offset);
        if (units + Utf16Units(bytes) > position.column) {
            return roundUp ? offset + bytes : offset;
        }
        units += Utf16Units(bytes);
        offset += bytes;
    }
    // A column beyond the shown bytes is in the cut mark or past the line's end.
    return units < position.column ? span.end : offset;
}

}  // namespace brackwin
