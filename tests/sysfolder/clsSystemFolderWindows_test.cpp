#include <shlobj.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "clsSystemFolder.h"

namespace brackwin {
namespace {

const char* const kVisualBasic = "SOFTWARE\\Microsoft\\Visual Basic\\5.0";

std::string Utf8(const std::wstring& wide) {
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, utf8.data(), length, nullptr, nullptr);
    utf8.resize(static_cast<std::size_t>(length) - 1);
    return utf8;
}

// Every process of the Wine prefix shares its registry, and ctest runs test processes side by
// side: the tests that write the Visual Basic key, or rely on its absence, take turns through a
// mutex that all those processes see.
class VisualBasicKeyTurn {
  public:
    VisualBasicKeyTurn() : mutex_(CreateMutexW(nullptr, FALSE, L"brackwin-test-visual-basic-key")) {
        WaitForSingleObject(mutex_, INFINITE);
    }
    ~VisualBasicKeyTurn() {
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }
    VisualBasicKeyTurn(const VisualBasicKeyTurn&) = delete;
    VisualBasicKeyTurn& operator=(const VisualBasicKeyTurn&) = delete;

  private:
    HANDLE mutex_;
};

// Writes the Visual Basic key in Wine's registry for each test and removes what it wrote.
class RegistryTest : public testing::Test {
  protected:
    void SetUp() override {
        HKEY probe = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVisualBasic, 0, KEY_READ, &probe) == ERROR_SUCCESS) {
            RegCloseKey(probe);
            GTEST_SKIP() << "the Visual Basic 5.0 key exists already; leaving it alone";
        }
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kVisualBasic, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key_, nullptr),
                  ERROR_SUCCESS);
    }

    void TearDown() override {
        if (key_ != nullptr) {
            RegCloseKey(key_);
            EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, kVisualBasic), ERROR_SUCCESS);
        }
    }

    void Set(DWORD type, const std::string& bytes) {
        ASSERT_EQ(
            RegSetValueExA(key_, "InstallDir", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
    }

    const VisualBasicKeyTurn turn_;
    HKEY key_ = nullptr;
    clsSystemFolder folders;
};

TEST_F(RegistryTest, InstallDirIsReadBack) {
    Set(REG_SZ, std::string("C:\\Program Files\\DevStudio\\VB\0", 30));
    EXPECT_EQ(folders.VB5Install(), "C:\\Program Files\\DevStudio\\VB");
}

TEST_F(RegistryTest, MissingValueIsEmpty) {
    EXPECT_EQ(folders.VB5Install(), "");
}

TEST(RegistryKeyTest, MissingKeyIsEmpty) {
    const VisualBasicKeyTurn turn;
    HKEY probe = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVisualBasic, 0, KEY_READ, &probe) == ERROR_SUCCESS) {
        RegCloseKey(probe);
        GTEST_SKIP() << "the Visual Basic 5.0 key exists";
    }
    EXPECT_EQ(clsSystemFolder().VB5Install(), "");
}

TEST_F(RegistryTest, Value255BytesLongIsReturnedWhole) {
    Set(REG_SZ, std::string(255, 'v') + '\0');
    EXPECT_EQ(folders.VB5Install(), std::string(255, 'v'));
}

TEST_F(RegistryTest, Value256BytesWithoutNulIsEmpty) {
    Set(REG_SZ, std::string(256, 'v'));
    EXPECT_EQ(folders.VB5Install(), "");
}

TEST_F(RegistryTest, ValueLongerThanTheBufferIsEmpty) {
    Set(REG_SZ, std::string(300, 'v') + '\0');
    EXPECT_EQ(folders.VB5Install(), "");
}

TEST_F(RegistryTest, ExpandableValueIsNotExpanded) {
    Set(REG_EXPAND_SZ, std::string("%ProgramFiles%\\DevStudio\\VB\0", 28));
    EXPECT_EQ(folders.VB5Install(), "%ProgramFiles%\\DevStudio\\VB");
}

TEST_F(RegistryTest, DwordValueIsReadAsTextUpToItsFirstZeroByte) {
    const DWORD letters = 0x00004241;  // "AB" in memory order
    Set(REG_DWORD, std::string(reinterpret_cast<const char*>(&letters), sizeof letters));
    EXPECT_EQ(folders.VB5Install(), "AB");
}

