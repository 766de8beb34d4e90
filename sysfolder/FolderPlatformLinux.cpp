#include "FolderPlatformLinux.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

namespace brackwin {

namespace {

constexpr FolderPlatform::KeyHandle kVisualBasicKey = 1;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// Writes `text` and a NUL when both fit in `size` bytes, as the Windows directory calls do.
void WriteIfFits(const std::string& text, char* buffer, std::uint32_t size) {
    if (text.size() < size) {
        std::memcpy(buffer, text.c_str(), text.size() + 1);
    }
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string Home() {
    std::string home = Environment("HOME");
    if (home.empty()) {
        if (const passwd* entry = getpwuid(getuid());
            entry != nullptr && entry->pw_dir != nullptr) {
            home = entry->pw_dir;
        }
    }
    return home;
}

// `name` below `folder`, or nothing when the folder is unknown.
std::string Below(const std::string& folder, std::string_view name) {
    return folder.empty() ? "" : folder + "/" + std::string(name);
}

// An XDG base folder: the variable when it holds an absolute path, otherwise its default below
// the home folder.
std::string BaseDir(const char* variable, const char* belowHome, const std::string& home) {
    std::string value = Environment(variable);
    if (!value.empty() && value.front() == '/') {
        return value;
    }
    return Below(home, belowHome);
}

// The folder a user-dirs line names under `key`, unquoted: "$HOME/..." or an absolute path.
// xdg-user-dirs writes no other form, so any other line names nothing.
std::optional<std::string> UserDirsEntry(std::string_view line, std::string_view key,
                                         const std::string& home) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos || line.substr(start, key.size()) != key) {
        return std::nullopt;
    }
    std::string_view quoted = line.substr(start + key.size());
    if (quoted.size() < 2 || quoted.front() != '"') {
        return std::nullopt;
    }
    std::string value;
    for (std::size_t i = 1; i < quoted.size() && quoted[i] != '"'; ++i) {
        if (quoted[i] == '\\' && i + 1 < quoted.size()) {
            ++i;
        }
        value += quoted[i];
    }
    constexpr std::string_view kHome = "$HOME";
    if (value.starts_with(kHome) && (value.size() == kHome.size() || value[kHome.size()] == '/')) {
        value = home + value.substr(kHome.size());
    } else if (!value.starts_with('/')) {
        return std::nullopt;
    }
    while (value.size() > 1 && value.back() == '/') {
        value.pop_back();
    }
    return value;
}

// A folder from the user-dirs file, whose last entry for it counts as when the shell reads it,
// or its default below the home folder.
std::string UserDir(std::string_view name, const char* fallback, const std::string& home) {
    if (home.empty()) {
        return "";
    }
    const std::string key = "XDG_" + std::string(name) + "_DIR=";
    std::optional<std::string> found;
    std::ifstream file(Below(BaseDir("XDG_CONFIG_HOME", ".config", home), "user-dirs.dirs"));
    for (std::string line; std::getline(file, line);) {
        if (auto entry = UserDirsEntry(line, key, home)) {
            found = std::move(entry);
        }
    }
    return found.value_or(Below(home, fallback));
}

std::string SpecialFolder(std::int32_t folder) {
    const std::string home = Home();
    switch (folder) {
        case csidl::kDesktop:
            return UserDir("DESKTOP", "Desktop", home);
        case csidl::kPersonal:
            return UserDir("DOCUMENTS", "Documents", home);
        case csidl::kPrograms:
        case csidl::kStartMenu:
            // The menu's launchers are the desktop files of the applications folder.
            return Below(BaseDir("XDG_DATA_HOME", ".local/share", home), "applications");
        case csidl::kStartup:
            return Below(BaseDir("XDG_CONFIG_HOME", ".config", home), "autostart");
        case csidl::kFonts:
            return Below(BaseDir("XDG_DATA_HOME", ".local/share", home), "fonts");
        default:
            return "";
    }
}

bool HasWinapiFolder(const std::filesystem::path& folder) {
    std::error_code error;
    return !folder.empty() && std::filesystem::is_directory(folder / "winapi", error);
}

}  // namespace

FolderPlatformLinux::FolderPlatformLinux(std::filesystem::path executable,
                                         std::filesystem::path sourceData)
    : executable_(std::move(executable)), sourceData_(std::move(sourceData)) {}

void FolderPlatformLinux::GetWindowsDirectoryA(char*, std::uint32_t) {}

void FolderPlatformLinux::GetSystemDirectoryA(char*, std::uint32_t) {}

void FolderPlatformLinux::GetTempPathA(std::uint32_t size, char* buffer) {
    std::string temp = Environment("TMPDIR");
    if (temp.empty()) {
        temp = "/tmp";
    }
    if (temp.back() != '/') {
        temp += '/';
    }
    WriteIfFits(temp, buffer, size);
}

FolderPlatform::WindowHandle FolderPlatformLinux::GetDesktopWindow() {
    return nullptr;
}

void FolderPlatformLinux::SHGetSpecialFolderLocation(WindowHandle, std::int32_t folder,
                                                     ItemIdList* list) {
    std::string path = SpecialFolder(folder);
    if (!path.empty()) {
        *list = new std::string(std::move(path));
    }
}

void FolderPlatformLinux::SHGetPathFromIDListA(ItemIdList list, char* buffer) {
    if (list != nullptr) {
        WriteIfFits(*static_cast<std::string*>(list), buffer, kMaxPath);
    }
}

void FolderPlatformLinux::ILFree(ItemIdList list) {
    delete static_cast<std::string*>(list);
}

void FolderPlatformLinux::RegOpenKeyA(KeyHandle root, const char* subKey, KeyHandle* key) {
    if (root == RootKey(kHkeyLocalMachine) &&
        EqualsIgnoringCase(subKey, "SOFTWARE\\Microsoft\\Visual Basic\\5.0")) {
        *key = kVisualBasicKey;
    }
}

void FolderPlatformLinux::RegQueryValueExA(KeyHandle key, const char* valueName, std::uint32_t*,
                                           std::uint32_t* type, unsigned char* data,
                                           std::uint32_t* size) {
    if (key != kVisualBasicKey || !EqualsIgnoringCase(valueName, "InstallDir")) {
        return;
    }
    const std::string value = InstallDir();
    if (value.empty()) {
        return;
    }
    *type = kRegSz;
    const auto needed = static_cast<std::uint32_t>(value.size() + 1);
    if (needed <= *size) {
        std::memcpy(data, value.c_str(), needed);
    }
    *size = needed;
}

void FolderPlatformLinux::RegCloseKey(KeyHandle) {}

std::string FolderPlatformLinux::AnsiToUtf8(std::string_view text) {
    return std::string(text);
}

std::string FolderPlatformLinux::InstallDir() const {
    if (!executable_.empty()) {
        const std::filesystem::path installed =
            (executable_.parent_path() / ".." / "share" / "brackwin").lexically_normal();
        if (HasWinapiFolder(installed)) {
            return installed.string();
        }
    }
    if (HasWinapiFolder(sourceData_)) {
        std::filesystem::path source = sourceData_.lexically_normal();
        return (source.has_filename() ? source : source.parent_path()).string();
    }
    return "";
}

std::unique_ptr<FolderPlatform> MakeFolderPlatform() {
    std::error_code error;
    std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return std::make_unique<FolderPlatformLinux>(std::move(executable), BRACKWIN_SOURCE_DATA_DIR);
}

}  // namespace brackwin
