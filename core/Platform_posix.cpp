#include <fcntl.h>
#include <iconv.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "Platform.h"
#include "TextDecoding.h"

namespace brackwin {

namespace {

class Converter {
  public:
    Converter() : handle_(iconv_open("UTF-8", "CP932")) {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error("the CP932 converter is not available");
        }
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    iconv_t handle() const noexcept { return handle_; }

  private:
    iconv_t handle_;
};

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

ByteBuffer DecodeCp932(std::string_view bytes) {
    Converter converter;
    ByteBuffer out(bytes.size() + bytes.size() / 2 + kReplacementCharacter.size());
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft != 0) {
        // One CP932 byte gives at most three UTF-8 bytes.
        const std::size_t room = inLeft * 3 < (1U << 20) ? inLeft * 3 : (1U << 20);
        char* outStart = out.Extend(room);
        char* outNext = outStart;
        std::size_t outLeft = room;
        const std::size_t result = iconv(converter.handle(), &in, &inLeft, &outNext, &outLeft);
        out.Commit(static_cast<std::size_t>(outNext - outStart));
        if (result != static_cast<std::size_t>(-1)) {
            continue;
        }
        if (errno != E2BIG) {
            // An invalid or cut-off sequence: replace its first byte and go on after it.
            out.Append(kReplacementCharacter);
            ++in;
            --inLeft;
            iconv(converter.handle(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

}  // namespace brackwin
