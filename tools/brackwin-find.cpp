// The search of the main window without a window: reads a declaration file, searches it and
// prints the result list, or the output text that collecting every entry gives.

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "APISearch.h"
#include "Collection.h"
#include "LineList.h"
#include "SortedResultList.h"
#include "UiServices.h"
#include "clsFileLineRead.h"

namespace {

constexpr int kExitCannotReadOrWrite = 1;
constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    "Usage: brackwin-find [--collect] FILE CATEGORY [KEY]\n"
    "       brackwin-find --help\n"
    "Reads the declaration file FILE and prints the lines of CATEGORY (1 constants,\n"
    "2 functions, 3 types; any other whole number, however large, lists nothing) that\n"
    "contain KEY, one per line in ascending order; the search and the order ignore\n"
    "letter case.\n"
    "  --collect  print instead the output text that adding every listed line gives\n"
    "  --help     print this help\n"
    "Exit status: 0 success (also with no match); 1 FILE cannot be read, or the output\n"
    "(the list, the collected text or this help) cannot be written; 2 usage error.\n";

// The program's categories are 32-bit: a whole number beyond that range is none of them.
constexpr std::int32_t kNoCategory = 0;

struct Request {
    bool collect = false;
    std::string file;
    std::int32_t category = 0;
    std::string key;
};

bool ParseCategory(std::string_view text, std::int32_t& category) {
    const char* end = text.data() + text.size();
    const auto [next, error] = std::from_chars(text.data(), end, category);
    if (next != end) {
        return false;
    }
    if (error == std::errc::result_out_of_range) {
        category = kNoCategory;
        return true;
    }
    return error == std::errc();
}

bool IsOption(std::string_view arg) {
    return arg.size() > 1 && arg.front() == '-';
}

// Fills `request` from the arguments; returns what is wrong with them, empty when nothing is.
std::string ParseRequest(std::span<char*> args, Request& request) {
    for (; !args.empty() && IsOption(args.front()); args = args.subspan(1)) {
        const std::string_view option = args.front();
        if (option == "--help") {
            return "--help takes no other arguments";
        }
        if (option != "--collect") {
            return "unknown option " + std::string(option);
        }
        request.collect = true;
    }
    if (args.empty()) {
        return "missing FILE";
    }
    if (args.size() == 1) {
        return "missing CATEGORY";
    }
    if (args.size() > 3) {
        return "unexpected argument " + std::string(args[3]);
    }
    if (const std::string_view category = args[1]; !ParseCategory(category, request.category)) {
        return category.empty() ? "CATEGORY must be a whole number, not empty"
                                : "CATEGORY must be a whole number: " + std::string(category);
    }
    request.file = args[0];
    if (args.size() == 3) {
        request.key = args[2];
    }
    return {};
}

bool Print(std::string_view text) {
    return text.empty() || std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

// Flushes the output; `written` tells whether every earlier part of it was written.
int FinishOutput(bool written) {
    if (std::fflush(stdout) != 0 || !written) {
        std::cerr << "brackwin-find: cannot write the output\n";
        return kExitCannotReadOrWrite;
    }
    return 0;
}

int Run(const Request& request) {
    brackwin::NoYield yield;
    brackwin::LineList lines;
    brackwin::clsFileLineRead reader;
    reader.SetFileName(request.file);
    try {
        reader.FileLineRead(lines, yield);
    } catch (const brackwin::FileReadError& error) {
        std::cerr << "brackwin-find: " << error.what() << '\n';
        return kExitCannotReadOrWrite;
    }
    brackwin::SortedResultList results;
    brackwin::APISearch(lines, request.key, request.category, results, yield);
    results.Commit();

    bool written = true;
    if (request.collect) {
        std::string output;
        for (std::size_t i = 0; i < results.Count(); ++i) {
            const std::string_view entry = results.Item(i);
            output = brackwin::AddSelection(std::move(output), {&entry, 1},
                                            request.category == brackwin::kTypes, lines);
        }
        written = Print(output);
    } else {
        for (std::size_t i = 0; i < results.Count() && written; ++i) {
            written = Print(results.Item(i)) && Print("\n");
        }
    }
    return FinishOutput(written);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The output's line breaks are part of the result: no CR may be added before LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const std::span<char*> args(argv + 1, argv + argc);
    if (args.size() == 1 && std::string_view(args.front()) == "--help") {
        return FinishOutput(Print(kUsage));
    }
    Request request;
    if (const std::string problem = ParseRequest(args, request); !problem.empty()) {
        std::cerr << "brackwin-find: " << problem
                  << "\nTry 'brackwin-find --help' for more information.\n";
        return kExitUsage;
    }
    return Run(request);
}
