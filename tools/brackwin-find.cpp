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

constexpr int kExitCannotRead = 1;
constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    "Usage: brackwin-find [--collect] FILE CATEGORY [KEY]\n"
    "       brackwin-find --help\n"
    "Reads the declaration file FILE and prints the lines of CATEGORY (1 constants,\n"
    "2 functions, 3 types; any other number lists nothing) that contain KEY, one per\n"
    "line in ascending order; the search and the order ignore letter case.\n"
    "  --collect  print instead the output text that adding every listed line gives\n"
    "  --help     print this help\n"
    "Exit status: 0 success (also with no match), 1 FILE cannot be read, 2 usage error.\n";

struct Request {
    bool collect = false;
    std::string file;
    std::int32_t category = 0;
    std::string key;
};

bool ParseCategory(std::string_view text, std::int32_t& category) {
    const char* end = text.data() + text.size();
    const auto [next, error] = std::from_chars(text.data(), end, category);
    return error == std::errc() && next == end;
}

bool ParseRequest(std::span<char*> args, Request& request) {
    if (!args.empty() && std::string_view(args.front()) == "--collect") {
        request.collect = true;
        args = args.subspan(1);
    }
    if (args.size() < 2 || args.size() > 3 || !ParseCategory(args[1], request.category)) {
        return false;
    }
    request.file = args[0];
    if (args.size() == 3) {
        request.key = args[2];
    }
    return true;
}

bool Print(std::string_view text) {
    return text.empty() || std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
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
        return kExitCannotRead;
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
    if (std::fflush(stdout) != 0 || !written) {
        std::cerr << "brackwin-find: cannot write the output\n";
        return kExitCannotRead;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The output's line breaks are part of the result: no CR may be added before LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const std::span<char*> args(argv + 1, argv + argc);
    if (args.size() == 1 && std::string_view(args.front()) == "--help") {
        std::cout << kUsage;
        return 0;
    }
    Request request;
    if (!ParseRequest(args, request)) {
        std::cerr << kUsage;
        return kExitUsage;
    }
    return Run(request);
}
