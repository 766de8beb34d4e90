#include <cstdio>

#include "Console.h"

namespace brackwin {

namespace {

bool Write(std::FILE* stream, std::string_view text) {
    return text.empty() || std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

}  // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return {argv + 1, argv + argc};
}

bool WriteOutput(std::string_view text) {
    return Write(stdout, text);
}

bool WriteError(std::string_view text) {
    return Write(stderr, text);
}

}  // namespace brackwin
