// Times the core on one declaration file: the load, the longest stretch of a second load without
// a chance for the window to process events, then a search of each category with and without a
// key, each placed into the sorted result list.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <iomanip>
#include <iostream>
#include <string_view>

#include "APISearch.h"
#include "LineList.h"
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
    return 0;
}
