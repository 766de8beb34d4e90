#include "KeyText.h"

#include <algorithm>
#include <iterator>

namespace brackwin {

namespace {

// Pieces shorter than this are joined with their neighbours: copying them costs nothing to
// speak of, and the text stays a few pieces however it was typed.
constexpr qsizetype kShortPiece = 4096;

}  // namespace

KeyText::KeyText(const QString& text) : size_(text.size()) {
    if (!text.isEmpty()) {
        pieces_.push_back({text, 0, text.size()});
    }
}

QChar KeyText::at(qsizetype position) const {
    for (const Piece& piece : pieces_) {
        if (position < piece.size) {
            return piece.string.at(piece.from + position);
        }
        position -= piece.size;
    }
    return {};
}

QString KeyText::mid(qsizetype position, qsizetype length) const {
    position = std::clamp<qsizetype>(position, 0, size_);
    length = std::clamp<qsizetype>(length, 0, size_ - position);
    QString text;
    for (const Piece& piece : pieces_) {
        if (length == 0) {
            break;
        }
        if (position >= piece.size) {
            position -= piece.size;
            continue;
        }
        const qsizetype taken = std::min(piece.size - position, length);
        if (taken == piece.string.size() && text.isEmpty() && taken == length) {
            return piece.string;
        }
        if (text.isEmpty()) {
            text.reserve(length);
        }
        text.append(QStringView(piece.string).mid(piece.from + position, taken));
        position = 0;
        length -= taken;
    }
    return text;
}

KeyText KeyText::replace(qsizetype start, qsizetype end, const KeyText& text) {
    start = std::clamp<qsizetype>(start, 0, size_);
    end = std::clamp<qsizetype>(end, start, size_);
    const std::size_t first = SplitAt(start);
    const std::size_t last = SplitAt(end);
    const auto firstPiece = pieces_.begin() + static_cast<std::ptrdiff_t>(first);
    const auto lastPiece = pieces_.begin() + static_cast<std::ptrdiff_t>(last);
    KeyText removed;
    removed.pieces_.assign(std::make_move_iterator(firstPiece), std::make_move_iterator(lastPiece));
    removed.size_ = end - start;
    const auto inserted = pieces_.erase(firstPiece, lastPiece);
    pieces_.insert(inserted, text.pieces_.begin(), text.pieces_.end());
    size_ += text.size_ - removed.size_;
    JoinShortPieces(first, first + text.pieces_.size());
    return removed;
}

std::size_t KeyText::SplitAt(qsizetype position) {
    std::size_t index = 0;
    for (; index < pieces_.size() && position >= pieces_[index].size; ++index) {
        position -= pieces_[index].size;
    }
    if (index == pieces_.size() || position == 0) {
        return index;
    }
    Piece& piece = pieces_[index];
    Piece after{piece.string, piece.from + position, piece.size - position};
    piece.size = position;
    pieces_.insert(pieces_.begin() + static_cast<std::ptrdiff_t>(index) + 1, std::move(after));
    return index + 1;
}

void KeyText::JoinShortPieces(std::size_t first, std::size_t last) {
    // The pieces either side of the change may be short as well.
    std::size_t index = first > 0 ? first - 1 : 0;
    last = std::min(last + 1, pieces_.size());
    while (index + 1 < last) {
        Piece& piece = pieces_[index];
        const Piece& next = pieces_[index + 1];
        if (piece.size >= kShortPiece || next.size >= kShortPiece) {
            ++index;
            continue;
        }
        QString joined;
        joined.reserve(piece.size + next.size);
        joined.append(QStringView(piece.string).mid(piece.from, piece.size));
        joined.append(QStringView(next.string).mid(next.from, next.size));
        piece = {joined, 0, joined.size()};
        pieces_.erase(pieces_.begin() + static_cast<std::ptrdiff_t>(index) + 1);
        --last;
    }
}

}  // namespace brackwin
