#pragma once

#include <QWidget>

#include "TwipsToPixels.h"

namespace brackwin {

// Places a child at a position and size given in twips of its parent's client area.
inline void PlaceInTwips(QWidget* widget, int left, int top, int width, int height) {
    const int dpiX = widget->logicalDpiX();
    const int dpiY = widget->logicalDpiY();
    widget->setGeometry(TwipsToPixels(left, dpiX), TwipsToPixels(top, dpiY),
                        TwipsToPixels(width, dpiX), TwipsToPixels(height, dpiY));
}

}  // namespace brackwin
