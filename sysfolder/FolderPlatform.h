#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace brackwin {

// Shell folder identifiers (CSIDL values) of the folders the locator asks for.
namespace csidl {
inline constexpr std::int32_t kDesktop = 0;
inline constexpr std::int32_t kPrograms = 2;
inline constexpr std::int32_t kPersonal = 5;
inline constexpr std::int32_t kFavorites = 6;
inline constexpr std::int32_t kStartup = 7;
inline constexpr std::int32_t kRecent = 8;
inline constexpr std::int32_t kSendTo = 9;
inline constexpr std::int32_t kStartMenu = 11;
inline constexpr std::int32_t kFonts = 20;
}  // namespace csidl

// The registry's type code for a text value (REG_SZ).
inline constexpr std::uint32_t kRegSz = 1;

// The Windows calls behind clsSystemFolder, with the same argument order and buffer behaviour,
// so that the class keeps its buffer rules on every platform and tests can write chosen bytes.
// Results are not reported: a call that fails writes nothing, leaving the caller's buffer as it
// was. Every call may be made any number of times.
class FolderPlatform {
  public:
    using WindowHandle = void*;
    using ItemIdList = void*;
    using KeyHandle = std::uintptr_t;

    // Root keys are 32-bit values, widened to a handle with their sign as the Windows headers do.
    static constexpr KeyHandle RootKey(std::int32_t root) {
        return static_cast<KeyHandle>(static_cast<std::intptr_t>(root));
    }
    static constexpr std::int32_t kHkeyLocalMachine = static_cast<std::int32_t>(0x80000002u);

    // The size of the buffer SHGetPathFromIDListA writes into (MAX_PATH, with the NUL).
    static constexpr std::size_t kMaxPath = 260;

    virtual ~FolderPlatform() = default;

    // Each writes the path and a closing NUL when both fit in `size` bytes, otherwise nothing.
    virtual void GetWindowsDirectoryA(char* buffer, std::uint32_t size) = 0;
    virtual void GetSystemDirectoryA(char* buffer, std::uint32_t size) = 0;
    virtual void GetTempPathA(std::uint32_t size, char* buffer) = 0;

    virtual WindowHandle GetDesktopWindow() = 0;
    // Sets `list` to a list naming the folder with that CSIDL, or leaves it as it was when the
    // folder is unknown. A list set here must be released with ILFree.
    virtual void SHGetSpecialFolderLocation(WindowHandle owner, std::int32_t folder,
                                            ItemIdList* list) = 0;
    // Writes the list's path with a closing NUL into `buffer`, which must hold kMaxPath bytes;
    // writes nothing for a null list or a list that names no file-system folder.
    virtual void SHGetPathFromIDListA(ItemIdList list, char* buffer) = 0;
    // Releases a list; a null list is ignored.
    virtual void ILFree(ItemIdList list) = 0;

    // Sets `key` to an open key, or leaves it as it was when the key does not exist.
    virtual void RegOpenKeyA(KeyHandle root, const char* subKey, KeyHandle* key) = 0;
    // Writes the value's bytes as stored (a text value with its closing NUL) when they fit in
    // `*size` bytes, and reports its type and length through `type` and `size`. Writes nothing
    // for a missing key or value.
    virtual void RegQueryValueExA(KeyHandle key, const char* valueName, std::uint32_t* reserved,
                                  std::uint32_t* type, unsigned char* data,
                                  std::uint32_t* size) = 0;
    // Closes an open key; a key handle of 0 changes nothing.
    virtual void RegCloseKey(KeyHandle key) = 0;

    // Converts text from the 8-bit code page of the calls above to UTF-8.
    virtual std::string AnsiToUtf8(std::string_view text) = 0;
};

// The implementation for the platform this program was built for.
std::unique_ptr<FolderPlatform> MakeFolderPlatform();

}  // namespace brackwin
