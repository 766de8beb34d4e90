#include "clsFileLineRead.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "Platform.h"
#include "TextDecoding.h"

namespace brackwin {

namespace {

constexpr std::size_t kReadChunk = 1 << 16;
// A large file is read a piece at a time as its lines are reached, so its reading is spread
// over their yields instead of keeping the window from events before the first one. A piece
// lands in fresh memory, which under Wine costs about 4 ms a megabyte.
constexpr std::size_t kReadPiece = std::size_t{1} << 18;
// About a millisecond of reading, scanning or checking: the most work done between two chances
// for the window to process its events.
constexpr std::size_t kStep = std::size_t{1} << 20;
// Decoding a byte costs several times as much as scanning it (and may give three), so text is
// decoded in smaller pieces, each counted as a whole step.
constexpr std::size_t kDecodeStep = std::size_t{1} << 17;
constexpr std::size_t kDecodeCost = kStep / kDecodeStep;
// Room for a character that a piece of raw bytes cuts off at its end.
constexpr std::size_t kCutOffRoom = 4;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

std::string OpenFailureReason(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return "no such file";
        case EACCES:
        case EPERM:
            return "permission denied";
        default:
            return std::strerror(error);
    }
}

// Runs work, reporting running out of memory and the text converter's failures as read errors.
// Work must not yield, so that exceptions from the yield pass through unchanged.
template <typename Work>
auto ReportingFailures(const std::string& path, Work work) {
    try {
        return work();
    } catch (const FileReadError&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw FileReadError(path, "out of memory");
    } catch (const std::runtime_error& error) {
        // The system's text converter is missing or refused the text.
        throw FileReadError(path, error.what());
    }
}

// Gives the window its chances to process events: one per line, and in the middle of a long
// line whenever a step's worth of work has been done since the last chance.
class Pacer {
  public:
    explicit Pacer(Yield& yield) noexcept : yield_(yield) {}

    void LineStarts() {
        work_ = 0;
        yield_.DoEvents();
    }
    void Done(std::size_t work) {
        work_ += work;
        if (work_ >= kStep) {
            work_ = 0;
            yield_.DoEventsMidway();
        }
    }

  private:
    Yield& yield_;
    std::size_t work_ = 0;
};

// Makes room for count more bytes. A large text is moved into its larger buffer a step at a
// time, and the old buffer stays whole until the new one replaces it, as the line list may be
// holding it meanwhile.
void MakeRoom(ByteBuffer& buffer, std::size_t count, Pacer& pacer, const std::string& path) {
    if (buffer.capacity() - buffer.size() >= count) {
        return;
    }
    ByteBuffer grown = ReportingFailures(
        path, [&] { return ByteBuffer(buffer.size() + std::max(count, buffer.size())); });
    for (std::size_t done = 0; done < buffer.size(); done += kStep) {
        grown.Append(buffer.view().substr(done, kStep));
        pacer.Done(kStep);
    }
    buffer = std::move(grown);
}

// Room for the ends of `lines` lines; pages of the room that stay unused are never touched.
std::vector<std::size_t> EndsWithRoom(std::size_t lines, const std::string& path) {
    std::vector<std::size_t> ends;
    ReportingFailures(path, [&] { ends.reserve(lines); });
    AdviseLargeBlock(ends.data(), ends.capacity() * sizeof(std::size_t));
    return ends;
}

// Room for the end of every line of a file of declarations (a few dozen bytes a line), so the
// list seldom grows.
std::vector<std::size_t> ReservedEnds(std::size_t fileSize, const std::string& path) {
    return EndsWithRoom(fileSize / 16 + 1, path);
}

// Moves the ends into twice the room, as MakeRoom moves a text. Seldom needed, so kept out of
// the line loop.
[[gnu::noinline]] void GrowEnds(std::vector<std::size_t>& ends, Pacer& pacer,
                                const std::string& path) {
    std::vector<std::size_t> grown = EndsWithRoom(2 * ends.capacity() + 1, path);
    constexpr std::size_t kEndsStep = kStep / sizeof(std::size_t);
    for (std::size_t done = 0; done < ends.size(); done += kEndsStep) {
        const std::size_t next = std::min(ends.size(), done + kEndsStep);
        grown.insert(grown.end(), ends.begin() + static_cast<std::ptrdiff_t>(done),
                     ends.begin() + static_cast<std::ptrdiff_t>(next));
        pacer.Done(kStep);
    }
    ends = std::move(grown);
}

[[gnu::always_inline]] inline void AppendEnd(std::vector<std::size_t>& ends, std::size_t end,
                                             Pacer& pacer, const std::string& path) {
    if (ends.size() == ends.capacity()) [[unlikely]] {
        GrowEnds(ends, pacer, path);
    }
    ends.push_back(end);
}

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};

