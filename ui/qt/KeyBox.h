#pragma once

#include <QBasicTimer>
#include <QString>
#include <QTextLayout>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "KeyText.h"

namespace brackwin {

// The key box Text1: a one-line text box that keeps its text whole but lays out only the part
// around the cursor that can show. A text control lays out its whole text on every change and
// paint, which made a pasted text of a few megabytes stall the window at each cursor blink.
// Screen readers read and edit the whole text through its accessible text interfaces.
class KeyBox final : public QWidget {
    Q_OBJECT

  public:
    explicit KeyBox(QWidget* parent = nullptr);

    QString text() const { return text_.toString(); }
    // Part of the text, without making the whole of it.
    QString mid(int position, int length) const { return text_.mid(position, length); }
    int length() const { return static_cast<int>(text_.size()); }
    void setText(const QString& text);
    void clear() { setText({}); }
    int cursorPosition() const { return cursor_; }
    // Moves the cursor; with select, the selection runs from where it was anchored.
    void setCursorPosition(int position, bool select = false);
    bool hasSelectedText() const { return anchor_ != cursor_; }
    int selectionStart() const { return std::min(anchor_, cursor_); }
    int selectionEnd() const { return std::max(anchor_, cursor_); }
    QString selectedText() const;
    void setSelection(int start, int end);
    void selectAll() { setSelection(0, static_cast<int>(text_.size())); }
    // Replaces the selection, or inserts at the cursor.
    void insert(const QString& text);
    // Replaces the text from start to end; undo takes the change back.
    void replace(int start, int end, const QString& text);
    void undo();
    void redo();

    QSize sizeHint() const override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

  signals:
    // Enter was pressed in the box.
    void returnPressed();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    // The part of the text around the cursor that is laid out: more than the box can show of it
    // however narrow its characters, with the input method's text being composed at the cursor.
    struct Shown {
        int start = 0;
        int end = 0;
        QTextLayout layout;
    };

    QRect TextArea() const;
    // Lays out the part of the text around `around`; the text being composed shows only when
    // that is the cursor.
    void LayOut(Shown& shown, int around) const;
    // Where a text position, or one in the laid-out text, is in the other.
    int LayoutIndex(const Shown& shown, int position) const;
    int TextPosition(const Shown& shown, int index) const;
    // The text position at x in the box.
    int PositionAt(int x) const;
    // Scrolls so that the cursor shows, and as much text as fits.
    void KeepCursorInView();
    // The position one step from `position`, by character or by word, within the shown part
    // around it.
    int Step(int position, bool forward, QTextLayout::CursorMode mode) const;
    void Remove(bool forward, QTextLayout::CursorMode mode);
    void Copy() const;
    void Cut();
    void Paste();
    // One change of the text, as undo and redo take it back and make it again.
    struct Change {
        int position = 0;
        KeyText removed;
        KeyText inserted;
    };
    // Replaces the text from start to end.
    Change Apply(int start, int end, const KeyText& text);
    // Takes the last change from `from` back (or makes it again) and keeps it in `to`.
    void Replay(std::vector<Change>& from, std::vector<Change>& to, bool back);
    void RestartBlink();
    // Tells screen readers of a change of the text.
    void Changed(int position, const KeyText& removed, const KeyText& inserted);

    KeyText text_;
    int cursor_ = 0;
    int anchor_ = 0;
    // The first character at the text area's left edge; kept so the text does not jump.
    int left_ = 0;
    QString preedit_;
    int preeditCursor_ = 0;
    std::vector<Change> undoable_;
    std::vector<Change> redoable_;
    QBasicTimer blink_;
    bool cursorShown_ = false;
};

}  // namespace brackwin
