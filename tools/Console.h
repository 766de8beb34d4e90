#pragma once

#include <string>
#include <string_view>
#include <vector>

// The finder's command line and its standard streams, in UTF-8 on every platform; one
// implementation file per platform.
namespace brackwin {

// The arguments after the program's name. On Windows they are taken from the system's UTF-16
// command line, since argv holds them in the ANSI code page, which has no place for most
// characters.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Write UTF-8 text to the standard output or the standard error, its bytes unchanged; on Windows
// a console gets the text through its wide call instead, so that every character shows. They
// return whether all of it was written.
bool WriteOutput(std::string_view text);
bool WriteError(std::string_view text);

}  // namespace brackwin