class FileReader {
  public:
    explicit FileReader(std::string path) : path_(std::move(path)) {
        const OpenedFile opened = OpenForReading(path_);
        if (opened.isFolder) {
            throw FileReadError(path_, "is a folder");
        }
        if (opened.isSpecial) {
            throw FileReadError(path_, "not a regular file");
        }
        if (opened.file == nullptr) {
            throw FileReadError(path_, OpenFailureReason(opened.error));
        }
        file_.reset(opened.file);
        expected_ = opened.size < std::numeric_limits<std::size_t>::max() / 4
                        ? static_cast<std::size_t>(opened.size)
                        : 0;
    }

    const std::string& path() const noexcept { return path_; }
    // Room for the whole file whose size is known, with one byte more to meet its end.
    std::size_t ExpectedRoom() const noexcept { return std::max(expected_ + 1, kReadChunk); }
    std::size_t ExpectedSize() const noexcept { return expected_; }
    bool Ended() const noexcept { return ended_; }

    // Appends the next piece of the file to bytes; a file that grows meanwhile, or reports no
    // size, is read on in chunks.
    void ReadInto(ByteBuffer& bytes, Pacer& pacer) {
        const std::size_t room =
            expected_ >= read_ ? std::min(kReadPiece, expected_ - read_ + 1) : kReadChunk;
        MakeRoom(bytes, room, pacer, path_);
        const std::size_t read = std::fread(bytes.Extend(room), 1, room, file_.get());
        bytes.Commit(read);
        read_ += read;
        if (read < room) {
            if (std::ferror(file_.get()) != 0) {
                throw FileReadError(path_, std::string("read error: ") + std::strerror(errno));
            }
            ended_ = true;
        }
        pacer.Done(read);
    }

  private:
    std::string path_;
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::size_t expected_ = 0;
    std::size_t read_ = 0;
    bool ended_ = false;
};

// The end of the line that starts at pos: the first CR or LF, or size.
std::size_t LineEnd(const char* data, std::size_t pos, std::size_t size) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
#ifdef __SSE2__
    // Sixteen bytes at a time, which every x86-64 processor can compare at once.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; size - pos >= sizeof(__m128i); pos += sizeof(__m128i)) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + pos));
        const auto breaks = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf))));
        if (breaks != 0) {
            return pos + static_cast<std::size_t>(std::countr_zero(breaks));
        }
    }
#endif
    while (pos < size) {
        const unsigned char c = p[pos];
        if (c == '\r' || c == '\n') {
            return pos;
        }
        ++pos;
    }
    return size;
}

// LineEnd within text, a step at a time. (A line's first step needs no count: the line's
// own yield has just come.)
std::size_t ScanLineEnd(const ByteBuffer& text, std::size_t pos, Pacer& pacer) {
    for (;;) {
        const std::size_t limit = std::min(text.size(), pos + kStep);
        const std::size_t end = LineEnd(text.data(), pos, limit);
        if (end < limit || limit == text.size()) [[likely]] {
            return end;
        }
        pacer.Done(kStep);
        pos = limit;
    }
}

// Where the line after the one that ends at end starts: past its CR LF, CR or LF.
std::size_t NextLineStart(const char* data, std::size_t end, std::size_t size) noexcept {
    if (end == size) {
        return size;
    }
    return end + (data[end] == '\r' && end + 1 < size && data[end + 1] == '\n' ? 2 : 1);
}

