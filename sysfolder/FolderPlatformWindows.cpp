#include <shlobj.h>
#include <windows.h>

#include <string>

#include "FolderPlatform.h"

namespace brackwin {

namespace {

HKEY ToHkey(FolderPlatform::KeyHandle key) {
    return reinterpret_cast<HKEY>(key);
}

class FolderPlatformWindows final : public FolderPlatform {
  public:
    void GetWindowsDirectoryA(char* buffer, std::uint32_t size) override {
        ::GetWindowsDirectoryA(buffer, size);
    }

    void GetSystemDirectoryA(char* buffer, std::uint32_t size) override {
        ::GetSystemDirectoryA(buffer, size);
    }

    void GetTempPathA(std::uint32_t size, char* buffer) override { ::GetTempPathA(size, buffer); }

    WindowHandle GetDesktopWindow() override { return ::GetDesktopWindow(); }

    void SHGetSpecialFolderLocation(WindowHandle owner, std::int32_t folder,
                                    ItemIdList* list) override {
        LPITEMIDLIST found = nullptr;
        if (SUCCEEDED(::SHGetSpecialFolderLocation(static_cast<HWND>(owner), folder, &found))) {
            *list = found;
        }
    }

    void SHGetPathFromIDListA(ItemIdList list, char* buffer) override {
        if (list != nullptr) {
            ::SHGetPathFromIDListA(static_cast<LPCITEMIDLIST>(list), buffer);
        }
    }

    void ILFree(ItemIdList list) override { ::ILFree(static_cast<LPITEMIDLIST>(list)); }

    void RegOpenKeyA(KeyHandle root, const char* subKey, KeyHandle* key) override {
        HKEY opened = nullptr;
        if (::RegOpenKeyA(ToHkey(root), subKey, &opened) == ERROR_SUCCESS) {
            *key = reinterpret_cast<KeyHandle>(opened);
        }
    }

    void RegQueryValueExA(KeyHandle key, const char* valueName, std::uint32_t* reserved,
                          std::uint32_t* type, unsigned char* data, std::uint32_t* size) override {
        DWORD valueType = *type;
        DWORD valueSize = *size;
        ::RegQueryValueExA(ToHkey(key), valueName, reinterpret_cast<LPDWORD>(reserved), &valueType,
                           data, &valueSize);
        *type = valueType;
        *size = valueSize;
    }

    void RegCloseKey(KeyHandle key) override { ::RegCloseKey(ToHkey(key)); }

    std::string AnsiToUtf8(std::string_view text) override {
        if (text.empty()) {
            return {};
        }
        const int length = static_cast<int>(text.size());
        const int wideLength = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), wideLength);
        const int utf8Length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr,
                                                     0, nullptr, nullptr);
        std::string utf8(static_cast<std::size_t>(utf8Length), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), utf8Length, nullptr,
                              nullptr);
        return utf8;
    }
};

}  // namespace

std::unique_ptr<FolderPlatform> MakeFolderPlatform() {
    return std::make_unique<FolderPlatformWindows>();
}

}  // namespace brackwin
