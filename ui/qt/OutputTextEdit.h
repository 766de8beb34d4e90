#pragma once

#include <QPlainTextEdit>
#include <utility>

#include "OutputText.h"

namespace brackwin {

// The output area Text2. It shows a bounded display of the output text, so copying its own
// text would copy the display: its copy key and its menu's copy command ask for the selected
// part of the real text instead, and a selection dragged out of it carries that part.
class OutputTextEdit final : public QPlainTextEdit {
    Q_OBJECT

  public:
    // Shows a display of output, which must outlive the area.
    explicit OutputTextEdit(const OutputText& output, QWidget* parent = nullptr);

    // Where the selection starts and ends, in the shown text's lines and UTF-16 columns.
    std::pair<ShownPosition, ShownPosition> Selection() const;

  signals:
    // The user asked to copy the selection.
    void CopyRequested();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;

  private:
    ShownPosition PositionAt(int position) const;

    const OutputText& output_;
};

}  // namespace brackwin
