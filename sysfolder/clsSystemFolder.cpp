#include "clsSystemFolder.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace brackwin {

namespace {

constexpr std::uint32_t kBufferSize = 256;
using LookupBuffer = std::array<char, kBufferSize>;

constexpr const char* kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kVisualBasicKey = "SOFTWARE\\Microsoft\\Visual Basic\\5.0";

// The text before the first NUL of the first 256 bytes; a buffer without NUL gives nothing.
std::string_view BeforeFirstNul(const char* buffer) {
    const char* end = buffer + kBufferSize;
    const char* nul = std::find(buffer, end, '\0');
    if (nul == end) {
        return {};
    }
    return {buffer, static_cast<std::size_t>(nul - buffer)};
}

}  // namespace

clsSystemFolder::clsSystemFolder() : ownPlatform_(MakeFolderPlatform()), platform_(*ownPlatform_) {}

clsSystemFolder::clsSystemFolder(FolderPlatform& platform) : platform_(platform) {}

std::string clsSystemFolder::Windows() const {
    LookupBuffer buffer{};
    platform_.GetWindowsDirectoryA(buffer.data(), kBufferSize);
    return platform_.AnsiToUtf8(BeforeFirstNul(buffer.data()));
}

std::string clsSystemFolder::System() const {
    LookupBuffer buffer{};
    platform_.GetSystemDirectoryA(buffer.data(), kBufferSize);
    return platform_.AnsiToUtf8(BeforeFirstNul(buffer.data()));
}

std::string clsSystemFolder::Temp() const {
    LookupBuffer buffer{};
    platform_.GetTempPathA(kBufferSize, buffer.data());
    return platform_.AnsiToUtf8(BeforeFirstNul(buffer.data()));
}

std::string clsSystemFolder::Desktop() const {
    return GetSpecialFolder(csidl::kDesktop);
}
std::string clsSystemFolder::Programs() const {
    return GetSpecialFolder(csidl::kPrograms);
}
std::string clsSystemFolder::Personal() const {
    return GetSpecialFolder(csidl::kPersonal);
}
std::string clsSystemFolder::Favorites() const {
    return GetSpecialFolder(csidl::kFavorites);
}
std::string clsSystemFolder::Startup() const {
    return GetSpecialFolder(csidl::kStartup);
}
std::string clsSystemFolder::Recent() const {
    return GetSpecialFolder(csidl::kRecent);
}
std::string clsSystemFolder::SendTo() const {
    return GetSpecialFolder(csidl::kSendTo);
}
std::string clsSystemFolder::Fonts() const {
    return GetSpecialFolder(csidl::kFonts);
}
std::string clsSystemFolder::StartMenu() const {
    return GetSpecialFolder(csidl::kStartMenu);
}

std::string clsSystemFolder::Device() const {
    return GetRegString(FolderPlatform::kHkeyLocalMachine, kCurrentVersionKey, "DevicePath");
}
std::string clsSystemFolder::CommonFiles() const {
    return GetRegString(FolderPlatform::kHkeyLocalMachine, kCurrentVersionKey, "CommonFilesDir");
}
std::string clsSystemFolder::Config() const {
    return GetRegString(FolderPlatform::kHkeyLocalMachine, kCurrentVersionKey, "ConfigPath");
}
std::string clsSystemFolder::Media() const {
    return GetRegString(FolderPlatform::kHkeyLocalMachine, kCurrentVersionKey, "MediaPath");
}
std::string clsSystemFolder::ProgramFiles() const {
    return GetRegString(FolderPlatform::kHkeyLocalMachine, kCurrentVersionKey, "ProgramFilesDir");
}
std::string clsSystemFolder::OldWindows() const {
    return GetRegString(FolderPlatform::kHkeyLocalMachine, kCurrentVersionKey, "OldWinDir");
}
std::string clsSystemFolder::VB5Install() const {
    return GetRegString(FolderPlatform::kHkeyLocalMachine, kVisualBasicKey, "InstallDir");
}

std::string clsSystemFolder::GetSpecialFolder(std::int32_t folder) const {
    // The conversion takes no size and may write a whole MAX_PATH path, so it gets room for one;
    // only the first 256 bytes count, as for every lookup.
    std::array<char, FolderPlatform::kMaxPath> buffer{};
    FolderPlatform::WindowHandle owner = platform_.GetDesktopWindow();
    FolderPlatform::ItemIdList list = nullptr;
    platform_.SHGetSpecialFolderLocation(owner, folder, &list);
    platform_.SHGetPathFromIDListA(list, buffer.data());
    platform_.ILFree(list);
    return platform_.AnsiToUtf8(BeforeFirstNul(buffer.data()));
}

std::string clsSystemFolder::GetRegString(std::int32_t rootKey, const char* keyPath,
                                          const char* valueName) const {
    LookupBuffer buffer{};
    FolderPlatform::KeyHandle key = 0;
    platform_.RegOpenKeyA(FolderPlatform::RootKey(rootKey), keyPath, &key);
    std::uint32_t size = kBufferSize;
    std::uint32_t type = kRegSz;
    platform_.RegQueryValueExA(key, valueName, nullptr, &type,
                               reinterpret_cast<unsigned char*>(buffer.data()), &size);
    std::string result = platform_.AnsiToUtf8(BeforeFirstNul(buffer.data()));
    platform_.RegCloseKey(key);
    return result;
}

}  // namespace brackwin