enum class Decoding { kNone, kCp932, kUtf8Repair, kUtf16LittleEndian, kUtf16BigEndian };

// Room for the decoded text of a file of fileSize bytes, which decoding makes at most half as
// long again unless most of it is half-width katakana or invalid.
std::size_t DecodedRoom(std::size_t fileSize) {
    return fileSize + fileSize / 2 + 3 * kDecodeStep + kReplacementCharacter.size();
}

// The text decoded anew from the bytes read so far, with the lines found in them again.
struct Redecoded {
    ByteBuffer text;
    std::size_t firstStart = 0;
    std::vector<std::size_t> ends;
    std::size_t next = 0;  // where the line after them starts
};

// The file's text as UTF-8, read and decoded a piece at a time as the lines reach it: the
// file's own bytes while they are UTF-8, otherwise the file decoded from its encoding.
class TextSource {
  public:
    TextSource(FileReader& file, Pacer& pacer) : file_(file), pacer_(pacer) {
        ReportingFailures(file_.path(), [&] { firstText_.Reserve(file_.ExpectedRoom()); });
        while (firstText_.size() < kUtf8Mark.size() && !file_.Ended()) {
            file_.ReadInto(firstText_, pacer_);
        }
        const std::string_view head = firstText_.view();
        if (head.starts_with(kUtf16LittleEndianMark)) {
            StartDecoding(Decoding::kUtf16LittleEndian, kUtf16LittleEndianMark.size());
        } else if (head.starts_with(kUtf16BigEndianMark)) {
            StartDecoding(Decoding::kUtf16BigEndian, kUtf16BigEndianMark.size());
        } else if (head.starts_with(kUtf8Mark)) {
            marked_ = true;
            start_ = kUtf8Mark.size();
        }
    }

    ByteBuffer& text() noexcept { return *text_; }
    // Where the first line starts.
    std::size_t start() const noexcept { return start_; }
    // Whether the text is the file's own bytes, which are UTF-8 as long as every line is.
    bool TakenAsUtf8() const noexcept { return decoding_ == Decoding::kNone; }

    // Moves the text into the line list, which holds it from then on.
    void MoveInto(ByteBuffer& list) {
        list = std::move(*text_);
        text_ = &list;
    }

    // Appends more text; false at the end of the file.
    bool More() {
        const std::size_t before = text_->size();
        while (text_->size() == before) {
            if (decoding_ != Decoding::kNone) {
                if (!DecodeMore()) {
                    return false;
                }
            } else if (file_.Ended()) {
                return false;
            } else {
                file_.ReadInto(*text_, pacer_);
            }
        }
        return true;
    }

    // The end of the line that starts at pos, with the byte after a CR there too if the file
    // has one.
    std::size_t FindLineEnd(std::size_t pos) {
        const char* data = text_->data();
        const std::size_t size = text_->size();
        const std::size_t limit = std::min(size, pos + kStep);
        const std::size_t end = LineEnd(data, pos, limit);
        if (end < limit && (end + 1 < size || data[end] == '\n')) [[likely]] {
            return end;
        }
        return FindLineEndFurther(end);
    }

    Utf8Kind Classify(std::size_t pos, std::size_t end) {
        // Declaration files are mostly ASCII: a run of it is found a step at a time, and the
        // lines within it need no check of their own.
        if (end <= asciiEnd_) [[likely]] {
            return Utf8Kind::kAscii;
        }
        if (pos >= asciiEnd_) {
            const std::size_t limit = std::min(text_->size(), pos + kStep);
            asciiEnd_ = pos + AsciiPrefixLength({text_->data() + pos, limit - pos});
            pacer_.Done(asciiEnd_ - pos);
            if (end <= asciiEnd_) {
                return Utf8Kind::kAscii;
            }
        }
        if (end - pos <= kStep) [[likely]] {
            return ClassifyUtf8({text_->data() + pos, end - pos});
        }
        return ClassifyInSteps(pos, end);
    }

