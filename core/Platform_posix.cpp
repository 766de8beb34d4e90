#include <fcntl.h>
#include <iconv.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

#include "Platform.h"
#include "TextDecoding.h"

namespace brackwin {

namespace {

class Converter {
  public:
    explicit Converter(const char* from) : handle_(iconv_open("UTF-8", from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("the ") + from + " converter is not available");
        }
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    iconv_t handle() const noexcept { return handle_; }

  private:
    iconv_t handle_;
};

// Decodes with iconv; unit is the size of the code unit that an invalid sequence gives up.
std::size_t Convert(const char* from, std::size_t unit, std::string_view bytes, bool last,
                    ByteBuffer& out) {
    Converter converter(from);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft != 0) {
        const std::size_t room = std::min(inLeft * 3, std::size_t{1} << 20);
        char* outStart = out.Extend(room);
        char* outNext = outStart;
        std::size_t outLeft = room;
        const std::size_t result = iconv(converter.handle(), &in, &inLeft, &outNext, &outLeft);
        out.Commit(static_cast<std::size_t>(outNext - outStart));
        if (result != static_cast<std::size_t>(-1) || errno == E2BIG) {
            continue;
        }
        if (errno == EINVAL && !last) {
            break;
        }
        // An invalid or cut-off sequence: replace its first unit and go on after it.
        out.Append(kReplacementCharacter);
        const std::size_t skipped = std::min(unit, inLeft);
        in += skipped;
        inLeft -= skipped;
        iconv(converter.handle(), nullptr, nullptr, nullptr, nullptr);
    }
    return bytes.size() - inLeft;
}

}  // namespace

OpenedFile OpenForReading(const std::string& path) {
    OpenedFile opened;
    // Without O_NONBLOCK, opening a FIFO would wait for a writer.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        opened.error = errno;
        return opened;
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0) {
        opened.error = errno;
    } else if (S_ISDIR(status.st_mode)) {
        opened.isFolder = true;
    } else if (!S_ISREG(status.st_mode)) {
        opened.isSpecial = true;
    } else {
        const int flags = fcntl(descriptor, F_GETFL);
        if (flags != -1 && fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != -1) {
            opened.file = fdopen(descriptor, "rb");
        }
        if (opened.file == nullptr) {
            opened.error = errno;
        } else if (status.st_size > 0) {
            opened.size = static_cast<std::uint64_t>(status.st_size);
        }
    }
    if (opened.file == nullptr) {
        close(descriptor);
    }
    return opened;
}

const char* FindBytes(std::string_view text, std::string_view pattern) noexcept {
    if (text.size() < pattern.size()) {
        return nullptr;
    }
    return static_cast<const char*>(
        memmem(text.data(), text.size(), pattern.data(), pattern.size()));
}

void AdviseLargeBlock(void* block, std::size_t size) noexcept {
    constexpr std::size_t kWorthIt = std::size_t{4} << 20;
    if (size < kWorthIt) {
        return;
    }
    const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t alignedStart = (start + pageSize - 1) / pageSize * pageSize;
    const std::uintptr_t alignedEnd = (start + size) / pageSize * pageSize;
    if (alignedEnd > alignedStart) {
        // Only advice: where the system declines, the block simply keeps small pages.
        madvise(reinterpret_cast<void*>(alignedStart), alignedEnd - alignedStart, MADV_HUGEPAGE);
    }
}

std::size_t DecodeCp932(std::string_view bytes, bool last, ByteBuffer& out) {
    return Convert("CP932", 1, bytes, last, out);
}

std::size_t DecodeUtf16(std::string_view bytes, std::endian order, bool last, ByteBuffer& out) {
    return Convert(order == std::endian::little ? "UTF-16LE" : "UTF-16BE", 2, bytes, last, out);
}

}  // namespace brackwin
