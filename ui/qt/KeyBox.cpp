#include "KeyBox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFrame>
#include <QTextBoundaryFinder>

#include "AccessibleFactory.h"

namespace brackwin {

namespace {

// The margins a line edit keeps inside its frame.
constexpr int kHorizontalMargin = 2;
constexpr int kVerticalMargin = 1;
// Input methods see this many characters either side of the cursor.
constexpr int kSurroundingText = 256;

// What a line box draws for characters that break or control lines: a space, which keeps every
// position where it is.
QString Drawable(QString text) {
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
            c = QLatin1Char(' ');
        }
    }
    return text;
}

// The key box as screen readers see it: an editable text with the whole key.
class KeyBoxAccessible final : public QAccessibleWidget,
                               public QAccessibleTextInterface,
                               public QAccessibleEditableTextInterface {
  public:
    explicit KeyBoxAccessible(KeyBox* box) : QAccessibleWidget(box, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        if (type == QAccessible::EditableTextInterface) {
            return static_cast<QAccessibleEditableTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.focusable = true;
        return state;
    }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? Box()->text() : QAccessibleWidget::text(kind);
    }

    void selection(int index, int* start, int* end) const override {
        *start = index == 0 && Box()->hasSelectedText() ? Box()->selectionStart() : 0;
        *end = index == 0 && Box()->hasSelectedText() ? Box()->selectionEnd() : 0;
    }
    int selectionCount() const override { return Box()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { Box()->setSelection(start, end); }
    void removeSelection(int index) override {
        if (index == 0) {
            Box()->setCursorPosition(Box()->cursorPosition());
        }
    }
    void setSelection(int index, int start, int end) override {
        if (index == 0) {
            Box()->setSelection(start, end);
        }
    }
    int cursorPosition() const override { return Box()->cursorPosition(); }
    void setCursorPosition(int position) override { Box()->setCursorPosition(position); }
    QString text(int start, int end) const override {
        return Box()->mid(start, std::max(end - start, 0));
    }
    int characterCount() const override { return Box()->length(); }
    QRect characterRect(int) const override {
        const QRect cursor = Box()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        return QRect(Box()->mapToGlobal(cursor.topLeft()), cursor.size());
    }
    int offsetAtPoint(const QPoint&) const override { return Box()->cursorPosition(); }
    void scrollToSubstring(int start, int) override { Box()->setCursorPosition(start); }
    QString attributes(int offset, int* start, int* end) const override {
        *start = offset;
        *end = offset;
        return {};
    }

    void deleteText(int start, int end) override { Box()->replace(start, end, {}); }
    void insertText(int offset, const QString& text) override {
        Box()->replace(offset, offset, text);
    }
    void replaceText(int start, int end, const QString& text) override {
        Box()->replace(start, end, text);
    }

  private:
    KeyBox* Box() const { return static_cast<KeyBox*>(widget()); }
};

}  // namespace

KeyBox::KeyBox(QWidget* parent) : QWidget(parent) {
    QAccessible::installFactory(MakeAccessible<KeyBox, KeyBoxAccessible>);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_KeyCompression);
    setCursor(Qt::IBeamCursor);
    setBackgroundRole(QPalette::Base);
}

void KeyBox::setText(const QString& text) {
    Apply(0, static_cast<int>(text_.size()), KeyText(text));
    undoable_.clear();
    redoable_.clear();
}

void KeyBox::setCursorPosition(int position, bool select) {
    cursor_ = std::clamp(position, 0, static_cast<int>(text_.size()));
    if (!select) {
        anchor_ = cursor_;
    }
    RestartBlink();
    KeepCursorInView();
    QAccessibleTextCursorEvent moved(this, cursor_);
    QAccessible::updateAccessibility(&moved);
    if (select) {
        QAccessibleTextSelectionEvent selected(this, selectionStart(), selectionEnd());
        QAccessible::updateAccessibility(&selected);
    }
}

QString KeyBox::selectedText() const {
    return text_.mid(selectionStart(), selectionEnd() - selectionStart());
}

void KeyBox::setSelection(int start, int end) {
    anchor_ = std::clamp(start, 0, static_cast<int>(text_.size()));
    setCursorPosition(end, true);
}

