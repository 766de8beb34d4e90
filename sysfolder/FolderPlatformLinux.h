#pragma once

#include <filesystem>

#include "FolderPlatform.h"

namespace brackwin {

// What stands behind the Windows calls on Linux. The directory calls answer nothing but the
// temporary folder ($TMPDIR or /tmp, with a trailing "/"); the shell folders are the desktop's
// user folders (the XDG user-dirs file and the XDG base folders); the registry holds only
// Visual Basic 5.0's "InstallDir", which names the folder holding Brackwin's bundled "winapi"
// folder, so that the open dialog starts among declaration files as it does on Windows.
// Everything is looked up again on every call.
class FolderPlatformLinux final : public FolderPlatform {
  public:
    // `executable` is the running program: an installed one finds its data folder at
    // ../share/brackwin beside its own folder. `sourceData` is the source tree's data folder,
    // used when that installed folder has no "winapi" folder, as when run from a build tree.
    FolderPlatformLinux(std::filesystem::path executable, std::filesystem::path sourceData);

    void GetWindowsDirectoryA(char* buffer, std::uint32_t size) override;
    void GetSystemDirectoryA(char* buffer, std::uint32_t size) override;
    void GetTempPathA(std::uint32_t size, char* buffer) override;
    WindowHandle GetDesktopWindow() override;
    void SHGetSpecialFolderLocation(WindowHandle owner, std::int32_t folder,
                                    ItemIdList* list) override;
    void SHGetPathFromIDListA(ItemIdList list, char* buffer) override;
    void ILFree(ItemIdList list) override;
    void RegOpenKeyA(KeyHandle root, const char* subKey, KeyHandle* key) override;
    void RegQueryValueExA(KeyHandle key, const char* valueName, std::uint32_t* reserved,
                          std::uint32_t* type, unsigned char* data, std::uint32_t* size) override;
    void RegCloseKey(KeyHandle key) override;
    // File names on Linux are UTF-8 already.
    std::string AnsiToUtf8(std::string_view text) override;

    // The folder above the bundled "winapi" folder, without a trailing separator; empty when
    // neither the installed nor the source data folder has one.
    std::string InstallDir() const;

  private:
    std::filesystem::path executable_;
    std::filesystem::path sourceData_;
};

}  // namespace brackwin