    // The text turned out not to be UTF-8: from now on it is decoded, and the text read so far
    // is decoded anew with its first `lines` lines found again in it.
    Redecoded DecodeAgain(std::int32_t lines) {
        const Decoding decoding = marked_ ? Decoding::kUtf8Repair : Decoding::kCp932;
        Redecoded again;
        again.text = NewBuffer(DecodedRoom(file_.ExpectedSize()));
        std::string_view old = text_->view().substr(start_);
        while (!old.empty()) {
            const std::string_view piece = old.substr(0, kDecodeStep);
            const std::size_t taken =
                Decode(decoding, piece, file_.Ended() && piece.size() == old.size(), again.text);
            if (taken == 0) {
                break;
            }
            old.remove_prefix(taken);
        }
        raw_ = NewBuffer(kReadPiece + kCutOffRoom);
        raw_.Append(old);
        rawPos_ = 0;
        decoding_ = decoding;
        start_ = 0;
        asciiEnd_ = 0;

        if (lines >= 2) {
            again.ends = ReservedEnds(file_.ExpectedSize(), file_.path());
        }
        std::size_t pos = 0;
        for (std::int32_t line = 0; line < lines; ++line) {
            const std::size_t end = ScanLineEnd(again.text, pos, pacer_);
            if (line == 1) {
                again.firstStart = pos;
            }
            if (line >= 1) {
                AppendEnd(again.ends, end, pacer_, file_.path());
            }
            const std::size_t next = NextLineStart(again.text.data(), end, again.text.size());
            pacer_.Done(next - pos);
            pos = next;
        }
        again.next = pos;
        return again;
    }

  private:
    // FindLineEnd for a line that goes on past a step or past the text read so far, from
    // pos on.
    std::size_t FindLineEndFurther(std::size_t pos) {
        for (;;) {
            const std::size_t end = ScanLineEnd(*text_, pos, pacer_);
            if (end < text_->size()) {
                // The CR may be the first half of a CR LF.
                if (text_->data()[end] == '\r' && end + 1 == text_->size()) {
                    More();
                }
                return end;
            }
            if (!More()) {
                return end;
            }
            pos = end;
        }
    }

    Utf8Kind ClassifyInSteps(std::size_t pos, std::size_t end) {
        const char* data = text_->data();
        Utf8Kind kind = Utf8Kind::kAscii;
        while (pos != end && kind != Utf8Kind::kInvalid) {
            std::size_t cut = end;
            if (end - pos > kStep) {
                // A step ends where a character starts, unless more continuation bytes than a
                // character holds make the text invalid anyway.
                cut = pos + kStep;
                for (int back = 0;
                     back < 3 && (static_cast<unsigned char>(data[cut]) & 0xC0) == 0x80; ++back) {
                    --cut;
                }
            }
            kind = std::max(kind, ClassifyUtf8({data + pos, cut - pos}));
            pacer_.Done(cut - pos);
            pos = cut;
        }
        return kind;
    }

    ByteBuffer NewBuffer(std::size_t capacity) {
        return ReportingFailures(file_.path(), [&] { return ByteBuffer(capacity); });
    }

    // A byte-order mark of `mark` bytes chose the decoding: the bytes after it are raw bytes, and
    // the text is what is decoded from them.
    void StartDecoding(Decoding decoding, std::size_t mark) {
        decoding_ = decoding;
        raw_ = NewBuffer(kReadPiece + kCutOffRoom);
        raw_.Append(firstText_.view().substr(mark));
        firstText_ = NewBuffer(DecodedRoom(file_.ExpectedSize()));
    }

    std::size_t Decode(Decoding decoding, std::string_view piece, bool last, ByteBuffer& out) {
        MakeRoom(out, 3 * piece.size() + kReplacementCharacter.size(), pacer_, file_.path());
        const std::size_t taken = ReportingFailures(file_.path(), [&] {
            switch (decoding) {
                case Decoding::kCp932:
                    return DecodeCp932(piece, last, out);
                case Decoding::kUtf8Repair:
                    return RepairUtf8(piece, last, out);
                case Decoding::kUtf16LittleEndian:
                    return DecodeUtf16(piece, std::endian::little, last, out);
                case Decoding::kUtf16BigEndian:
                    return DecodeUtf16(piece, std::endian::big, last, out);
                case Decoding::kNone:
                    break;
            }
            return std::size_t{0};
        });
        pacer_.Done(piece.size() * kDecodeCost);
        return taken;
    }