void KeyBox::insert(const QString& text) {
    replace(selectionStart(), selectionEnd(), text);
}

void KeyBox::replace(int start, int end, const QString& text) {
    undoable_.push_back(Apply(start, end, KeyText(text)));
    redoable_.clear();
}

void KeyBox::undo() {
    Replay(undoable_, redoable_, true);
}

void KeyBox::redo() {
    Replay(redoable_, undoable_, false);
}

void KeyBox::Replay(std::vector<Change>& from, std::vector<Change>& to, bool back) {
    if (from.empty()) {
        return;
    }
    Change change = std::move(from.back());
    from.pop_back();
    const KeyText& present = back ? change.inserted : change.removed;
    Apply(change.position, change.position + static_cast<int>(present.size()),
          back ? change.removed : change.inserted);
    to.push_back(std::move(change));
}

KeyBox::Change KeyBox::Apply(int start, int end, const KeyText& text) {
    const int size = static_cast<int>(text_.size());
    start = std::clamp(start, 0, size);
    end = std::clamp(end, start, size);
    Change change{start, text_.replace(start, end, text), text};
    anchor_ = start + static_cast<int>(text.size());
    if (QAccessible::isActive()) {
        Changed(start, change.removed, text);
    }
    setCursorPosition(anchor_);
    return change;
}

QSize KeyBox::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    QStyleOptionFrame option;
    option.initFrom(this);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option,
                                     QSize(metrics.averageCharWidth() * 17 + 2 * kHorizontalMargin,
                                           metrics.height() + 2 * kVerticalMargin),
                                     this);
}

QVariant KeyBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    const int from = std::max(cursor_ - kSurroundingText, 0);
    const int to = std::min(cursor_ + kSurroundingText, static_cast<int>(text_.size()));
    switch (query) {
        case Qt::ImEnabled:
            return true;
        case Qt::ImCursorRectangle: {
            Shown shown;
            LayOut(shown, cursor_);
            const QRect area = TextArea();
            const QTextLine line = shown.layout.lineAt(0);
            const qreal x = line.cursorToX(LayoutIndex(shown, cursor_)) -
                            line.cursorToX(LayoutIndex(shown, left_));
            return QRect(area.left() + qRound(x), area.top(), 1, area.height());
        }
        case Qt::ImFont:
            return font();
        case Qt::ImCursorPosition:
            return cursor_ - from;
        case Qt::ImAnchorPosition:
            return std::clamp(anchor_, from, to) - from;
        case Qt::ImSurroundingText:
            return text_.mid(from, to - from);
        case Qt::ImCurrentSelection: {
            // The part within the surrounding text: input methods may ask for it at any change,
            // and a whole selection of megabytes would be copied each time.
            const int start = std::clamp(selectionStart(), from, to);
            return text_.mid(start, std::clamp(selectionEnd(), from, to) - start);
        }
        case Qt::ImHints:
            return static_cast<int>(inputMethodHints());
        default:
            return QWidget::inputMethodQuery(query);
    }
}

void KeyBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
    frame.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &painter, this);

    const QRect area = TextArea();
    painter.setClipRect(area);
    // The frame's options carry the palette's colours for the box's state, disabled among them.
    painter.setPen(frame.palette.color(QPalette::Text));
    Shown shown;
    LayOut(shown, cursor_);
    QList<QTextLayout::FormatRange> formats;
    if (hasSelectedText()) {
        const int start = LayoutIndex(shown, std::max(selectionStart(), shown.start));
        const int end = LayoutIndex(shown, std::min(selectionEnd(), shown.end));
        if (start < end) {
            QTextLayout::FormatRange selected;
            selected.start = start;
            selected.length = end - start;
            selected.format.setBackground(frame.palette.brush(QPalette::Highlight));
            selected.format.setForeground(frame.palette.brush(QPalette::HighlightedText));
            formats.append(selected);
        }
    }
    const QTextLine line = shown.layout.lineAt(0);
    const QPointF origin(area.left() - line.cursorToX(LayoutIndex(shown, left_)),
                         area.top() + (area.height() - line.height()) / 2);
    shown.layout.draw(&painter, origin, formats);
    if (hasFocus() && cursorShown_) {
        shown.layout.drawCursor(&painter, origin, LayoutIndex(shown, cursor_) + preeditCursor_);
    }
}

