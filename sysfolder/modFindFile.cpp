#include "modFindFile.h"

namespace brackwin::modFindFile {

std::string AddBackslash(std::string path) {
    if (path.empty() || path.back() != '\\') {
        path += '\\';
    }
    return path;
}

}  // namespace brackwin::modFindFile
