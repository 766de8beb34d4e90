#pragma once

#include <QLabel>

namespace brackwin {

// A label a screen reader names by its accessible name and still reads the text of. Qt's own
// label gives a reader either the name or the text: a named label would hide what it shows.
class ReadableLabel final : public QLabel {
    Q_OBJECT

  public:
    explicit ReadableLabel(QWidget* parent = nullptr);

    // setText, telling a screen reader that the text changed: QLabel tells it only of its name.
    void ShowText(const QString& text);
};

}  // namespace brackwin
