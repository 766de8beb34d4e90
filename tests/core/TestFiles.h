#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "LineList.h"
#include "UiServices.h"
#include "clsFileLineRead.h"

namespace brackwin::test {

// A folder of its own below the system's temporary folder, removed with the object.
class TempDir {
  public:
    TempDir() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("brackwin-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Writes bytes exactly as given and returns the file's path.
    std::string Write(const std::string& name, std::string_view bytes) const {
        const std::filesystem::path file = path_ / name;
        std::ofstream out(file, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file.string();
    }

  private:
    std::filesystem::path path_;
};

class CountingYield final : public Yield {
  public:
    void DoEvents() override { ++calls; }
    int calls = 0;
};

inline std::vector<std::string> Lines(const LineList& list) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < list.size(); ++i) {
        lines.emplace_back(list[i]);
    }
    return lines;
}

inline std::int32_t ReadInto(const std::string& path, LineList& list) {
    clsFileLineRead reader;
    reader.SetFileName(path);
    NoYield yield;
    return reader.FileLineRead(list, yield);
}

// The line list that reading a file of these bytes gives.
inline LineList ListOf(std::string_view bytes) {
    const TempDir dir;
    LineList list;
    ReadInto(dir.Write("lines.txt", bytes), list);
    return list;
}

inline std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string Fixture(const std::string& name) {
    return (std::filesystem::path(BRACKWIN_CORE_FIXTURES) / name).string();
}

// The twelve-line example file of the search and collection tests, read once.
inline const LineList& ExampleLines() {
    static const LineList lines = [] {
        LineList list;
        ReadInto(Fixture("example.txt"), list);
        return list;
    }();
    return lines;
}

}  // namespace brackwin::test
