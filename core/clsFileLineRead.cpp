#include "clsFileLineRead.h"

#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <utility>

#include "Platform.h"
#include "TextDecoding.h"

namespace brackwin {

namespace {

constexpr std::size_t kReadSlack = 1 << 20;

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
    if (opened.size < std::numeric_limits<std::size_t>::max() - kReadSlack) {
        bytes.Reserve(static_cast<std::size_t>(opened.size) + kReadSlack);
    }
    for (;;) {
        const std::size_t room = kReadSlack;
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
    } catch (const std::bad_alloc&) {
        throw FileReadError(path, "out of memory");
    }
}

// The end of the line that starts at pos: the first CR or LF, or size.
std::size_t LineEnd(const char* data, std::size_t pos, std::size_t size) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    while (pos < size) {
        const unsigned char c = p[pos];
        if (c <= '\r' && (c == '\r' || c == '\n')) {
            return pos;
        }
        ++pos;
    }
    return size;
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
            DataList.text_ = std::move(text.bytes);
            DataList.firstStart_ = pos;
            DataList.ends_.clear();
        }
        if (count >= 1) {
            try {
                DataList.ends_.push_back(end);
            } catch (const std::bad_alloc&) {
                throw FileReadError(path, "out of memory");
            }
        }
        pos = end;
        if (pos < size) {
            pos += data[pos] == '\r' && pos + 1 < size && data[pos + 1] == '\n' ? 2 : 1;
        }
        ++count;
    }
    return count;
}

}  // namespace brackwin
