// Times the core on one declaration file: the load, the longest stretch of a second load without
// a chance for the window to process events, then a search of each category with and without a
// key, each placed into the sorted result list, and a type's preview and add against one plain
// byte search of the whole text.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <iomanip>
#include <iostream>
#include <span>
#include <string>
#include <string_view>
#include <tuple>

#include "APISearch.h"
#include "Collection.h"
#include "LineList.h"
#include "Platform.h"
#include "SortedResultList.h"
#include "UiServices.h"
#include "clsFileLineRead.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Measures the stretches between yields of either kind.
class StretchYield final : public brackwin::Yield {
  public:
    void DoEvents() override { Mark(); }
    void DoEventsMidway() override { Mark(); }
    double LongestMs() {
        Mark();
        return longestMs_;
    }

  private:
    void Mark() {
        longestMs_ = std::max(longestMs_, MillisecondsSince(last_));
        last_ = Clock::now();
    }

    Clock::time_point last_ = Clock::now();
    double longestMs_ = 0;
};

template <typename Action>
double BestMs(Action&& action) {
    double best = 0;
    for (int run = 0; run < 5; ++run) {
        const auto start = Clock::now();
        action();
        const double ms = MillisecondsSince(start);
        best = run == 0 ? ms : std::min(best, ms);
    }
    return best;
}

// Every line that holds a type's entry opens one of its blocks, so a preview or an add searches
// the whole text once; each may take at most 1.5 times one plain byte search of it.
bool TypeBlockScansAsFastAsOneSearch(const brackwin::LineList& lines) {
    // The file's last type: its add searches on to the text's end. A preview searches no
    // further than the add, as it stops once it has the lines the label shows.
    std::string_view entry;
    for (std::size_t i = lines.size(); i > 0 && entry.empty(); --i) {
        if (lines[i - 1].starts_with("Type ")) {
            entry = lines[i - 1];
        }
    }
    if (entry.empty()) {
        return true;
    }
    // Found nowhere, with the same start as the entry: one search through the whole text.
    const std::string absent = std::string(entry) + '\x01';
    const double searchMs =
        BestMs([&] { static_cast<void>(brackwin::FindBytes(lines.Text(), absent)); });
    const std::span<const std::string_view> selected(&entry, 1);
    std::size_t previewed = 0;
    const double previewMs = BestMs(
        [&] { previewed = brackwin::PreviewSelection(selected, true, lines, 64).text.size(); });
    std::size_t added = 0;
    const double addMs =
        BestMs([&] { added = brackwin::AddSelection({}, selected, true, lines).size(); });
    bool met = true;
    std::cout << "one search    " << std::setw(8) << searchMs << " ms  of the whole text\n";
    for (const auto& [what, ms, bytes] : {std::tuple{"type preview", previewMs, previewed},
                                          std::tuple{"type add    ", addMs, added}}) {
        const double ratio = ms / std::max(searchMs, 0.001);
        met &= ratio <= 1.5;
        std::cout << what << "  " << std::setw(8) << ms << " ms  " << std::setprecision(2) << ratio
                  << "x one search (goal <= 1.5x) " << (ratio <= 1.5 ? "ok" : "MISSED")
                  << std::setprecision(1) << ", " << bytes << " bytes of " << entry << "\n";
    }
    return met;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Usage: brackwin-core-bench FILE\n";
        return 2;
    }
    brackwin::NoYield yield;
    brackwin::LineList lines;
    brackwin::clsFileLineRead reader;
    reader.SetFileName(argv[1]);
    const auto loadStart = Clock::now();
    std::int32_t count = 0;
    try {
        count = reader.FileLineRead(lines, yield);
    } catch (const brackwin::FileReadError& error) {
        std::cerr << "brackwin-core-bench: " << error.what() << '\n';
        return 1;
    }
    std::cout << std::fixed << std::setprecision(1) << "load          " << std::setw(8)
              << MillisecondsSince(loadStart) << " ms  " << count << " lines\n";
    {
        brackwin::LineList again;
        StretchYield stretches;
        reader.FileLineRead(again, stretches);
        std::cout << "load yields   " << std::setw(8) << stretches.LongestMs()
                  << " ms  longest stretch between yields\n";
    }

    struct Search {
        std::int32_t category;
        std::string_view key;
    };
    for (const Search search : {Search{1, ""}, Search{1, "window"}, Search{2, ""},
                                Search{2, "window"}, Search{3, ""}, Search{3, "rect"}}) {
        brackwin::SortedResultList results;
        const auto start = Clock::now();
        brackwin::APISearch(lines, search.key, search.category, results, yield);
        const double searched = MillisecondsSince(start);
        results.Commit();
        std::cout << "search " << search.category << " " << std::left << std::setw(7) << search.key
                  << std::right << std::setw(7) << searched << " ms  sorted in " << std::setw(7)
                  << MillisecondsSince(start) - searched << " ms  " << results.Count()
                  << " entries\n";
    }
    return TypeBlockScansAsFastAsOneSearch(lines) ? 0 : 1;
}
