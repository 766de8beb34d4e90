#include <iconv.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
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
    opened.file = std::fopen(path.c_str(), "rb");
    if (opened.file == nullptr) {
        opened.error = errno;
        return opened;
    }
    struct stat status {};
    if (fstat(fileno(opened.file), &status) == 0) {
        if (S_ISDIR(status.st_mode)) {
            std::fclose(opened.file);
            opened.file = nullptr;
            opened.isFolder = true;
        } else if (S_ISREG(status.st_mode) && status.st_size > 0) {
            opened.size = static_cast<std::uint64_t>(status.st_size);
        }
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
