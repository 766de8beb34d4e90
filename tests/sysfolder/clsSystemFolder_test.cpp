#include "clsSystemFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace brackwin {
namespace {

const std::string kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const std::string kVisualBasic = "SOFTWARE\\Microsoft\\Visual Basic\\5.0";

bool AllNul(const char* buffer, std::size_t size) {
    return std::all_of(buffer, buffer + size, [](char c) { return c == '\0'; });
}

// Writes the bytes a test chooses, verbatim, and records what the class asked for.
class FakePlatform final : public FolderPlatform {
  public:
    // Bytes each call writes; a call whose entry is missing writes nothing.
    std::map<std::string, std::string> directories;  // "Windows", "System", "Temp"
    std::map<std::int32_t, std::string> specialFolders;
    std::map<std::string, std::map<std::string, std::string>> registry;
    // Conversions from the 8-bit code page; text not listed converts to itself.
    std::map<std::string, std::string> conversions;

    std::vector<std::string> calls;
    bool buffersStartedEmpty = true;
    std::set<ItemIdList> liveLists;

    void GetWindowsDirectoryA(char* buffer, std::uint32_t size) override {
        WriteDirectory("Windows", buffer, size);
    }
    void GetSystemDirectoryA(char* buffer, std::uint32_t size) override {
        WriteDirectory("System", buffer, size);
    }
    void GetTempPathA(std::uint32_t size, char* buffer) override {
        WriteDirectory("Temp", buffer, size);
    }

    WindowHandle GetDesktopWindow() override {
        calls.push_back("GetDesktopWindow");
        return &desktop_;
    }

    void SHGetSpecialFolderLocation(WindowHandle owner, std::int32_t folder,
                                    ItemIdList* list) override {
        calls.push_back("SHGetSpecialFolderLocation " + std::to_string(folder) +
                        (owner == &desktop_ ? " desktop" : " other") +
                        (*list == nullptr ? " null" : " set"));
        if (auto found = specialFolders.find(folder); found != specialFolders.end()) {
            *list = &found->second;
            liveLists.insert(*list);
        }
    }

    void SHGetPathFromIDListA(ItemIdList list, char* buffer) override {
        calls.push_back("SHGetPathFromIDListA");
        buffersStartedEmpty = buffersStartedEmpty && AllNul(buffer, kMaxPath);
        if (list != nullptr) {
            const auto& bytes = *static_cast<std::string*>(list);
            ASSERT_LE(bytes.size(), kMaxPath);
            std::memcpy(buffer, bytes.data(), bytes.size());
        }
    }

    void ILFree(ItemIdList list) override { liveLists.erase(list); }

    void RegOpenKeyA(KeyHandle root, const char* subKey, KeyHandle* key) override {
        calls.push_back(std::string("RegOpenKeyA ") + subKey + (*key == 0 ? " 0" : " set"));
        if (root != RootKey(kHkeyLocalMachine)) {
            return;
        }
        if (auto found = registry.find(subKey); found != registry.end()) {
            *key = reinterpret_cast<KeyHandle>(&found->second);
        }
    }

    void RegQueryValueExA(KeyHandle key, const char* valueName, std::uint32_t* reserved,
                          std::uint32_t* type, unsigned char* data, std::uint32_t* size) override {
        calls.push_back(std::string("RegQueryValueExA ") + valueName +
                        (reserved == nullptr ? " reserved 0" : " reserved set") + " type " +
                        std::to_string(*type) + " size " + std::to_string(*size));
        buffersStartedEmpty = buffersStartedEmpty && AllNul(reinterpret_cast<char*>(data), *size);
        if (key == 0) {
            return;
        }
        const auto& values = *reinterpret_cast<std::map<std::string, std::string>*>(key);
        if (auto found = values.find(valueName); found != values.end()) {
            // A value too long for the buffer leaves at most the buffer's worth behind.
            std::memcpy(data, found->second.data(),
                        std::min<std::size_t>(found->second.size(), *size));
        }
    }

    void RegCloseKey(KeyHandle key) override {
        calls.push_back(key == 0 ? "RegCloseKey 0" : "RegCloseKey open");
    }

