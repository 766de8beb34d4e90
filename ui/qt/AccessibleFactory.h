#pragma once

#include <QAccessible>
#include <QObject>
#include <QString>

namespace brackwin {

// A factory for QAccessible::installFactory that gives each Widget an Accessible, built from
// the widget, and leaves every other object to the next factory. Qt keeps one of each factory
// however often it is installed.
template <typename Widget, typename Accessible>
QAccessibleInterface* MakeAccessible(const QString&, QObject* object) {
    auto* widget = qobject_cast<Widget*>(object);
    return widget ? new Accessible(widget) : nullptr;
}

}  // namespace brackwin
