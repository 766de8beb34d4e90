#pragma once

#include <QString>
#include <QWidget>
#include <initializer_list>

namespace brackwin {

// Gives a new widget, action or menu its name; tests find the windows' controls by it.
template <typename Object>
Object* Named(Object* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

// Chains the keyboard focus through the widgets in the order given.
inline void SetTabOrder(std::initializer_list<QWidget*> widgets) {
    for (auto it = widgets.begin(); it + 1 < widgets.end(); ++it) {
        QWidget::setTabOrder(*it, *(it + 1));
    }
}

}  // namespace brackwin
