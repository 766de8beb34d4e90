#include "modFindFile.h"

#include <gtest/gtest.h>

#include <string>

namespace brackwin::modFindFile {
namespace {

struct AddBackslashCase {
    const char* name;
    std::string path;
    std::string expected;
};

void PrintTo(const AddBackslashCase& c, std::ostream* out) {
    *out << c.name;
}

class AddBackslashTest : public testing::TestWithParam<AddBackslashCase> {};

TEST_P(AddBackslashTest, LooksOnlyAtTheLastCharacter) {
    EXPECT_EQ(AddBackslash(GetParam().path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, AddBackslashTest,
    testing::Values(AddBackslashCase{"Empty", "", "\\"}, AddBackslashCase{"Backslash", "\\", "\\"},
                    AddBackslashCase{"EndsInBackslash", "C:\\VB\\", "C:\\VB\\"},
                    AddBackslashCase{"EndsInTwoBackslashes", "C:\\VB\\\\", "C:\\VB\\\\"},
                    AddBackslashCase{"Folder", "C:\\VB", "C:\\VB\\"},
                    AddBackslashCase{"Drive", "C:", "C:\\"},
                    AddBackslashCase{"SlashPath", "/usr/share/brackwin", "/usr/share/brackwin\\"},
                    AddBackslashCase{"EndsInSlash", "/usr/share/", "/usr/share/\\"},
                    AddBackslashCase{"EndsInBlank", "C:\\VB ", "C:\\VB \\"},
                    AddBackslashCase{"Share", "\\\\server\\share", "\\\\server\\share\\"},
                    // Its Shift-JIS trail byte is the code of "\"; in UTF-8 no byte of it is.
                    AddBackslashCase{"EndsInKanji", "C:\\表", "C:\\表\\"}),
    testing::PrintToStringParamName());

}  // namespace
}  // namespace brackwin::modFindFile