void KeyBox::keyPressEvent(QKeyEvent* event) {
    const int end = static_cast<int>(text_.size());
    using Mode = QTextLayout::CursorMode;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit returnPressed();
        event->ignore();
    } else if (event == QKeySequence::Undo) {
        undo();
    } else if (event == QKeySequence::Redo) {
        redo();
    } else if (event == QKeySequence::SelectAll) {
        selectAll();
    } else if (event == QKeySequence::Copy) {
        Copy();
    } else if (event == QKeySequence::Cut) {
        Cut();
    } else if (event == QKeySequence::Paste) {
        Paste();
    } else if (event == QKeySequence::MoveToNextChar || event == QKeySequence::MoveToPreviousChar) {
        const bool forward = event == QKeySequence::MoveToNextChar;
        setCursorPosition(hasSelectedText() ? (forward ? selectionEnd() : selectionStart())
                                            : Step(cursor_, forward, Mode::SkipCharacters));
    } else if (event == QKeySequence::SelectNextChar || event == QKeySequence::SelectPreviousChar) {
        setCursorPosition(
            Step(cursor_, event == QKeySequence::SelectNextChar, Mode::SkipCharacters), true);
    } else if (event == QKeySequence::MoveToNextWord || event == QKeySequence::SelectNextWord) {
        setCursorPosition(Step(cursor_, true, Mode::SkipWords),
                          event == QKeySequence::SelectNextWord);
    } else if (event == QKeySequence::MoveToPreviousWord ||
               event == QKeySequence::SelectPreviousWord) {
        setCursorPosition(Step(cursor_, false, Mode::SkipWords),
                          event == QKeySequence::SelectPreviousWord);
    } else if (event == QKeySequence::MoveToStartOfLine ||
               event == QKeySequence::MoveToStartOfBlock ||
               event == QKeySequence::MoveToStartOfDocument) {
        setCursorPosition(0);
    } else if (event == QKeySequence::MoveToEndOfLine || event == QKeySequence::MoveToEndOfBlock ||
               event == QKeySequence::MoveToEndOfDocument) {
        setCursorPosition(end);
    } else if (event == QKeySequence::SelectStartOfLine ||
               event == QKeySequence::SelectStartOfBlock ||
               event == QKeySequence::SelectStartOfDocument) {
        setCursorPosition(0, true);
    } else if (event == QKeySequence::SelectEndOfLine || event == QKeySequence::SelectEndOfBlock ||
               event == QKeySequence::SelectEndOfDocument) {
        setCursorPosition(end, true);
    } else if (event == QKeySequence::DeleteStartOfWord) {
        Remove(false, Mode::SkipWords);
    } else if (event == QKeySequence::DeleteEndOfWord) {
        Remove(true, Mode::SkipWords);
    } else if (event == QKeySequence::Delete) {
        Remove(true, Mode::SkipCharacters);
    } else if (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier)) {
        Remove(false, Mode::SkipCharacters);
    } else if (const QString typed = event->text();
               !typed.isEmpty() && typed.front().isPrint() &&
               !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
        insert(typed);
    } else {
        event->ignore();
        return;
    }
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        event->accept();
    }
}

void KeyBox::inputMethodEvent(QInputMethodEvent* event) {
    const bool composes = !event->commitString().isEmpty() || !event->preeditString().isEmpty() ||
                          event->replacementLength() > 0;
    if (composes && hasSelectedText()) {
        insert({});
    }
    if (!event->commitString().isEmpty() || event->replacementLength() > 0) {
        const int from = cursor_ + event->replacementStart();
        replace(from, from + event->replacementLength(), event->commitString());
    }
    preedit_ = event->preeditString();
    preeditCursor_ = static_cast<int>(preedit_.size());
    for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor) {
            preeditCursor_ = std::clamp(attribute.start, 0, static_cast<int>(preedit_.size()));
        }
    }
    KeepCursorInView();
    updateMicroFocus();
    event->accept();
}

void KeyBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setCursorPosition(PositionAt(qRound(event->position().x())),
                      event->modifiers().testFlag(Qt::ShiftModifier));
}

void KeyBox::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons().testFlag(Qt::LeftButton)) {
        setCursorPosition(PositionAt(qRound(event->position().x())), true);
    }
}

void KeyBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int at = PositionAt(qRound(event->position().x()));
    Shown shown;
    LayOut(shown, at);
    const QString laidOut = shown.layout.text();
    QTextBoundaryFinder words(QTextBoundaryFinder::Word, laidOut);
    words.setPosition(LayoutIndex(shown, at));
    const qsizetype end =
        words.isAtBoundary() && at == shown.end ? words.position() : words.toNextBoundary();
    words.setPosition(LayoutIndex(shown, at));
    const qsizetype start = words.isAtBoundary() ? words.position() : words.toPreviousBoundary();
    setSelection(TextPosition(shown, static_cast<int>(std::max<qsizetype>(start, 0))),
                 TextPosition(shown, static_cast<int>(std::max<qsizetype>(end, start))));
}

void KeyBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu;
    const auto command = [&](const QString& text, QKeySequence::StandardKey key, bool enabled,
                             auto action) {
        QAction* added = menu.addAction(text);
        added->setShortcut(key);
        added->setEnabled(enabled);
        connect(added, &QAction::triggered, this, action);
    };
    // The texts of a line edit's menu, so Qt's catalogue gives them in the window's language.
    const auto text = [](const char* source) {
        return QCoreApplication::translate("QLineEdit", source);
    };
    command(text("&Undo"), QKeySequence::Undo, !undoable_.empty(), [this] { undo(); });
    command(text("&Redo"), QKeySequence::Redo, !redoable_.empty(), [this] { redo(); });
    menu.addSeparator();
    command(text("Cu&t"), QKeySequence::Cut, hasSelectedText(), [this] { Cut(); });
    command(text("&Copy"), QKeySequence::Copy, hasSelectedText(), [this] { Copy(); });
    command(text("&Paste"), QKeySequence::Paste, true, [this] { Paste(); });
    command(text("Delete"), QKeySequence::Delete, hasSelectedText(), [this] { insert({}); });
    menu.addSeparator();
    command(text("Select All"), QKeySequence::SelectAll, !text_.isEmpty(), [this] { selectAll(); });
    menu.exec(event->globalPos());
}

void KeyBox::focusInEvent(QFocusEvent* event) {
    RestartBlink();
    QWidget::focusInEvent(event);
    update();
}

void KeyBox::focusOutEvent(QFocusEvent* event) {
    blink_.stop();
    cursorShown_ = false;
    QWidget::focusOutEvent(event);
    update();
}

void KeyBox::timerEvent(QTimerEvent* event) {
    if (event->timerId() != blink_.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    cursorShown_ = !cursorShown_;
    update();
}

QRect KeyBox::TextArea() const {
    QStyleOptionFrame option;
    option.initFrom(this);
    option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &option, this)
        .adjusted(kHorizontalMargin, kVerticalMargin, -kHorizontalMargin, -kVerticalMargin);
}

void KeyBox::LayOut(Shown& shown, int around) const {
    // No character is narrower than a pixel, so more than twice the width either side of the
    // cursor covers whatever the scrolling keeps in sight.
    const int reach = 2 * std::max(width(), 0) + 64;
    const int size = static_cast<int>(text_.size());
    shown.start = std::max(around - reach, 0);
    shown.end = std::min(around + reach, size);
    if (shown.start > 0 && text_.at(shown.start).isLowSurrogate()) {
        --shown.start;
    }
    if (shown.end < size && text_.at(shown.end).isLowSurrogate()) {
        ++shown.end;
    }
    QString laidOut = text_.mid(shown.start, shown.end - shown.start);
    QList<QTextLayout::FormatRange> formats;
    if (around == cursor_ && !preedit_.isEmpty()) {
        laidOut.insert(cursor_ - shown.start, preedit_);
        QTextLayout::FormatRange composing;
        composing.start = cursor_ - shown.start;
        composing.length = static_cast<int>(preedit_.size());
        composing.format.setFontUnderline(true);
        formats.append(composing);
    }
    shown.layout.setText(Drawable(laidOut));
    shown.layout.setFont(font());
    shown.layout.setFormats(formats);
    shown.layout.setCacheEnabled(true);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    shown.layout.setTextOption(option);
    shown.layout.beginLayout();
    shown.layout.createLine();
    shown.layout.endLayout();
}

