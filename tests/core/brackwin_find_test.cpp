// Runs the finder executable as a user would and checks its output and exit status.

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "TestFiles.h"

namespace brackwin::test {
namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Quoted(const std::string& arg) {
    std::string quoted = "'";
    for (const char c : arg) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// `redirections` come after the finder's own and so replace them, as the shell does.
Outcome RunFinder(const std::vector<std::string>& args, const std::string& redirections = "") {
    const TempDir dir;
    std::string command = Quoted(BRACKWIN_FIND_EXECUTABLE);
    for (const std::string& arg : args) {
        command.append(" ").append(Quoted(arg));
    }
    const auto out = dir.path() / "out";
    const auto err = dir.path() / "err";
    command.append(" >").append(Quoted(out.string())).append(" 2>").append(Quoted(err.string()));
    command.append(" ").append(redirections);
    const int result = std::system(command.c_str());
    Outcome outcome;
    if (result != -1 && WIFEXITED(result)) {
        outcome.status = WEXITSTATUS(result);
    }
    outcome.out = Slurp(out);
    outcome.err = Slurp(err);
    return outcome;
}

const std::string kExample = Fixture("example.txt");

TEST(FinderTest, PrintsTheSortedListOneEntryPerLine) {
    const Outcome outcome = RunFinder({kExample, "1"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out,
              "Global Const GMEM_FIXED = &H0\nPublic Const LAST_ONE = 1\n"
              "Public Const MAX_PATH = 260\n");
    EXPECT_EQ(outcome.err, "");
}

TEST(FinderTest, KeyIsUsedExactlyAsGiven) {
    EXPECT_EQ(RunFinder({kExample, "3", "RECTL"}).out, "Type RECTL\n");
    EXPECT_EQ(RunFinder({kExample, "2", "() as"}).out,
              "Declare Function GetTickCount Lib kernel32 () As Long\n");
    EXPECT_EQ(RunFinder({kExample, "1", " "}).out, RunFinder({kExample, "1"}).out);
    EXPECT_EQ(RunFinder({kExample, "1", ""}).out, RunFinder({kExample, "1"}).out);
}

TEST(FinderTest, NoMatchAndOtherCategoriesSucceedWithNothing) {
    // Numbers beyond 32 bits included, also those whose lower 32 bits are 1, 2 or 3.
    for (const char* category :
         {"0", "4", "-7", "2147483647", "2147483648", "-2147483649", "99999999999", "4294967297",
          "-4294967295", "-99999999999999999999999999999999"}) {
        SCOPED_TRACE(category);
        const Outcome outcome = RunFinder({kExample, category});
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(outcome.out, "");
    }
    EXPECT_EQ(RunFinder({kExample, "2", "nothing like this"}).status, 0);
}

TEST(FinderTest, CollectPrintsTheOutputText) {
    const Outcome types = RunFinder({"--collect", kExample, "3", "rect"});
    EXPECT_EQ(types.status, 0);
    EXPECT_EQ(types.out,
              "\r\n\r\nType RECT\r\n    Left As Long\r\nEnd Type\r\nType RECTL\r\nEnd Type"
              "\r\n\r\nType RECTL\r\nEnd Type");
    EXPECT_EQ(RunFinder({"--collect", kExample, "1", "const"}).out,
              "\r\n\r\nGlobal Const GMEM_FIXED = &H0\r\n\r\nPublic Const LAST_ONE = 1"
              "\r\n\r\nPublic Const MAX_PATH = 260");
    EXPECT_EQ(RunFinder({"--collect", kExample, "2", "none"}).out, "");
}

TEST(FinderTest, PrintsUtf8FromShiftJis) {
    EXPECT_EQ(RunFinder({Fixture("shift_jis.txt"), "1"}).out, "Public Const 定数 = 1 ' ｶﾀｶﾅ\n");
}

TEST(FinderTest, UnreadableFileExitsWithOne) {
    const TempDir dir;
    const std::string missing = (dir.path() / "missing.txt").string();
    const Outcome outcome = RunFinder({missing, "1"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "brackwin-find: " + missing + ": no such file\n");
    EXPECT_EQ(RunFinder({dir.path().string(), "1"}).err,
              "brackwin-find: " + dir.path().string() + ": is a folder\n");
}

TEST(FinderTest, UnwritableOutputExitsWithOne) {
    for (const char* redirection : {">/dev/full", ">&-"}) {
        for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"},
                                                     {kExample, "1"},
                                                     {"--collect", kExample, "3", "rect"}}) {
            SCOPED_TRACE(redirection + testing::PrintToString(args));
            const Outcome outcome = RunFinder(args, redirection);
            EXPECT_EQ(outcome.status, 1);
            EXPECT_EQ(outcome.err, "brackwin-find: cannot write the output\n");
        }
    }
    EXPECT_EQ(RunFinder({"--help"}, ">/dev/full 2>&-").status, 1);
}

TEST(FinderTest, UsageErrorsSayWhatIsWrongAndExitWithTwo) {
    const struct {
        std::vector<std::string> args;
        std::string problem;
    } cases[] = {
        {{}, "missing FILE"},
        {{"--collect"}, "missing FILE"},
        {{kExample}, "missing CATEGORY"},
        {{"--collect", kExample}, "missing CATEGORY"},
        {{kExample, "one"}, "CATEGORY must be a whole number: one"},
        {{kExample, "1x"}, "CATEGORY must be a whole number: 1x"},
        {{kExample, "-"}, "CATEGORY must be a whole number: -"},
        {{kExample, "99999999999x"}, "CATEGORY must be a whole number: 99999999999x"},
        {{kExample, ""}, "CATEGORY must be a whole number, not empty"},
        {{kExample, "1", "key", "extra"}, "unexpected argument extra"},
        {{"--x", kExample, "1"}, "unknown option --x"},
        {{"--collect", "-c", kExample, "1"}, "unknown option -c"},
        {{"--help", kExample, "1"}, "--help takes no other arguments"},
        {{"--collect", "--help"}, "--help takes no other arguments"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const Outcome outcome = RunFinder(c.args);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, "brackwin-find: " + c.problem +
                                   "\nTry 'brackwin-find --help' for more information.\n");
    }
}

TEST(FinderTest, HelpPrintsTheUsage) {
    const Outcome outcome = RunFinder({"--help"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out.rfind("Usage: brackwin-find [--collect] FILE CATEGORY [KEY]\n", 0), 0U);
    EXPECT_EQ(outcome.err, "");
}

}  // namespace
}  // namespace brackwin::test
