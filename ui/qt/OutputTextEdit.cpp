#include "OutputTextEdit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTextBlock>
#include <QTextCursor>
#include <memory>

namespace brackwin {

std::pair<ShownPosition, ShownPosition> OutputTextEdit::Selection() const {
    const QTextCursor cursor = textCursor();
    return {PositionAt(cursor.selectionStart()), PositionAt(cursor.selectionEnd())};
}

void OutputTextEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        emit CopyRequested();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void OutputTextEdit::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    // The standard menu names its commands after their icons.
    if (auto* copy = menu->findChild<QAction*>(QStringLiteral("edit-copy"))) {
        disconnect(copy, &QAction::triggered, nullptr, nullptr);
        connect(copy, &QAction::triggered, this, &OutputTextEdit::CopyRequested);
    }
    menu->exec(event->globalPos());
}

ShownPosition OutputTextEdit::PositionAt(int position) const {
    const QTextBlock block = document()->findBlock(position);
    return {static_cast<std::size_t>(block.blockNumber()),
            static_cast<std::size_t>(position - block.position())};
}

}  // namespace brackwin
