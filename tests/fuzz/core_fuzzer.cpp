// Feeds arbitrary bytes through the reader, every category search, the preview and the
// collection, and checks what must hold for any input. The first input byte gives the key's
// length, the key follows, and the rest is the file.

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "APISearch.h"
#include "Collection.h"
#include "LineList.h"
#include "SortedResultList.h"
#include "TextDecoding.h"
#include "UiServices.h"
#include "clsFileLineRead.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

class CountingYield final : public brackwin::Yield {
  public:
    void DoEvents() override { ++calls; }
    std::int64_t calls = 0;
};

class NullClipboard final : public brackwin::Clipboard {
  public:
    void Clear() override {}
    bool SetText(std::string_view text) override { return !text.empty(); }
};

class NullMessageDialog final : public brackwin::MessageDialog {
  public:
    void Show(std::string_view, std::string_view) override {}
};

const std::string& FilePath() {
    static const std::string path = "/dev/shm/brackwin-fuzz-" + std::to_string(getpid()) + ".txt";
    return path;
}

brackwin::LineList Read(std::string_view bytes, std::int32_t& count) {
    {
        std::ofstream out(FilePath(), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    brackwin::LineList lines;
    brackwin::clsFileLineRead reader;
    reader.SetFileName(FilePath());
    CountingYield yield;
    count = reader.FileLineRead(lines, yield);
    Check(yield.calls == count, "one yield per line");
    Check(count >= 2 ? lines.size() == static_cast<std::size_t>(count) - 1 : lines.empty(),
          "line count");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        Check(line.find_first_of("\r\n") == std::string_view::npos, "no break inside a line");
        Check(brackwin::IsValidUtf8(line), "lines are UTF-8");
        Check(!lines.IsAscii() || brackwin::ClassifyUtf8(line) == brackwin::Utf8Kind::kAscii,
              "an all-ASCII list holds only ASCII lines");
    }
    return lines;
}

void SearchAndCollect(const brackwin::LineList& lines, std::string_view key) {
    for (std::int32_t category = 0; category <= 4; ++category) {
        brackwin::SortedResultList results;
        CountingYield yield;
        brackwin::APISearch(lines, key, category, results, yield);
        results.Commit();
        Check(yield.calls == static_cast<std::int64_t>(lines.size()), "one yield per line");
        Check((category >= 1 && category <= 3) || results.Count() == 0, "unknown category");
        for (std::size_t i = 1; i < results.Count(); ++i) {
            Check(!brackwin::ResultOrderLess(results.Item(i), results.Item(i - 1)), "order");
        }
        const std::size_t examined = std::min<std::size_t>(results.Count(), 4);
        for (std::size_t i = 0; i < examined; ++i) {
            const std::string_view entry = results.Item(i);
            Check(!entry.empty() && entry.front() != '\'', "no comment or empty entry");
            const brackwin::Preview plain = brackwin::PreviewSelection({&entry, 1}, false, lines);
            Check(plain.text == entry && plain.enableAdd, "plain preview");
            const brackwin::Preview block = brackwin::PreviewSelection({&entry, 1}, true, lines);
            Check(block.text.find(entry) != std::string::npos, "a block holds its entry");
            Check(brackwin::AddSelection("", {&entry, 1}, false, lines) ==
                      "\r\n\r\n" + std::string(entry),
                  "plain add");
            const std::string added = brackwin::AddSelection("", {&entry, 1}, true, lines);
            Check(added == "\r\n\r\n" + block.text, "a block adds as it previews");
            NullClipboard clipboard;
            NullMessageDialog messageBox;
            brackwin::CopyToClipboard(added, clipboard, messageBox);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.empty()) {
        return 0;
    }
    const std::size_t keyLength =
        std::min<std::size_t>(static_cast<unsigned char>(input[0]) % 16, input.size() - 1);
    const std::string_view key = input.substr(1, keyLength);
    std::int32_t count = 0;
    const brackwin::LineList lines = Read(input.substr(1 + keyLength), count);
    SearchAndCollect(lines, key);
    return 0;
}
