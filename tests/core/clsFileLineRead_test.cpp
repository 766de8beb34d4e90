#include "clsFileLineRead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "TestFiles.h"

namespace brackwin::test {
namespace {

using Strings = std::vector<std::string>;

struct SplitCase {
    const char* name;
    std::string bytes;
    std::int32_t count;
    Strings stored;
};

void PrintTo(const SplitCase& c, std::ostream* out) {
    *out << c.name;
}

class LineRuleTest : public testing::TestWithParam<SplitCase> {};

TEST_P(LineRuleTest, SplitsAndDropsTheFirstLine) {
    const SplitCase& c = GetParam();
    const TempDir dir;
    LineList list;
    CountingYield yield;
    clsFileLineRead reader;
    reader.SetFileName(dir.Write("file.txt", c.bytes));
    EXPECT_EQ(reader.FileLineRead(list, yield), c.count);
    EXPECT_EQ(yield.calls, c.count);
    EXPECT_EQ(Lines(list), c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Terminators, LineRuleTest,
    testing::Values(
        SplitCase{"CrLf", "h\r\nA\r\nB\r\n", 3, {"A", "B"}},
        SplitCase{"CrAlone", "h\rA\rB\r", 3, {"A", "B"}},
        SplitCase{"LfAlone", "h\nA\nB\n", 3, {"A", "B"}},
        SplitCase{"CrCrLfIsAnEmptyLine", "h\r\r\nA", 3, {"", "A"}},
        SplitCase{"LfCrIsTwoBreaks", "h\n\rA", 3, {"", "A"}},
        SplitCase{"MixedBreaks", "h\r\nA\rB\nC", 4, {"A", "B", "C"}},
        SplitCase{"NoBreakAtTheEnd", "h\r\nA\r\nB", 3, {"A", "B"}},
        SplitCase{"BlankLinesStay", "h\r\n\r\nA\r\n\r\n\r\nB\r\n", 6, {"", "A", "", "", "B"}},
        SplitCase{"TwoLines", "h\r\nsecond", 2, {"second"}},
        SplitCase{"FiveLines", "1\r\n2\r\n3\r\n4\r\n5\r\n", 5, {"2", "3", "4", "5"}},
        SplitCase{"EmptyFirstLine", "\r\nA", 2, {"A"}},
        SplitCase{"OnlyBreaks", "\n\n\n", 3, {"", ""}},
        SplitCase{"NothingIsTrimmed", "h\r\n\t A \t\r\n", 2, {"\t A \t"}},
        SplitCase{"ControlBytesInLongLines",
                  std::string("h\r\n0123456\t89abcdef\v\f\0xyz\rlong enough to span words\n", 52),
                  3,
                  {std::string("0123456\t89abcdef\v\f\0xyz", 22), "long enough to span words"}},
        SplitCase{"NulIsAnOrdinaryByte", std::string("h\r\na\0b", 6), 2, {std::string("a\0b", 3)}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

LineList PrefilledList() {
    return ListOf("old header\r\nold 1\r\nold 2\r\nold 3");
}

TEST(FileLineReadTest, ShortFilesLeaveTheListAsItWas) {
    for (const std::string bytes : {"", "one line", "one line\r\n", "\r\n", "\n"}) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        const TempDir dir;
        LineList list = PrefilledList();
        CountingYield yield;
        clsFileLineRead reader;
        reader.SetFileName(dir.Write("short.txt", bytes));
        EXPECT_EQ(reader.FileLineRead(list, yield), bytes.empty() ? 0 : 1);
        EXPECT_EQ(yield.calls, bytes.empty() ? 0 : 1);
        EXPECT_EQ(Lines(list), (Strings{"old 1", "old 2", "old 3"}));
    }
}

TEST(FileLineReadTest, ReloadingReplacesEverything) {
    const TempDir dir;
    LineList list = PrefilledList();
    EXPECT_EQ(ReadInto(dir.Write("b.txt", "h\nnew"), list), 2);
    EXPECT_EQ(Lines(list), Strings{"new"});
    EXPECT_EQ(ReadInto(dir.Write("c.txt", "just one"), list), 1);
    EXPECT_EQ(Lines(list), Strings{"new"});
}

TEST(FileLineReadTest, FileNameKeepsItsValue) {
    clsFileLineRead reader;
    EXPECT_EQ(reader.FileName(), "");
    reader.SetFileName("some/where.txt");
    EXPECT_EQ(reader.FileName(), "some/where.txt");
}

TEST(FileLineReadTest, ReadsTheExampleFile) {
    LineList list;
    EXPECT_EQ(ReadInto(Fixture("example.txt"), list), 12);
    ASSERT_EQ(list.size(), 11U);
    EXPECT_EQ(list[0], "Public Const MAX_PATH = 260");
    EXPECT_EQ(list[5], "    Left As Long");
    EXPECT_EQ(list[10], "Public Const LAST_ONE = 1");
}

TEST(FileLineReadTest, CrOnlyAndLfOnlyFilesSplitAlike) {
    LineList cr;
    LineList lf;
    EXPECT_EQ(ReadInto(Fixture("cr_only.txt"), cr), 3);
    EXPECT_EQ(ReadInto(Fixture("lf_only.txt"), lf), 3);
    EXPECT_EQ(Lines(cr),
              (Strings{"Public Const A = 1", "Declare Function B Lib \"b\" () As Long"}));
    EXPECT_EQ(Lines(lf), Lines(cr));
}

TEST(FileLineReadTest, DecodesShiftJis) {
#ifdef _WIN32
    if (GetACP() != 932) {
        GTEST_SKIP() << "the system's ANSI code page is not 932";
    }
#endif
    LineList list;
    EXPECT_EQ(ReadInto(Fixture("shift_jis.txt"), list), 4);
    EXPECT_EQ(Lines(list), (Strings{"Public Const 定数 = 1 ' ｶﾀｶﾅ",
                                    "Declare Function 関数 Lib \"k\" () As Long", "' 終わり"}));
}

TEST(FileLineReadTest, TakesUtf8WithOrWithoutTheMark) {
    for (const char* name : {"utf8.txt", "utf8_bom.txt"}) {
        SCOPED_TRACE(name);
        LineList list;
        EXPECT_EQ(ReadInto(Fixture(name), list), 3);
        EXPECT_EQ(Lines(list), (Strings{"Public Const 定数 = 1", "' 終わり"}));
    }
}

TEST(FileLineReadTest, MarkIsNotPartOfTheFirstStoredLine) {
    EXPECT_EQ(Lines(ListOf("\xEF\xBB\xBF\r\nA")), Strings{"A"});
    EXPECT_EQ(Lines(ListOf("\xEF\xBB\xBF"
                           "A\r\nB")),
              Strings{"B"});
}

TEST(FileLineReadTest, InvalidUtf8AfterTheMarkBecomesReplacementCharacters) {
    EXPECT_EQ(Lines(ListOf("\xEF\xBB\xBFh\r\na\xFF"
                           "b\xC3")),
              Strings{"a\uFFFDb\uFFFD"});
}

TEST(FileLineReadTest, InvalidShiftJisBecomesReplacementCharacters) {
#ifdef _WIN32
    GTEST_SKIP() << "the system converter chooses its own substitute";
#endif
    // 0x82 0xA0 is あ; 0xA0 alone and a lead byte cut off at the end are invalid.
    EXPECT_EQ(Lines(ListOf("h\r\n\x82\xA0\xA0x\x82")), Strings{"あ\uFFFDx\uFFFD"});
}

// The system's converter must not take a line break for the second byte of a character.
TEST(FileLineReadTest, CutOffShiftJisKeepsTheLineBreakAfterIt) {
#ifdef _WIN32
    if (GetACP() != 932) {
        GTEST_SKIP() << "the system's ANSI code page is not 932";
    }
#endif
    const LineList list = ListOf("h\r\n\x82\rB\r\n\x88\r\nC");
    ASSERT_EQ(list.size(), 4U);
    EXPECT_EQ(list[1], "B");
    EXPECT_EQ(list[3], "C");
}

// Text is decoded a piece at a time and comes out as if decoded whole: long lines of
// double-byte characters on both sides of every two-byte boundary.
TEST(FileLineReadTest, LongShiftJisLinesDecodeWhole) {
#ifdef _WIN32
    if (GetACP() != 932) {
        GTEST_SKIP() << "the system's ANSI code page is not 932";
    }
#endif
    // ＝ is 0x81 0x81: either of its bytes could start a character.
    std::string cp932;
    std::string utf8;
    for (int i = 0; i < 700'000; ++i) {
        cp932 += "\x81\x81";
        utf8 += "＝";
    }
    const LineList list = ListOf("h\r\n" + cp932 + "\r\nx" + cp932);
    ASSERT_EQ(list.size(), 2U);
    EXPECT_TRUE(list[0] == utf8);
    EXPECT_TRUE(list[1] == "x" + utf8);
}

TEST(FileLineReadTest, LongUtf8LinesRepairedAfterTheMarkStayWhole) {
    std::string accents;
    for (int i = 0; i < 700'000; ++i) {
        accents += "\xC3\xA9";
    }
    const LineList list =
        ListOf("\xEF\xBB\xBFh\r\n" + accents + "\r\nx" + accents + "\r\n\xFF\xC3\xA9\xE3\x81");
    ASSERT_EQ(list.size(), 3U);
    EXPECT_TRUE(list[0] == accents);
    EXPECT_TRUE(list[1] == "x" + accents);
    EXPECT_EQ(list[2], "\uFFFD\xC3\xA9\uFFFD\uFFFD");
}

// Decoded text three times as long as the file: half-width katakana take one byte in code page
// 932 and three in UTF-8.
TEST(FileLineReadTest, HalfWidthKatakanaOutgrowTheRoomForTheText) {
#ifdef _WIN32
    if (GetACP() != 932) {
        GTEST_SKIP() << "the system's ANSI code page is not 932";
    }
#endif
    const std::string line(1000, '\xB6');
    std::string bytes = "h\r\n";
    std::string decoded;
    for (int i = 0; i < 1000; ++i) {
        decoded += "ｶ";
    }
    for (int i = 0; i < 2000; ++i) {
        bytes += line + "\r\n";
    }
    const LineList list = ListOf(bytes);
    ASSERT_EQ(list.size(), 2000U);
    EXPECT_EQ(list[0], decoded);
    EXPECT_EQ(list[1999], decoded);
}

TEST(FileLineReadTest, ManyShortLinesOutgrowTheRoomForTheirEnds) {
    const LineList list = ListOf("h" + std::string(1'000'000, '\n') + "last");
    ASSERT_EQ(list.size(), 1'000'000U);
    EXPECT_EQ(list[0], "");
    EXPECT_EQ(list[999'998], "");
    EXPECT_EQ(list[999'999], "last");
}

// Searches fold letter case byte by byte only for a list that is all ASCII.
TEST(FileLineReadTest, TellsWhetherEveryLineIsAscii) {
    EXPECT_TRUE(ListOf("h\r\nPublic Const A = 1\r\nB").IsAscii());
    EXPECT_FALSE(ListOf("h\r\nA\r\n\xC3\xA9").IsAscii());
    EXPECT_FALSE(ListOf("h\r\nA\r\n\x82\xA0").IsAscii());
    // Only the stored lines count, also when the dropped first one is not UTF-8.
    EXPECT_TRUE(ListOf("\x82\xA0\r\nA\r\nB").IsAscii());
    LineList list = ListOf("h\r\n\xC3\xA9");
    ReadInto(TempDir().Write("ascii.txt", "h\r\nA"), list);
    EXPECT_TRUE(list.IsAscii());
}

TEST(FileLineReadTest, BinaryFileReadsWithoutError) {
    LineList list;
    EXPECT_EQ(ReadInto(Fixture("binary.bin"), list), 4);
    ASSERT_EQ(list.size(), 3U);
    EXPECT_NE(list[0].find("Public Const X = 1"), std::string_view::npos);
}

TEST(FileLineReadTest, LineOfSeveralMegabytes) {
    const std::string longLine(5'000'000, 'x');
    EXPECT_EQ(Lines(ListOf("h\r\n" + longLine + "\r\nafter")), (Strings{longLine, "after"}));
}

// A large file is read in pieces of a megabyte as its lines are reached: a break split between
// two pieces is still one break, and a line may span pieces.
TEST(FileLineReadTest, LargeFilesSplitAsAWhole) {
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    for (const std::string breakBytes : {"\r\n", "\r", "\n"}) {
        SCOPED_TRACE(testing::PrintToString(breakBytes));
        std::string bytes = "h" + breakBytes;
        const std::string filler(kPiece - 1 - bytes.size(), 'x');
        const std::string spanning(kPiece + 10, 'y');
        bytes += filler + breakBytes + spanning + breakBytes + "last";
        const LineList list = ListOf(bytes);
        ASSERT_EQ(list.size(), 3U);
        EXPECT_TRUE(list[0] == filler);
        EXPECT_TRUE(list[1] == spanning);
        EXPECT_EQ(list[2], "last");
    }
}

// Bytes that are not UTF-8 far into a file decide its text as a whole: the lines read before
// them are decoded again, as if the bytes had come first.
TEST(FileLineReadTest, BytesThatAreNotUtf8FarOnDecideTheWholeText) {
#ifdef _WIN32
    if (GetACP() != 932) {
        GTEST_SKIP() << "the system's ANSI code page is not 932";
    }
#endif
    const std::string utf8A = "\xE3\x81\x82";  // あ in UTF-8, other characters in code page 932
    const std::string cp932A = "\x82\xA0";     // あ in code page 932, not UTF-8
    const std::string longLine(2 << 20, 'x');
    const std::string body = utf8A + "\r\n" + longLine + "\r\n" + cp932A;
    const LineList late = ListOf("h\r\n" + body);
    ASSERT_EQ(late.size(), 3U);
    EXPECT_EQ(Lines(late), Lines(ListOf(cp932A + "\r\n" + body)));
    EXPECT_NE(late[0], utf8A);
    EXPECT_EQ(late[2], "あ");

    const LineList marked = ListOf("\xEF\xBB\xBFh\r\n" + utf8A + "\r\n" + longLine + "\r\n\xFF");
    ASSERT_EQ(marked.size(), 3U);
    EXPECT_EQ(marked[0], utf8A);
    EXPECT_EQ(marked[2], "\uFFFD");
}

TEST(FileLineReadTest, ListGrowsOneLineAtATime) {
    // Each yield comes before its line is read; the lines stored so far are already in the list.
    struct Watcher final : Yield {
        const LineList* list = nullptr;
        std::vector<std::size_t> sizes;
        void DoEvents() override { sizes.push_back(list->size()); }
    };
    const TempDir dir;
    LineList list = PrefilledList();
    Watcher watcher;
    watcher.list = &list;
    clsFileLineRead reader;
    reader.SetFileName(dir.Write("f.txt", "1\n2\n3\n4"));
    EXPECT_EQ(reader.FileLineRead(list, watcher), 4);
    EXPECT_EQ(watcher.sizes, (std::vector<std::size_t>{3, 3, 1, 2}));
}

TEST(FileLineReadTest, ExceptionFromTheYieldPassesThroughAndKeepsLinesSoFar) {
    struct Stop {};
    struct StopAtFourthLine final : Yield {
        int calls = 0;
        void DoEvents() override {
            if (++calls == 4) {
                throw Stop{};
            }
        }
    };
    const TempDir dir;
    LineList list = PrefilledList();
    StopAtFourthLine yield;
    clsFileLineRead reader;
    reader.SetFileName(dir.Write("f.txt", "1\r\n2\r\n3\r\n4\r\n5"));
    EXPECT_THROW(reader.FileLineRead(list, yield), Stop);
    EXPECT_EQ(Lines(list), (Strings{"2", "3"}));
}

void ExpectOpenFailure(const std::string& path, const std::string& reason) {
    LineList list = PrefilledList();
    CountingYield yield;
    clsFileLineRead reader;
    reader.SetFileName(path);
    try {
        reader.FileLineRead(list, yield);
        ADD_FAILURE() << "no error for " << path;
    } catch (const FileReadError& error) {
        EXPECT_EQ(error.path(), path);
        EXPECT_EQ(error.reason(), reason);
        EXPECT_EQ(std::string(error.what()), path + ": " + reason);
    }
    EXPECT_EQ(yield.calls, 0);
    EXPECT_EQ(Lines(list), (Strings{"old 1", "old 2", "old 3"}));
}

TEST(FileLineReadErrorTest, MissingFile) {
    const TempDir dir;
    ExpectOpenFailure((dir.path() / "missing.txt").string(), "no such file");
}

TEST(FileLineReadErrorTest, EmptyFileName) {
    ExpectOpenFailure("", "no such file");
}

TEST(FileLineReadErrorTest, Folder) {
    const TempDir dir;
    ExpectOpenFailure(dir.path().string(), "is a folder");
}

TEST(FileLineReadErrorTest, ReadError) {
#ifdef __linux__
    // The process's own memory opens, but reading it from address 0 fails.
    ExpectOpenFailure("/proc/self/mem", "read error: Input/output error");
#else
    GTEST_SKIP() << "needs a file that opens but cannot be read";
#endif
}

TEST(FileLineReadErrorTest, NoPermission) {
#ifdef _WIN32
    GTEST_SKIP() << "file permissions are POSIX only";
#else
    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    const TempDir dir;
    const std::string path = dir.Write("secret.txt", "h\r\nA");
    std::filesystem::permissions(path, std::filesystem::perms::none);
    ExpectOpenFailure(path, "permission denied");
#endif
}

// Inputs that once hung the reader, kept the window from its events for long, or loaded as
// nonsense.

#ifndef _WIN32
// A reader that waits for a writer or reads a device forever ends the test program instead of
// hanging it.
class Watchdog {
  public:
    Watchdog() { alarm(10); }
    ~Watchdog() { alarm(0); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
};
#endif

TEST(FileLineReadBadInputTest, FifoWithoutWriter) {
#ifdef _WIN32
    GTEST_SKIP() << "FIFOs are POSIX only";
#else
    const TempDir dir;
    const std::string path = (dir.path() / "fifo").string();
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    const Watchdog watchdog;
    ExpectOpenFailure(path, "not a regular file");
#endif
}

TEST(FileLineReadBadInputTest, EndlessDevice) {
#ifdef _WIN32
    ExpectOpenFailure("NUL", "not a regular file");
#else
    const Watchdog watchdog;
    ExpectOpenFailure("/dev/zero", "not a regular file");
#endif
}

TEST(FileLineReadBadInputTest, NamedPipe) {
#ifdef _WIN32
    const std::string path = "\\\\.\\pipe\\brackwin-test-" + std::to_string(GetCurrentProcessId());
    const HANDLE pipe = CreateNamedPipeA(path.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1,
                                         4096, 4096, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    ExpectOpenFailure(path, "not a regular file");
    CloseHandle(pipe);
#else
    GTEST_SKIP() << "Windows pipes; POSIX FIFOs have a test of their own";
#endif
}

constexpr std::size_t kMegabyte = std::size_t{1} << 20;

// Watches how a load shares its work out between its chances to process events: how many midway
// yields follow each line's yield and, on Linux, the most bytes the process read between two
// yields of either kind.
class PacingYield final : public Yield {
  public:
    PacingYield() : lastRead_(BytesRead()) {}

    void DoEvents() override {
        Mark();
        midwaysAfterLine.push_back(0);
    }
    void DoEventsMidway() override {
        Mark();
        if (!midwaysAfterLine.empty()) {
            ++midwaysAfterLine.back();
        }
    }

    std::vector<int> midwaysAfterLine;
    std::uint64_t mostReadBetweenYields = 0;

  private:
    static std::uint64_t BytesRead() {
#ifdef __linux__
        std::ifstream io("/proc/self/io");
        std::string field;
        std::uint64_t value = 0;
        while (io >> field >> value) {
            if (field == "rchar:") {
                return value;
            }
        }
#endif
        return 0;
    }
    void Mark() {
        const std::uint64_t read = BytesRead();
        mostReadBetweenYields = std::max(mostReadBetweenYields, read - lastRead_);
        lastRead_ = read;
    }

    std::uint64_t lastRead_;
};

// A few megabytes at most between two yields: the window processes events every few
// milliseconds, whatever the file's shape.
void ExpectReadInPieces(const PacingYield& yield) {
#ifdef __linux__
    EXPECT_LE(yield.mostReadBetweenYields, 4 * kMegabyte);
#else
    (void)yield;
#endif
}

TEST(FileLineReadBadInputTest, GiganticLineYieldsMidway) {
    const std::string gigantic(16 * kMegabyte, 'x');
    const TempDir dir;
    LineList list;
    PacingYield yield;
    clsFileLineRead reader;
    reader.SetFileName(dir.Write("gigantic.txt", "h\r\n" + gigantic + "\r\nafter"));
    EXPECT_EQ(reader.FileLineRead(list, yield), 3);
    ASSERT_EQ(list.size(), 2U);
    EXPECT_TRUE(list[0] == gigantic);
    EXPECT_EQ(list[1], "after");
    ASSERT_EQ(yield.midwaysAfterLine.size(), 3U);
    EXPECT_GE(yield.midwaysAfterLine[1], 4) << "one midway yield per 4 MB at least";
    ExpectReadInPieces(yield);
}

TEST(FileLineReadBadInputTest, LineWithoutEndYieldsMidway) {
    const TempDir dir;
    LineList list;
    PacingYield yield;
    clsFileLineRead reader;
    reader.SetFileName(dir.Write("endless.txt", "h\r\n" + std::string(16 * kMegabyte, 'x')));
    EXPECT_EQ(reader.FileLineRead(list, yield), 2);
    ASSERT_EQ(list.size(), 1U);
    EXPECT_EQ(list[0].size(), 16 * kMegabyte);
    ASSERT_EQ(yield.midwaysAfterLine.size(), 2U);
    EXPECT_GE(yield.midwaysAfterLine[1], 4);
    ExpectReadInPieces(yield);
}

// Shift-JIS met far into a file: the text before it is decoded again and the rest read and
// decoded as the lines reach it, with midway yields all along.
// Lines of text, then one line of あ in code page 932, then more lines, after a first line.
std::string LateShiftJisFile(const std::string& line, int linesBefore, int linesAfter) {
    std::string bytes = "h\r\n";
    for (int i = 0; i < linesBefore; ++i) {
        bytes += line + "\r\n";
    }
    bytes += "\x82\xA0\r\n";
    for (int i = 0; i < linesAfter; ++i) {
        bytes += line + "\r\n";
    }
    return bytes + "last";
}

TEST(FileLineReadBadInputTest, ShiftJisLateInABigFileYieldsMidway) {
#ifdef _WIN32
    if (GetACP() != 932) {
        GTEST_SKIP() << "the system's ANSI code page is not 932";
    }
#endif
    const std::string line(64 * 1024 - 2, 'a');
    constexpr int kLinesAround = 128;  // 8 MB before and after
    const TempDir dir;
    LineList list;
    PacingYield yield;
    clsFileLineRead reader;
    reader.SetFileName(dir.Write("late.txt", LateShiftJisFile(line, kLinesAround, kLinesAround)));
    EXPECT_EQ(reader.FileLineRead(list, yield), 2 * kLinesAround + 3);
    ASSERT_EQ(list.size(), 2U * kLinesAround + 2);
    EXPECT_TRUE(list[0] == line);
    EXPECT_EQ(list[kLinesAround], "あ");
    EXPECT_TRUE(list[kLinesAround + 1] == line);
    EXPECT_EQ(list[2 * kLinesAround + 1], "last");
    EXPECT_FALSE(list.IsAscii());
    ASSERT_EQ(yield.midwaysAfterLine.size(), 2U * kLinesAround + 3);
    EXPECT_GE(yield.midwaysAfterLine[kLinesAround + 1], 2)
        << "one midway yield per 4 MB decoded again at least";
    ExpectReadInPieces(yield);
}

// Whatever runs during a midway yield finds the lines stored so far whole, also while they are
// being decoded again.
TEST(FileLineReadBadInputTest, ListStaysWholeDuringMidwayYields) {
#ifdef _WIN32
    if (GetACP() != 932) {
        GTEST_SKIP() << "the system's ANSI code page is not 932";
    }
#endif
    struct Checker final : Yield {
        const LineList* list = nullptr;
        const std::string* line = nullptr;
        std::size_t lineYields = 0;
        int midways = 0;
        void DoEvents() override {
            ++lineYields;
            Check();
        }
        void DoEventsMidway() override {
            ++midways;
            Check();
        }
        void Check() const {
            // The yield of line k comes after lines 2 to k - 1 are stored.
            ASSERT_EQ(list->size(), lineYields >= 2 ? lineYields - 2 : 0);
            if (!list->empty()) {
                EXPECT_TRUE((*list)[0] == *line);
                const std::size_t last = list->size() - 1;
                EXPECT_TRUE((*list)[last] == (last == 64 ? "あ" : *line));
            }
        }
    };
    const std::string line(64 * 1024 - 2, 'a');
    const TempDir dir;
    LineList list;
    Checker checker;
    checker.list = &list;
    checker.line = &line;
    clsFileLineRead reader;
    reader.SetFileName(dir.Write("late.txt", LateShiftJisFile(line, 64, 16)));
    EXPECT_EQ(reader.FileLineRead(list, checker), 83);
    EXPECT_GT(checker.midways, 0);
}

// Also an exception that the reader could take for a converter's failure.
TEST(FileLineReadBadInputTest, ExceptionFromAMidwayYieldPassesThroughAndKeepsLinesSoFar) {
    struct Stop : std::runtime_error {
        Stop() : std::runtime_error("stop") {}
    };
    struct StopInTheThirdLine final : Yield {
        int lines = 0;
        void DoEvents() override { ++lines; }
        void DoEventsMidway() override {
            if (lines == 3) {
                throw Stop{};
            }
        }
    };
    const TempDir dir;
    LineList list = PrefilledList();
    StopInTheThirdLine yield;
    clsFileLineRead reader;
    reader.SetFileName(dir.Write("f.txt", "h\r\nA\r\n" + std::string(8 * kMegabyte, 'x')));
    EXPECT_THROW(reader.FileLineRead(list, yield), Stop);
    EXPECT_EQ(Lines(list), Strings{"A"});
}

// UTF-16 text in the byte order given, after its byte-order mark.
std::string Utf16File(std::u16string_view text, std::endian order) {
    std::string bytes = order == std::endian::little ? "\xFF\xFE" : "\xFE\xFF";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += order == std::endian::little ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

struct ByteOrder {
    std::endian order;
    const char* name;
};

void PrintTo(const ByteOrder& byteOrder, std::ostream* out) {
    *out << byteOrder.name;
}

class Utf16Test : public testing::TestWithParam<ByteOrder> {
  protected:
    LineList Read(std::u16string_view text, std::int32_t count) {
        return ReadBytes(Utf16File(text, GetParam().order), count);
    }
    LineList ReadBytes(const std::string& bytes, std::int32_t count) {
        const TempDir dir;
        LineList list;
        CountingYield yield;
        clsFileLineRead reader;
        reader.SetFileName(dir.Write("utf16.txt", bytes));
        EXPECT_EQ(reader.FileLineRead(list, yield), count);
        EXPECT_EQ(yield.calls, count);
        return list;
    }
};

TEST_P(Utf16Test, SplitsAtEveryBreakAndDropsTheMark) {
    const LineList list = Read(u"h\r\nA\rB\nC\r\n\r\nD", 6);
    EXPECT_EQ(Lines(list), (Strings{"A", "B", "C", "", "D"}));
    EXPECT_TRUE(list.IsAscii());
    EXPECT_EQ(Lines(Read(u"\r\nfirst stored", 2)), Strings{"first stored"});
    EXPECT_TRUE(Read(u"", 0).empty());
}

TEST_P(Utf16Test, DecodesJapaneseAndSurrogatePairs) {
    const LineList list = Read(u"h\r\nPublic Const 定数 = 1\r\n' \U0001F600 終わり", 3);
    EXPECT_EQ(Lines(list), (Strings{"Public Const 定数 = 1", "' \U0001F600 終わり"}));
    EXPECT_FALSE(list.IsAscii());
}

TEST_P(Utf16Test, InvalidUnitsBecomeReplacementCharacters) {
    // An unpaired high surrogate, an unpaired low one, and a high one cut off by the file's end.
    const std::u16string text = u"h\r\n" + std::u16string(1, 0xD800) + u"x\r\n" +
                                std::u16string(1, 0xDC00) + u"\r\ny" + std::u16string(1, 0xD83D);
    EXPECT_EQ(Lines(Read(text, 4)), (Strings{"\uFFFDx", "\uFFFD", "y\uFFFD"}));
    // An odd byte at the end.
    EXPECT_EQ(Lines(ReadBytes(Utf16File(u"h\r\nA", GetParam().order) + "B", 2)),
              Strings{"A\uFFFD"});
}

// Lines long enough to be decoded in several pieces, with their surrogate pairs on both sides
// of every two-byte boundary, come out whole.
TEST_P(Utf16Test, LongLinesKeepTheirSurrogatePairs) {
    std::u16string pairs;
    std::string utf8;
    for (int i = 0; i < 300'000; ++i) {
        pairs += u"\U0001F600";
        utf8 += "\U0001F600";
    }
    const LineList list = Read(u"h\r\n" + pairs + u"\r\na" + pairs, 3);
    ASSERT_EQ(list.size(), 2U);
    EXPECT_TRUE(list[0] == utf8);
    EXPECT_TRUE(list[1] == "a" + utf8);
}

INSTANTIATE_TEST_SUITE_P(FileLineReadBadInputTest, Utf16Test,
                         testing::Values(ByteOrder{std::endian::little, "LittleEndian"},
                                         ByteOrder{std::endian::big, "BigEndian"}),
                         [](const testing::TestParamInfo<ByteOrder>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace brackwin::test