    // Decodes the next piece of raw bytes, reading them from the file as needed; false when
    // everything is decoded.
    bool DecodeMore() {
        const std::string_view rest = raw_.view().substr(rawPos_);
        if (rest.empty() && file_.Ended()) {
            return false;
        }
        const std::string_view piece = rest.substr(0, kDecodeStep);
        const std::size_t taken =
            piece.empty()
                ? 0
                : Decode(decoding_, piece, file_.Ended() && piece.size() == rest.size(), *text_);
        rawPos_ += taken;
        if (taken == 0 || rawPos_ == raw_.size()) {
            // What is left, if anything, is a character cut off by the end of the bytes read.
            const std::string cutOff(raw_.view().substr(rawPos_));
            raw_.Clear();
            raw_.Append(cutOff);
            rawPos_ = 0;
            if (!file_.Ended()) {
                file_.ReadInto(raw_, pacer_);
            }
        }
        return true;
    }

    FileReader& file_;
    Pacer& pacer_;
    ByteBuffer firstText_;
    // The text so far: firstText_, or the line list's own from its second line on.
    ByteBuffer* text_ = &firstText_;
    std::size_t start_ = 0;
    // The text before this offset is ASCII.
    std::size_t asciiEnd_ = 0;
    bool marked_ = false;
    Decoding decoding_ = Decoding::kNone;
    // What is read but not yet decoded is raw_ from rawPos_ on.
    ByteBuffer raw_;
    std::size_t rawPos_ = 0;
};

}  // namespace

FileReadError::FileReadError(std::string path, std::string reason)
    : std::runtime_error(path + ": " + reason),
      path_(std::move(path)),
      reason_(std::move(reason)) {}

std::int32_t clsFileLineRead::FileLineRead(LineList& DataList, Yield& yield) {
    FileReader file(fileName_);
    const std::string& path = file.path();
    Pacer pacer(yield);
    TextSource source(file, pacer);
    bool ascii = true;
    std::size_t pos = source.start();
    std::int32_t count = 0;
    for (;;) {
        while (pos == source.text().size()) {
            if (!source.More()) {
                return count;
            }
        }
        if (count == std::numeric_limits<std::int32_t>::max()) {
            throw FileReadError(path, "too many lines for a 32-bit count");
        }
        pacer.LineStarts();
        std::size_t end = source.FindLineEnd(pos);
        Utf8Kind kind = source.Classify(pos, end);
        if (kind == Utf8Kind::kInvalid && source.TakenAsUtf8()) {
            // Not UTF-8 after all. The lines stored so far keep whether they are ASCII: decoding
            // changes no ASCII line and leaves no other one ASCII.
            Redecoded again = source.DecodeAgain(count);
            source.text() = std::move(again.text);
            if (count >= 2) {
                DataList.firstStart_ = again.firstStart;
                DataList.ends_ = std::move(again.ends);
            }
            pos = again.next;
            end = source.FindLineEnd(pos);
            kind = source.Classify(pos, end);
        }
        if (count == 1) {
            // The second line replaces whatever the list held; the text moves, its bytes stay.
            std::vector<std::size_t> ends = ReservedEnds(file.ExpectedSize(), path);
            source.MoveInto(DataList.text_);
            DataList.firstStart_ = pos;
            DataList.ends_ = std::move(ends);
        }
        if (count >= 1) {
            AppendEnd(DataList.ends_, end, pacer, path);
            ascii = ascii && kind == Utf8Kind::kAscii;
            DataList.ascii_ = ascii;
        }
        pos = NextLineStart(source.text().data(), end, source.text().size());
        ++count;
    }
}

}  // namespace brackwin
