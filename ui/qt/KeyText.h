#pragma once

#include <QChar>
#include <QString>
#include <vector>

namespace brackwin {

// The key box's text, kept as pieces of the strings it was set, pasted or typed from. A pasted
// string stays shared with the clipboard and the undo history, so editing it in place would
// copy all of it first: tens of milliseconds for a text of megabytes. Here an edit splits and
// joins pieces, and copies only the few characters it touches.
class KeyText {
  public:
    KeyText() = default;
    // Shares the string.
    explicit KeyText(const QString& text);

    qsizetype size() const { return size_; }
    bool isEmpty() const { return size_ == 0; }
    QChar at(qsizetype position) const;
    // The characters from position on; shares the string they came from when they are all of it.
    QString mid(qsizetype position, qsizetype length) const;
    QString toString() const { return mid(0, size_); }

    // Replaces the characters from start to end with text and returns those it replaced.
    KeyText replace(qsizetype start, qsizetype end, const KeyText& text);

  private:
    struct Piece {
        QString string;
        qsizetype from = 0;
        qsizetype size = 0;
    };

    // The index of the piece that starts at position, splitting the piece that holds it.
    std::size_t SplitAt(qsizetype position);
    // Joins short pieces either side of the pieces from first to last into one, so typing one
    // character after another keeps a single piece.
    void JoinShortPieces(std::size_t first, std::size_t last);

    std::vector<Piece> pieces_;
    qsizetype size_ = 0;
};

}  // namespace brackwin
