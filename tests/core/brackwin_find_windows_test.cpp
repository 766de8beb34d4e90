// Runs the Windows finder with its output and error in files and checks what reaches it and
// what it writes: arguments outside the ANSI code page arrive whole, and files get UTF-8 with
// no CR added.

#include <windows.h>
// A leftover of 16-bit Windows that would rename the core's Yield class.
#undef Yield

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "TestFiles.h"

namespace brackwin::test {
namespace {

struct Outcome {
    DWORD status = STILL_ACTIVE;
    std::string out;
    std::string err;
};

HANDLE InheritedOutputFile(const std::filesystem::path& path) {
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// `arguments` is the command line after the program's name.
Outcome RunFinder(const std::wstring& arguments) {
    const TempDir dir;
    const auto outPath = dir.path() / "out";
    const auto errPath = dir.path() / "err";
    HANDLE out = InheritedOutputFile(outPath);
    HANDLE err = InheritedOutputFile(errPath);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    std::wstring command = L"\"" BRACKWIN_FIND_EXECUTABLE_W L"\" " + arguments;
    PROCESS_INFORMATION process{};
    Outcome outcome;
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process) != FALSE) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &outcome.status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
    outcome.out = Slurp(outPath);
    outcome.err = Slurp(errPath);
    return outcome;
}

std::wstring Quoted(const std::filesystem::path& path) {
    return L"\"" + path.wstring() + L"\"";
}

// Code page 932 has no é and no Hangul.
TEST(WindowsFinderTest, FindsAKeyInAFileBothNamedOutsideTheAnsiCodePage) {
    const TempDir dir;
    const std::filesystem::path file = dir.path() / L"é한글宣言.txt";
    std::ofstream(file, std::ios::binary)
        << "' 見出し\r\nType RECT_é한글\r\nType RECT\r\n' 終わり\r\n";

    const Outcome outcome = RunFinder(Quoted(file) + L" 3 é한");

    EXPECT_EQ(outcome.status, 0U);
    EXPECT_EQ(outcome.out, "Type RECT_é한글\n");
    EXPECT_EQ(outcome.err, "");
}

TEST(WindowsFinderTest, NamesAMissingFileInUtf8) {
    const TempDir dir;
    const std::filesystem::path file = dir.path() / L"없는é.txt";
    const std::u8string name = file.u8string();

    const Outcome outcome = RunFinder(Quoted(file) + L" 1");

    EXPECT_EQ(outcome.status, 1U);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err,
              "brackwin-find: " + std::string(name.begin(), name.end()) + ": no such file\n");
}

}  // namespace
}  // namespace brackwin::test
