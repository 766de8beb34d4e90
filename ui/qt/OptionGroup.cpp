#include "OptionGroup.h"

#include <QKeyEvent>
#include <QRadioButton>

namespace brackwin {

OptionGroup::OptionGroup(std::initializer_list<QRadioButton*> buttons, QObject* parent)
    : QObject(parent), buttons_(buttons) {
    for (QRadioButton* button : buttons_) {
        button->installEventFilter(this);
        connect(button, &QRadioButton::toggled, this, &OptionGroup::UpdateTabStop);
    }
    UpdateTabStop();
}

bool OptionGroup::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    int step = 0;
    switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Left:
            step = -1;
            break;
        case Qt::Key_Down:
        case Qt::Key_Right:
            step = 1;
            break;
        default:
            return false;
    }
    MoveFrom(static_cast<QRadioButton*>(watched), step);
    return true;
}

void OptionGroup::UpdateTabStop() {
    for (QRadioButton* button : buttons_) {
        button->setFocusPolicy(button->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

void OptionGroup::MoveFrom(QRadioButton* from, int step) {
    const qsizetype count = buttons_.size();
    qsizetype index = buttons_.indexOf(from);
    for (qsizetype tried = 1; tried < count; ++tried) {
        index = (index + step + count) % count;
        QRadioButton* next = buttons_.at(index);
        if (next->isEnabled() && next->isVisible()) {
            next->setFocus(Qt::OtherFocusReason);
            next->click();
            return;
        }
    }
}

}  // namespace brackwin
