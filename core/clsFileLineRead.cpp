#include "clsFileLineRead.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

#include "Platform.h"
#include "TextDecoding.h"

namespace brackwin {

namespace {

constexpr std::size_t kReadChunk = 1 << 16;
// A large file is read a piece at a time as its lines are reached, so its reading is spread
// over their yields instead of keeping the window from events before the first one.
constexpr std::size_t kReadPiece = std::size_t{1} << 20;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};

std::string OpenFailureReason(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return "no such file";
        case EACCES:
        case EPERM:
            return "permission denied";
        default:
            return std::strerror(error);
    }
}

// Runs work, reporting running out of memory and the text converter's failures as read errors.
template <typename Work>
auto ReportingFailures(const std::string& path, Work work) {
    try {
        return work();
    } catch (const FileReadError&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw FileReadError(path, "out of memory");
    } catch (const std::runtime_error& error) {
        // The system's text converter is missing or refused the text.
        throw FileReadError(path, error.what());
    }
}

class FileReader {
  public:
    explicit FileReader(std::string path) : path_(std::move(path)) {
        const OpenedFile opened = OpenForReading(path_);
        if (opened.isFolder) {
            throw FileReadError(path_, "is a folder");
        }
        if (opened.isSpecial) {
            throw FileReadError(path_, "not a regular file");
        }
        if (opened.file == nullptr) {
            throw FileReadError(path_, OpenFailureReason(opened.error));
        }
        file_.reset(opened.file);
        expected_ = opened.size < std::numeric_limits<std::size_t>::max() - kReadChunk
                        ? static_cast<std::size_t>(opened.size)
                        : 0;
    }

    // Room for the whole file whose size is known, with one byte more to meet its end.
    std::size_t ExpectedRoom() const noexcept { return std::max(expected_ + 1, kReadChunk); }
    std::size_t ExpectedSize() const noexcept { return expected_; }
    bool Ended() const noexcept { return ended_; }

    // Appends the next piece of the file to bytes; a file that grows meanwhile, or reports no
    // size, is read on in chunks.
    void ReadInto(ByteBuffer& bytes) {
        const std::size_t room = expected_ >= bytes.size()
                                     ? std::min(kReadPiece, expected_ - bytes.size() + 1)
                                     : kReadChunk;
        char* const into = ReportingFailures(path_, [&] { return bytes.Extend(room); });
        const std::size_t read = std::fread(into, 1, room, file_.get());
        bytes.Commit(read);
        if (read < room) {
            if (std::ferror(file_.get()) != 0) {
                throw FileReadError(path_, std::string("read error: ") + std::strerror(errno));
            }
            ended_ = true;
        }
    }

  private:
    std::string path_;
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::size_t expected_ = 0;
    bool ended_ = false;
};

// The end of the line that starts at pos: the first CR or LF, or size.
std::size_t LineEnd(const char* data, std::size_t pos, std::size_t size) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    if constexpr (std::endian::native == std::endian::little) {
        // Eight bytes at a time: the lowest flagged byte is the first one below 0x0E (bytes
        // after it may be flagged wrongly), the only place a CR or LF can be.
        constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
        constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
        constexpr std::uint64_t kBelowCrPlusOne = kOnes * ('\r' + 1);
        while (size - pos >= sizeof(std::uint64_t)) {
            std::uint64_t word;
            std::memcpy(&word, p + pos, sizeof word);
            const std::uint64_t flagged = (word - kBelowCrPlusOne) & ~word & kHighBits;
            if (flagged == 0) {
                pos += sizeof word;
                continue;
            }
            pos += static_cast<std::size_t>(std::countr_zero(flagged)) / 8;
            if (p[pos] == '\r' || p[pos] == '\n') {
                return pos;
            }
            ++pos;
        }
    }
    while (pos < size) {
        const unsigned char c = p[pos];
        if (c == '\r' || c == '\n') {
            return pos;
        }
        ++pos;
    }
    return size;
}

// Where the line after the one that ends at end starts: past its CR LF, CR or LF.
std::size_t NextLineStart(const char* data, std::size_t end, std::size_t size) noexcept {
    if (end == size) {
        return size;
    }
    return end + (data[end] == '\r' && end + 1 < size && data[end + 1] == '\n' ? 2 : 1);
}

