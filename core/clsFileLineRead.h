#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "LineList.h"
#include "UiServices.h"

namespace brackwin {

// A declaration file that could not be read; what() reads "PATH: reason".
class FileReadError : public std::runtime_error {
  public:
    FileReadError(std::string path, std::string reason);
    const std::string& path() const noexcept { return path_; }
    const std::string& reason() const noexcept { return reason_; }

  private:
    std::string path_;
    std::string reason_;
};

// Reads a text file into a line list, dropping the file's first line.
class clsFileLineRead {
  public:
    const std::string& FileName() const noexcept { return fileName_; }
    void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }

    // Reads FileName into DataList and returns the number of lines in the file, the dropped
    // first line included. A file of N >= 2 lines replaces DataList with lines 2..N; a file of
    // 0 or 1 lines leaves it untouched. Lines end at CR LF, CR or LF; UTF-8 (with or without
    // its byte-order mark) is taken as it is, UTF-16 with its byte-order mark is decoded, and
    // anything else is decoded from code page 932; each invalid sequence becomes U+FFFD (on
    // Windows, code page 932's converter chooses its own substitute).
    // Calls yield.DoEvents() once per line read, and yield.DoEventsMidway() whenever about a
    // megabyte's work has passed without either (a long line, decoding the text read so far
    // anew when a line turns out not to be UTF-8). Throws FileReadError when the file cannot be
    // opened or is not a regular file (a device, pipe or socket), before any yield and with
    // DataList unchanged, or when it cannot be read; lines stored before a failure part way stay
    // in DataList. Exceptions thrown by the yield pass through unchanged.
    std::int32_t FileLineRead(LineList& DataList, Yield& yield);

  private:
    std::string fileName_;
};

}  // namespace brackwin
