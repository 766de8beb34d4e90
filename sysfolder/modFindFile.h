#pragma once

#include <string>

namespace brackwin::modFindFile {

// Returns the path with "\" appended unless its last character already is "\"; the empty path
// gives "\". Only the last character is looked at, and the file system is not touched.
std::string AddBackslash(std::string path);

}  // namespace brackwin::modFindFile
