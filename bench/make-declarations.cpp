// Writes a synthetic declaration file of a given number of lines, in the mix and length of a
// real one (constants, functions, subs, type blocks, comments, blank lines; CR LF breaks), for
// the load and search benchmarks. The same line count always gives the same file.

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 24> kWords = {
    "Window", "Get",    "Set",   "Message", "Rect",   "Text",    "Class",  "Menu",
    "Handle", "Create", "Close", "Process", "Thread", "File",    "Key",    "Icon",
    "Cursor", "Brush",  "Pen",   "Font",    "Dialog", "Control", "Module", "Memory"};
constexpr std::array<std::string_view, 4> kPrefixes = {"WM_", "SM_", "CS_", "ERROR_"};
constexpr std::array<std::string_view, 4> kLibraries = {"user32", "kernel32", "gdi32", "advapi32"};

class Writer {
  public:
    Writer(std::ostream& out, std::uint64_t lines) : out_(out), left_(lines) {}

    bool Done() const { return left_ == 0; }

    void Line(std::string_view text) {
        if (left_ == 0) {
            return;
        }
        out_ << text << "\r\n";
        --left_;
    }

  private:
    std::ostream& out_;
    std::uint64_t left_;
};

class Generator {
  public:
    explicit Generator(Writer& writer) : writer_(writer) {}

    void Run() {
        writer_.Line("' Synthetic Windows API declarations for benchmarks");
        while (!writer_.Done()) {
            const unsigned kind = Pick(100);
            if (kind < 50) {
                Constant();
            } else if (kind < 64) {
                Function();
            } else if (kind < 68) {
                Sub();
            } else if (kind < 74) {
                TypeBlock();
            } else if (kind < 84) {
                writer_.Line("");
            } else {
                writer_.Line("' " + Name(3));
            }
        }
    }

  private:
    unsigned Pick(unsigned count) { return static_cast<unsigned>(random_() % count); }

    std::string Name(int words) {
        std::string name;
        for (int i = 0; i < words; ++i) {
            name += kWords[Pick(kWords.size())];
        }
        return name;
    }

    std::string Upper(std::string text) {
        for (char& c : text) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
        return text;
    }

    void Constant() {
        writer_.Line((Pick(8) == 0 ? "Global Const " : "Public Const ") +
                     std::string(kPrefixes[Pick(kPrefixes.size())]) + Upper(Name(2)) + "_" +
                     std::to_string(Pick(1000)) + " = &H" + std::to_string(Pick(10000)));
    }

    std::string Library() { return std::string(kLibraries[Pick(kLibraries.size())]); }

    void Function() {
        const std::string name = Name(2);
        writer_.Line("Declare Function " + name + " Lib \"" + Library() + "\" Alias \"" + name +
                     "A\" (ByVal h As Long) As Long");
    }

    void Sub() { writer_.Line("Declare Sub " + Name(2) + " Lib \"" + Library() + "\" ()"); }

    void TypeBlock() {
        writer_.Line("Type " + Upper(Name(1)) + std::to_string(Pick(100)));
        const unsigned members = 2 + Pick(4);
        for (unsigned i = 0; i < members; ++i) {
            writer_.Line("    " + Name(1) + " As Long");
        }
        writer_.Line("End Type");
    }

    Writer& writer_;
    std::mt19937_64 random_{20261207};
};

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t lines = 0;
    if (argc != 3 ||
        std::from_chars(argv[1], argv[1] + std::string_view(argv[1]).size(), lines).ec !=
            std::errc()) {
        std::cerr << "Usage: brackwin-make-declarations LINES OUTPUT\n";
        return 2;
    }
    std::ofstream out(argv[2], std::ios::binary);
    Writer writer(out, lines);
    Generator(writer).Run();
    out.close();
    if (!out) {
        std::cerr << "brackwin-make-declarations: cannot write " << argv[2] << '\n';
        return 1;
    }
    return 0;
}
