#include "modFindFile.h"

#include <gtest/gtest.h>

#include <string>

namespace brackwin::modFindFile {
namespace {

struct AddBackslashCase {
    std::string path;
    std::string expected;
};

class AddBackslashTest : public testing::TestWithParam<AddBackslashCase> {};

TEST_P(AddBackslashTest, LooksOnlyAtTheLastCharacter) {
    EXPECT_EQ(AddBackslash(GetParam().path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, AddBackslashTest,
    testing::Values(AddBackslashCase{"", "\\"}, AddBackslashCase{"\\", "\\"},
                    AddBackslashCase{"C:\\VB\\", "C:\\VB\\"},
                    AddBackslashCase{"C:\\VB\\\\", "C:\\VB\\\\"},
                    AddBackslashCase{"C:\\VB", "C:\\VB\\"}, AddBackslashCase{"C:", "C:\\"},
                    AddBackslashCase{"/usr/share/brackwin", "/usr/share/brackwin\\"},
                    AddBackslashCase{"/usr/share/", "/usr/share/\\"},
                    AddBackslashCase{"C:\\VB ", "C:\\VB \\"},
                    AddBackslashCase{"\\\\server\\share", "\\\\server\\share\\"},
                    // Its Shift-JIS trail byte is the code of "\"; in UTF-8 no byte of it is.
                    AddBackslashCase{"C:\\表", "C:\\表\\"}));

}  // namespace
}  // namespace brackwin::modFindFile