// Room for the end of every line of a file of declarations (a few dozen bytes a line), so the
// list seldom copies while it grows; pages of the room that stay unused are never touched.
std::vector<std::size_t> ReservedEnds(std::size_t fileSize, const std::string& path) {
    const std::size_t lines = fileSize / 16 + 1;
    std::vector<std::size_t> ends;
    try {
        ends.reserve(lines);
    } catch (const std::bad_alloc&) {
        throw FileReadError(path, "out of memory");
    }
    AdviseLargeBlock(ends.data(), ends.capacity() * sizeof(std::size_t));
    return ends;
}

}  // namespace

FileReadError::FileReadError(std::string path, std::string reason)
    : std::runtime_error(path + ": " + reason),
      path_(std::move(path)),
      reason_(std::move(reason)) {}

std::int32_t clsFileLineRead::FileLineRead(LineList& DataList, Yield& yield) {
    const std::string path = fileName_;
    FileReader file(path);
    ByteBuffer firstBytes;
    ReportingFailures(path, [&] { firstBytes.Reserve(file.ExpectedRoom()); });
    // The text read so far: the list's own from its second line on.
    ByteBuffer* bytes = &firstBytes;
    while (bytes->size() < kByteOrderMark.size() && !file.Ended()) {
        file.ReadInto(*bytes);
    }
    const bool marked = bytes->view().starts_with(kByteOrderMark);
    bool utf8 = true;
    bool ascii = true;
    std::size_t pos = marked ? kByteOrderMark.size() : 0;
    std::int32_t count = 0;
    for (;;) {
        while (pos == bytes->size() && !file.Ended()) {
            file.ReadInto(*bytes);
        }
        if (pos == bytes->size()) {
            return count;
        }
        if (count == std::numeric_limits<std::int32_t>::max()) {
            throw FileReadError(path, "too many lines for a 32-bit count");
        }
        yield.DoEvents();
        std::size_t end = LineEnd(bytes->data(), pos, bytes->size());
        // The line goes on past what was read, or its CR may be the first half of a CR LF.
        while (!file.Ended() &&
               (end == bytes->size() || (bytes->data()[end] == '\r' && end + 1 == bytes->size()))) {
            file.ReadInto(*bytes);
            end = LineEnd(bytes->data(), end, bytes->size());
        }
        const Utf8Kind kind =
            utf8 ? ClassifyUtf8({bytes->data() + pos, end - pos}) : Utf8Kind::kNonAscii;
        ascii = ascii && kind == Utf8Kind::kAscii;
        if (kind == Utf8Kind::kInvalid) {
            // Not UTF-8 after all: the whole text is decoded and the lines found so far are
            // found again in it (the decoding keeps every line break).
            while (!file.Ended()) {
                file.ReadInto(*bytes);
            }
            utf8 = false;
            ByteBuffer text = ReportingFailures(path, [&] {
                const std::string_view raw = bytes->view();
                return marked ? RepairUtf8(raw.substr(kByteOrderMark.size())) : DecodeCp932(raw);
            });
            std::size_t firstStart = 0;
            std::vector<std::size_t> ends;
            pos = 0;
            for (std::int32_t line = 0; line < count; ++line) {
                const std::size_t lineEnd = LineEnd(text.data(), pos, text.size());
                if (line == 1) {
                    firstStart = pos;
                }
                if (line >= 1) {
                    ReportingFailures(path, [&] { ends.push_back(lineEnd); });
                }
                pos = NextLineStart(text.data(), lineEnd, text.size());
            }
            *bytes = std::move(text);
            if (count >= 2) {
                DataList.firstStart_ = firstStart;
                DataList.ends_ = std::move(ends);
            }
            end = LineEnd(bytes->data(), pos, bytes->size());
        }
        if (count == 1) {
            // The second line replaces whatever the list held; the text moves, its bytes stay.
            std::vector<std::size_t> ends = ReservedEnds(file.ExpectedSize(), path);
            DataList.text_ = std::move(*bytes);
            DataList.firstStart_ = pos;
            DataList.ends_ = std::move(ends);
            bytes = &DataList.text_;
        }
        if (count >= 1) {
            ReportingFailures(path, [&] { DataList.ends_.push_back(end); });
            DataList.ascii_ = ascii;
        }
        pos = NextLineStart(bytes->data(), end, bytes->size());
        ++count;
    }
}

}  // namespace brackwin
