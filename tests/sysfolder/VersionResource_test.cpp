#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The version record and icon of this test program, which links the program's resource script.
class VersionResourceTest : public testing::Test {
  protected:
    void SetUp() override {
        char path[MAX_PATH] = {};
        ASSERT_NE(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
        DWORD handle = 0;
        const DWORD size = GetFileVersionInfoSizeA(path, &handle);
        ASSERT_NE(size, 0u) << "no version record";
        record_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, record_.data()));
    }

    const void* Query(const std::string& subBlock, UINT* length) {
        void* value = nullptr;
        *length = 0;
        if (!VerQueryValueA(record_.data(), subBlock.c_str(), &value, length)) {
            return nullptr;
        }
        return value;
    }

    std::string String(const char* name) {
        UINT length = 0;
        const void* value = Query(std::string("\\StringFileInfo\\041104B0\\") + name, &length);
        return value != nullptr ? std::string(static_cast<const char*>(value)) : "<missing>";
    }

  private:
    std::vector<char> record_;
};

TEST_F(VersionResourceTest, StringsNameTheProgramAndItsVersion) {
    EXPECT_EQ(String("FileDescription"), "Brackwin");
    EXPECT_EQ(String("ProductName"), "Brackwin");
    EXPECT_EQ(String("InternalName"), "Brackwin");
    EXPECT_EQ(String("OriginalFilename"), "Brackwin.exe");
    EXPECT_EQ(String("FileVersion"), "1.00");
    EXPECT_EQ(String("ProductVersion"), "1.00");
}

TEST_F(VersionResourceTest, NumbersAre1000) {
    UINT length = 0;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(Query("\\", &length));
    ASSERT_NE(fixed, nullptr);
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(VersionResourceTest, LanguageIsJapaneseInUnicode) {
    UINT length = 0;
    const auto* translation =
        static_cast<const WORD*>(Query("\\VarFileInfo\\Translation", &length));
    ASSERT_NE(translation, nullptr);
    ASSERT_EQ(length, 2 * sizeof(WORD));
    EXPECT_EQ(translation[0], 1041);
    EXPECT_EQ(translation[1], 1200);
}

// The icon directory entry as stored in an RT_GROUP_ICON resource.
#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
#pragma pack(pop)

TEST(ProgramIconTest, IsOne32By32ImageIn16Colours) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_GROUP_ICON);
    ASSERT_NE(found, nullptr) << "no icon group 1";
    ASSERT_GE(SizeofResource(nullptr, found), sizeof(GroupIconHeader) + sizeof(GroupIconEntry));
    const auto* header =
        static_cast<const GroupIconHeader*>(LockResource(LoadResource(nullptr, found)));
    ASSERT_EQ(header->count, 1);
    const auto* entry = reinterpret_cast<const GroupIconEntry*>(header + 1);
    EXPECT_EQ(entry->width, 32);
    EXPECT_EQ(entry->height, 32);
    EXPECT_EQ(entry->colorCount, 16);
    EXPECT_EQ(entry->bitCount, 4);
    EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)), nullptr);
}

// The manifest asks for the common controls of version 6. Wine's version call answers 5.81 for
// them too, so the test asks for something only version 6 does: a push button that tells its
// ideal size.
TEST(ProgramManifestTest, ControlsAreCommonControlsVersion6) {
    HWND button = CreateWindowExW(0, L"BUTTON", L"OK", WS_POPUP | BS_PUSHBUTTON, 0, 0, 80, 25,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(button, nullptr);
    SIZE ideal{};
    EXPECT_TRUE(SendMessageW(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
    EXPECT_GT(ideal.cx, 0);
    DestroyWindow(button);
}

}  // namespace
