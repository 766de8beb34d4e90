#pragma once

#include <QColor>
#include <QPalette>

namespace brackwin {

// A dark palette like Fusion's dark scheme: light texts on dark grounds, and a link and
// highlight blue that white text stands out from at only 3.6:1.
inline QPalette DarkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(42, 42, 42));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Button, QColor(53, 53, 53));
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Link, QColor(42, 130, 218));
    return dark;
}

}  // namespace brackwin