// Wine takes its ANSI code page from the Unix locale: 932 for Japanese, 1252 without one.
TEST_F(RegistryTest, ValueIsConvertedFromTheAnsiCodePageToUtf8) {
    std::wstring name;
    for (const std::wstring candidate : {L"\u65E5\u672C\u8A9E", L"\u00E9t\u00E9"}) {
        BOOL lossy = FALSE;
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, candidate.c_str(), -1, nullptr, 0,
                            nullptr, &lossy);
        if (!lossy) {
            name = candidate;
            break;
        }
    }
    if (name.empty()) {
        GTEST_SKIP() << "no test text fits the ANSI code page " << GetACP();
    }
    const std::wstring path = L"C:\\" + name + L"\\VB";
    ASSERT_EQ(
        RegSetValueExW(key_, L"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))),
        ERROR_SUCCESS);
    EXPECT_EQ(folders.VB5Install(), Utf8(path));
    EXPECT_GT(folders.VB5Install().size(), path.size());
}

// The registry properties answer what Wine's registry holds, unexpanded.
TEST(CurrentVersionTest, ValuesMatchTheRegistry) {
    const clsSystemFolder folders;
    const struct {
        std::string (clsSystemFolder::*property)() const;
        const wchar_t* value;
    } cases[] = {
        {&clsSystemFolder::Device, L"DevicePath"},
        {&clsSystemFolder::CommonFiles, L"CommonFilesDir"},
        {&clsSystemFolder::Config, L"ConfigPath"},
        {&clsSystemFolder::Media, L"MediaPath"},
        {&clsSystemFolder::ProgramFiles, L"ProgramFilesDir"},
        {&clsSystemFolder::OldWindows, L"OldWinDir"},
    };
    for (const auto& c : cases) {
        wchar_t buffer[MAX_PATH] = {};
        DWORD size = sizeof buffer;
        RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", c.value,
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, buffer, &size);
        EXPECT_EQ((folders.*c.property)(), Utf8(buffer)) << Utf8(c.value);
    }
    EXPECT_NE(folders.ProgramFiles(), "");
}

TEST(DirectoryTest, MatchesWhatWineReports) {
    const clsSystemFolder folders;
    wchar_t buffer[MAX_PATH] = {};
    ASSERT_NE(GetWindowsDirectoryW(buffer, MAX_PATH), 0u);
    EXPECT_EQ(folders.Windows(), Utf8(buffer));
    ASSERT_NE(GetSystemDirectoryW(buffer, MAX_PATH), 0u);
    EXPECT_EQ(folders.System(), Utf8(buffer));
    ASSERT_NE(GetTempPathW(MAX_PATH, buffer), 0u);
    EXPECT_EQ(folders.Temp(), Utf8(buffer));
    EXPECT_EQ(folders.Temp().back(), '\\');
}

TEST(SpecialFolderTest, MatchesWhatWineReports) {
    const clsSystemFolder folders;
    const struct {
        std::string (clsSystemFolder::*property)() const;
        int csidl;
    } cases[] = {
        {&clsSystemFolder::Desktop, CSIDL_DESKTOP},
        {&clsSystemFolder::Programs, CSIDL_PROGRAMS},
        {&clsSystemFolder::Personal, CSIDL_PERSONAL},
        {&clsSystemFolder::Favorites, CSIDL_FAVORITES},
        {&clsSystemFolder::Startup, CSIDL_STARTUP},
        {&clsSystemFolder::Recent, CSIDL_RECENT},
        {&clsSystemFolder::SendTo, CSIDL_SENDTO},
        {&clsSystemFolder::Fonts, CSIDL_FONTS},
        {&clsSystemFolder::StartMenu, CSIDL_STARTMENU},
    };
    for (const auto& c : cases) {
        wchar_t path[MAX_PATH] = {};
        LPITEMIDLIST list = nullptr;
        if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, c.csidl, &list))) {
            SHGetPathFromIDListW(list, path);
            ILFree(list);
        }
        const std::string answer = (folders.*c.property)();
        EXPECT_EQ(answer, Utf8(path)) << "CSIDL " << c.csidl;
        // The same folder as the shell's path call names, which has no trailing separator.
        wchar_t folder[MAX_PATH] = {};
        SHGetFolderPathW(nullptr, c.csidl, nullptr, SHGFP_TYPE_CURRENT, folder);
        EXPECT_EQ(answer.ends_with('\\') ? answer.substr(0, answer.size() - 1) : answer,
                  Utf8(folder))
            << "CSIDL " << c.csidl;
    }
    EXPECT_NE(folders.Desktop(), "");
    EXPECT_NE(folders.Fonts(), "");
}

TEST(SpecialFolderTest, UnknownIdentifierWritesNothing) {
    const auto platform = MakeFolderPlatform();
    FolderPlatform::ItemIdList list = nullptr;
    platform->SHGetSpecialFolderLocation(platform->GetDesktopWindow(), 0x7F, &list);
    EXPECT_EQ(list, nullptr);
    char buffer[FolderPlatform::kMaxPath] = {};
    platform->SHGetPathFromIDListA(list, buffer);
    platform->ILFree(list);
    EXPECT_EQ(buffer[0], '\0');
}

}  // namespace
}  // namespace brackwin