    std::string AnsiToUtf8(std::string_view text) override {
        auto found = conversions.find(std::string(text));
        return found != conversions.end() ? found->second : std::string(text);
    }

  private:
    void WriteDirectory(const std::string& name, char* buffer, std::uint32_t size) {
        calls.push_back(name + " " + std::to_string(size));
        buffersStartedEmpty = buffersStartedEmpty && AllNul(buffer, size);
        if (auto found = directories.find(name); found != directories.end()) {
            ASSERT_LE(found->second.size(), size);
            std::memcpy(buffer, found->second.data(), found->second.size());
        }
    }

    int desktop_ = 0;
};

using Property = std::string (clsSystemFolder::*)() const;

class SystemFolderTest : public testing::Test {
  protected:
    FakePlatform platform;
    clsSystemFolder folders{platform};
};

// --- The three directory calls --------------------------------------------------------------

struct DirectoryCase {
    const char* name;
    Property property;
};

void PrintTo(const DirectoryCase& c, std::ostream* out) {
    *out << c.name;
}

class DirectoryTest : public SystemFolderTest, public testing::WithParamInterface<DirectoryCase> {};

TEST_P(DirectoryTest, PassesAFreshBufferOf256Bytes) {
    (folders.*GetParam().property)();
    EXPECT_EQ(platform.calls, std::vector<std::string>{std::string(GetParam().name) + " 256"});
    EXPECT_TRUE(platform.buffersStartedEmpty);
}

TEST_P(DirectoryTest, ReturnsThePathAsWrittenUpToItsNul) {
    platform.directories[GetParam().name] = std::string("C:\\WINDOWS\\\0junk", 16);
    EXPECT_EQ((folders.*GetParam().property)(), "C:\\WINDOWS\\");
}

TEST_P(DirectoryTest, Returns255BytesWhole) {
    platform.directories[GetParam().name] = std::string(255, 'd') + '\0';
    EXPECT_EQ((folders.*GetParam().property)(), std::string(255, 'd'));
}

TEST_P(DirectoryTest, IsEmptyWhenTheCallWritesNothing) {
    EXPECT_EQ((folders.*GetParam().property)(), "");
}

TEST_P(DirectoryTest, IsEmptyWhenTheBufferHoldsNoNul) {
    platform.directories[GetParam().name] = std::string(256, 'd');
    EXPECT_EQ((folders.*GetParam().property)(), "");
}

TEST_P(DirectoryTest, RepeatsTheCallOnEveryRead) {
    platform.directories[GetParam().name] = std::string("C:\\A", 5);
    EXPECT_EQ((folders.*GetParam().property)(), "C:\\A");
    platform.directories[GetParam().name] = std::string("D:\\B", 5);
    EXPECT_EQ((folders.*GetParam().property)(), "D:\\B");
    EXPECT_EQ(platform.calls.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Calls, DirectoryTest,
                         testing::Values(DirectoryCase{"Windows", &clsSystemFolder::Windows},
                                         DirectoryCase{"System", &clsSystemFolder::System},
                                         DirectoryCase{"Temp", &clsSystemFolder::Temp}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Shell special folders ------------------------------------------------------------------

struct SpecialFolderCase {
    const char* name;
    Property property;
    std::int32_t csidl;
};

void PrintTo(const SpecialFolderCase& c, std::ostream* out) {
    *out << c.name;
}

class SpecialFolderTest : public SystemFolderTest,
                          public testing::WithParamInterface<SpecialFolderCase> {};

TEST_P(SpecialFolderTest, AsksTheShellForItsIdentifierOwnedByTheDesktop) {
    platform.specialFolders[GetParam().csidl] = std::string("C:\\Folder\0", 10);
    EXPECT_EQ((folders.*GetParam().property)(), "C:\\Folder");
    EXPECT_EQ(platform.calls,
              (std::vector<std::string>{"GetDesktopWindow",
                                        "SHGetSpecialFolderLocation " +
                                            std::to_string(GetParam().csidl) + " desktop null",
                                        "SHGetPathFromIDListA"}));
    EXPECT_TRUE(platform.buffersStartedEmpty);
    EXPECT_TRUE(platform.liveLists.empty()) << "the item-identifier list was not released";
}

TEST_P(SpecialFolderTest, IsEmptyForAnIdentifierTheShellDoesNotKnow) {
    EXPECT_EQ((folders.*GetParam().property)(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Identifiers, SpecialFolderTest,
    testing::Values(SpecialFolderCase{"Desktop", &clsSystemFolder::Desktop, 0},
                    SpecialFolderCase{"Programs", &clsSystemFolder::Programs, 2},
                    SpecialFolderCase{"Personal", &clsSystemFolder::Personal, 5},
                    SpecialFolderCase{"Favorites", &clsSystemFolder::Favorites, 6},
                    SpecialFolderCase{"Startup", &clsSystemFolder::Startup, 7},
                    SpecialFolderCase{"Recent", &clsSystemFolder::Recent, 8},
                    SpecialFolderCase{"SendTo", &clsSystemFolder::SendTo, 9},
                    SpecialFolderCase{"Fonts", &clsSystemFolder::Fonts, 20},
                    SpecialFolderCase{"StartMenu", &clsSystemFolder::StartMenu, 11}),
    [](const auto& info) { return std::string(info.param.name); });

struct PathLengthCase {
    std::size_t length;
    bool returned;
};

void PrintTo(const PathLengthCase& c, std::ostream* out) {
    *out << c.length;
}

class SpecialFolderLengthTest : public SystemFolderTest,
                                public testing::WithParamInterface<PathLengthCase> {};

// The conversion may write a MAX_PATH path; what does not end within 256 bytes is no answer.
TEST_P(SpecialFolderLengthTest, KeepsTheNulRuleOfThe256ByteBuffer) {
    const std::string path(GetParam().length, 'p');
    platform.specialFolders[5] = path + '\0';
    EXPECT_EQ(folders.Personal(), GetParam().returned ? path : "");
}

INSTANTIATE_TEST_SUITE_P(Lengths, SpecialFolderLengthTest,
                         testing::Values(PathLengthCase{254, true}, PathLengthCase{255, true},
                                         PathLengthCase{256, false}, PathLengthCase{257, false},
                                         PathLengthCase{259, false}),
                         testing::PrintToStringParamName());

// --- Registry values ------------------------------------------------------------------------

struct RegistryPropertyCase {
    const char* name;
    Property property;
    const std::string* key;
    const char* value;
};

void PrintTo(const RegistryPropertyCase& c, std::ostream* out) {
    *out << c.name;
}

class RegistryPropertyTest : public SystemFolderTest,
                             public testing::WithParamInterface<RegistryPropertyCase> {};

TEST_P(RegistryPropertyTest, ReadsItsValueUnderLocalMachine) {
    platform.registry[*GetParam().key][GetParam().value] = std::string("C:\\Value\0", 9);
    platform.registry[*GetParam().key]["Other"] = std::string("C:\\Other\0", 9);
    EXPECT_EQ((folders.*GetParam().property)(), "C:\\Value");
    EXPECT_EQ(platform.calls,
              (std::vector<std::string>{"RegOpenKeyA " + *GetParam().key + " 0",
                                        std::string("RegQueryValueExA ") + GetParam().value +
                                            " reserved 0 type 1 size 256",
                                        "RegCloseKey open"}));
    EXPECT_TRUE(platform.buffersStartedEmpty);
}

TEST_P(RegistryPropertyTest, IsEmptyAndStillClosesWhenTheKeyIsMissing) {
    EXPECT_EQ((folders.*GetParam().property)(), "");
    EXPECT_EQ(platform.calls.back(), "RegCloseKey 0");
}

TEST_P(RegistryPropertyTest, IsEmptyWhenTheValueIsMissing) {
    platform.registry[*GetParam().key]["Other"] = std::string("C:\\Other\0", 9);
    EXPECT_EQ((folders.*GetParam().property)(), "");
    EXPECT_EQ(platform.calls.back(), "RegCloseKey open");
}

INSTANTIATE_TEST_SUITE_P(
    Values, RegistryPropertyTest,
    testing::Values(
        RegistryPropertyCase{"Device", &clsSystemFolder::Device, &kCurrentVersion, "DevicePath"},
        RegistryPropertyCase{"CommonFiles", &clsSystemFolder::CommonFiles, &kCurrentVersion,
                             "CommonFilesDir"},
        RegistryPropertyCase{"Config", &clsSystemFolder::Config, &kCurrentVersion, "ConfigPath"},
        RegistryPropertyCase{"Media", &clsSystemFolder::Media, &kCurrentVersion, "MediaPath"},
        RegistryPropertyCase{"ProgramFiles", &clsSystemFolder::ProgramFiles, &kCurrentVersion,
                             "ProgramFilesDir"},
        RegistryPropertyCase{"OldWindows", &clsSystemFolder::OldWindows, &kCurrentVersion,
                             "OldWinDir"},
        RegistryPropertyCase{"VB5Install", &clsSystemFolder::VB5Install, &kVisualBasic,
                             "InstallDir"}),
    [](const auto& info) { return std::string(info.param.name); });

struct StoredValueCase {
    const char* name;
    std::string stored;
    std::string expected;
};

void PrintTo(const StoredValueCase& c, std::ostream* out) {
    *out << c.name;
}

class StoredValueTest : public SystemFolderTest,
                        public testing::WithParamInterface<StoredValueCase> {};

TEST_P(StoredValueTest, IsTakenAsStoredUpToTheFirstNul) {
    platform.registry[kVisualBasic]["InstallDir"] = GetParam().stored;
    EXPECT_EQ(folders.VB5Install(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, StoredValueTest,
    testing::Values(
        StoredValueCase{"Text", std::string("C:\\Program Files\\DevStudio\\VB\0", 30),
                        "C:\\Program Files\\DevStudio\\VB"},
        StoredValueCase{"Text255Bytes", std::string(255, 'v') + '\0', std::string(255, 'v')},
        StoredValueCase{"Text256BytesWithoutNul", std::string(256, 'v'), ""},
        StoredValueCase{"TextLongerThanTheBuffer", std::string(300, 'v') + '\0', ""},
        StoredValueCase{"Expandable", std::string("%SystemRoot%\\inf\0", 17), "%SystemRoot%\\inf"},
        StoredValueCase{"Dword", std::string("AB\0\0", 4), "AB"},
        StoredValueCase{"Binary", std::string("ab\0cd\0", 6), "ab"},
        StoredValueCase{"EmptyText", std::string(1, '\0'), ""}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Every answer --------------------------------------------------------------------------

TEST_F(SystemFolderTest, ConvertsEveryAnswerFromTheAnsiCodePage) {
    const std::string shiftJis = "C:\\\x93\xFA\x96\x7B";
    platform.conversions[shiftJis] = "C:\\日本";
    platform.directories["Windows"] = shiftJis + '\0';
    platform.specialFolders[0] = shiftJis + '\0';
    platform.registry[kVisualBasic]["InstallDir"] = shiftJis + '\0';
    EXPECT_EQ(folders.Windows(), "C:\\日本");
    EXPECT_EQ(folders.Desktop(), "C:\\日本");
    EXPECT_EQ(folders.VB5Install(), "C:\\日本");
}

TEST_F(SystemFolderTest, RepeatsEveryLookupOnEveryRead) {
    platform.registry[kVisualBasic]["InstallDir"] = std::string("C:\\VB5\0", 7);
    platform.specialFolders[0] = std::string("C:\\Desktop\0", 11);
    EXPECT_EQ(folders.VB5Install(), "C:\\VB5");
    EXPECT_EQ(folders.Desktop(), "C:\\Desktop");
    platform.registry[kVisualBasic]["InstallDir"] = std::string("D:\\VB\0", 6);
    platform.specialFolders[0] = std::string("D:\\Desktop\0", 11);
    EXPECT_EQ(folders.VB5Install(), "D:\\VB");
    EXPECT_EQ(folders.Desktop(), "D:\\Desktop");
    EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "RegCloseKey open"), 2);
    EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "GetDesktopWindow"), 2);
}

}  // namespace
}  // namespace brackwin
