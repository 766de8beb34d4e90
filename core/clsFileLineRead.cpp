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
#include <utility>
#include <vector>

#include "Platform.h"
#include "TextDecoding.h"

namespace brackwin {

namespace {

constexpr std::size_t kReadChunk = 1 << 16;

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

ByteBuffer ReadWholeFile(const std::string& path) {
    const OpenedFile opened = OpenForReading(path);
    if (opened.isFolder) {
        throw FileReadError(path, "is a folder");
    }
    if (opened.file == nullptr) {
        throw FileReadError(path, OpenFailureReason(opened.error));
    }
    const std::unique_ptr<std::FILE, FileCloser> file(opened.file);
    ByteBuffer bytes;
    // One read takes a file whose size is known, with one byte more to meet its end; a file
    // that grows meanwhile, or reports no size, is read on in chunks.
    const std::size_t expected = opened.size < std::numeric_limits<std::size_t>::max() - kReadChunk
                                     ? static_cast<std::size_t>(opened.size)
                                     : 0;
    bytes.Reserve(std::max(expected + 1, kReadChunk));
    for (;;) {
        const std::size_t room =
            std::max(kReadChunk, expected >= bytes.size() ? expected - bytes.size() + 1 : 0);
        const std::size_t read = std::fread(bytes.Extend(room), 1, room, file.get());
        bytes.Commit(read);
        if (read < room) {
            if (std::ferror(file.get()) != 0) {
                throw FileReadError(path, std::string("read error: ") + std::strerror(errno));
            }
            return bytes;
        }
    }
}

DecodedText ReadText(const std::string& path) {
    try {
        return DecodeFileText(ReadWholeFile(path));
    } catch (const FileReadError&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw FileReadError(path, "out of memory");
    } catch (const std::runtime_error& error) {
        // The system's text converter is missing or refused the text.
        throw FileReadError(path, error.what());
    }
}

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

std::size_t CountLines(const char* data, std::size_t pos, std::size_t size) noexcept {
    std::size_t lines = 0;
    while (pos < size) {
        pos = NextLineStart(data, LineEnd(data, pos, size), size);
        ++lines;
    }
    return lines;
}

// Room for the end of every line, so the list never copies while it grows.
std::vector<std::size_t> ReservedEnds(std::size_t lines, const std::string& path) {
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
    DecodedText text = ReadText(path);
    const char* data = text.bytes.data();
    const std::size_t size = text.bytes.size();
    std::size_t pos = text.start;
    std::int32_t count = 0;
    while (pos < size) {
        if (count == std::numeric_limits<std::int32_t>::max()) {
            throw FileReadError(path, "too many lines for a 32-bit count");
        }
        yield.DoEvents();
        const std::size_t end = LineEnd(data, pos, size);
        if (count == 1) {
            // The second line replaces whatever the list held; the text moves, its bytes stay.
            std::vector<std::size_t> ends = ReservedEnds(CountLines(data, pos, size), path);
            DataList.text_ = std::move(text.bytes);
            DataList.firstStart_ = pos;
            DataList.ends_ = std::move(ends);
        }
        if (count >= 1) {
            DataList.ends_.push_back(end);
        }
        pos = NextLineStart(data, end, size);
        ++count;
    }
    return count;
}

}  // namespace brackwin