int KeyBox::LayoutIndex(const Shown& shown, int position) const {
    const int index = std::clamp(position, shown.start, shown.end) - shown.start;
    const bool composing =
        !preedit_.isEmpty() && shown.layout.text().size() != shown.end - shown.start;
    return composing && position > cursor_ ? index + static_cast<int>(preedit_.size()) : index;
}

int KeyBox::TextPosition(const Shown& shown, int index) const {
    const int preedit = static_cast<int>(shown.layout.text().size()) - (shown.end - shown.start);
    const int atCursor = cursor_ - shown.start;
    if (preedit > 0 && index > atCursor) {
        index = std::max(index - preedit, atCursor);
    }
    return shown.start + index;
}

int KeyBox::PositionAt(int x) const {
    Shown shown;
    LayOut(shown, cursor_);
    const QTextLine line = shown.layout.lineAt(0);
    const qreal left = line.cursorToX(LayoutIndex(shown, left_));
    return TextPosition(shown, line.xToCursor(left + x - TextArea().left()));
}

int KeyBox::Step(int position, bool forward, QTextLayout::CursorMode mode) const {
    Shown shown;
    LayOut(shown, position);
    const int index = LayoutIndex(shown, position);
    return TextPosition(shown, forward ? shown.layout.nextCursorPosition(index, mode)
                                       : shown.layout.previousCursorPosition(index, mode));
}

void KeyBox::KeepCursorInView() {
    Shown shown;
    LayOut(shown, cursor_);
    const QTextLine line = shown.layout.lineAt(0);
    const qreal width = TextArea().width() - 1;
    left_ = std::clamp(left_, shown.start, cursor_);
    const qreal leftX = line.cursorToX(LayoutIndex(shown, left_));
    const qreal cursorX = line.cursorToX(LayoutIndex(shown, cursor_) + preeditCursor_);
    const qreal endX = line.cursorToX(static_cast<int>(shown.layout.text().size()));
    // The cursor past the right edge comes to it; room after the text's end shows more of what
    // comes before.
    qreal wantedX = leftX;
    if (cursorX - leftX > width) {
        wantedX = cursorX - width;
    } else if (endX - leftX < width) {
        wantedX = std::max(endX - width, 0.0);
    }
    if (wantedX != leftX) {
        int index = line.xToCursor(wantedX, QTextLine::CursorBetweenCharacters);
        if (line.cursorToX(index) < wantedX) {
            index = shown.layout.nextCursorPosition(index);
        }
        left_ = std::min(TextPosition(shown, index), cursor_);
    }
    update();
}

void KeyBox::Remove(bool forward, QTextLayout::CursorMode mode) {
    if (hasSelectedText()) {
        insert({});
        return;
    }
    const int other = Step(cursor_, forward, mode);
    replace(std::min(cursor_, other), std::max(cursor_, other), {});
}

void KeyBox::Copy() const {
    if (hasSelectedText()) {
        QGuiApplication::clipboard()->setText(selectedText());
    }
}

void KeyBox::Cut() {
    Copy();
    insert({});
}

void KeyBox::Paste() {
    insert(QGuiApplication::clipboard()->text());
}

void KeyBox::RestartBlink() {
    cursorShown_ = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flash > 0) {
        blink_.start(flash / 2, this);
    } else {
        blink_.stop();
    }
}

void KeyBox::Changed(int position, const KeyText& removed, const KeyText& inserted) {
    if (!removed.isEmpty()) {
        QAccessibleTextRemoveEvent gone(this, position, removed.toString());
        QAccessible::updateAccessibility(&gone);
    }
    if (!inserted.isEmpty()) {
        QAccessibleTextInsertEvent added(this, position, inserted.toString());
        QAccessible::updateAccessibility(&added);
    }
}

}  // namespace brackwin
