// The search of the main window without a window: reads a declaration file, searches it and
// prints the result list, or the output text that collecting every entry gives.

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "APISearch.h"
#include "Collection.h"
#include "Console.h"
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
    "(the list, the collected text or this help) cannot be written; 2 usage error.\n"
    "The output is UTF-8 text, except in a Windows console, which gets it in Unicode\n"
    "so that every character shows. On Windows FILE and KEY may hold any character,\n"
    "not only those of the ANSI code page.\n";

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
std::string ParseRequest(std::span<const std::string> args, Request& request) {
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
        return "unexpected argument " + args[3];
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

// Flushes the output; `written` tells whether every earlier part of it was written.
int FinishOutput(bool written) {
    if (std::fflush(stdout) != 0 || !written) {
        brackwin::WriteError("brackwin-find: cannot write the output\n");
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
        brackwin::WriteError("brackwin-find: " + std::string(error.what()) + '\n');
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
        written = brackwin::WriteOutput(output);
    } else {
        for (std::size_t i = 0; i < results.Count() && written; ++i) {
            written = brackwin::WriteOutput(results.Item(i)) && brackwin::WriteOutput("\n");
        }
    }
    return FinishOutput(written);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = brackwin::CommandLineArguments(argc, argv);
    if (args.size() == 1 && args.front() == "--help") {
        return FinishOutput(brackwin::WriteOutput(kUsage));
    }
    Request request;
    if (const std::string problem = ParseRequest(args, request); !problem.empty()) {
        brackwin::WriteError("brackwin-find: " + problem +
                             "\nTry 'brackwin-find --help' for more information.\n");
        return kExitUsage;
    }
    return Run(request);
}
