#include "OutputTextEdit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <memory>
#include <new>

#include "AppIdentity.h"
#include "Form1.h"
#include "UserInterfaceServices.h"
#include "Utf8Text.h"

namespace brackwin {

OutputTextEdit::OutputTextEdit(const OutputText& output, QWidget* parent)
    : QPlainTextEdit(parent), output_(output) {}

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

QMimeData* OutputTextEdit::createMimeDataFromSelection() const {
    // A drag needs its data even when there is none to give.
    auto* data = new QMimeData;
    const auto [from, to] = Selection();
    try {
        data->setText(FromUtf8(output_.RealText(from, to)));
    } catch (const std::bad_alloc&) {
        UserInterfaceServices::Current().ShowMessage(window(), FromUtf8(kCopyOutOfMemoryMessage),
                                                     FromUtf8(kAppTitle));
    }
    return data;
}

ShownPosition OutputTextEdit::PositionAt(int position) const {
    const QTextBlock block = document()->findBlock(position);
    return {static_cast<std::size_t>(block.blockNumber()),
            static_cast<std::size_t>(position - block.position())};
}

}  // namespace brackwin
