#pragma once

#include <QWidget>
#include <cmath>

namespace brackwin {

// Layouts are given in twips (1/1440 inch): 15 twips make one pixel at 96 dpi, and the screen's
// logical dpi scales them.
inline int TwipsToPixels(int twips, int logicalDpi)
{
    return static_cast<int>(std::lround(twips * logicalDpi / 1440.0));
}

// Places a child at a position and size given in twips of its parent's client area.
inline void PlaceInTwips(QWidget* widget, int left, int top, int width, int height)
{
    const int dpiX = widget->logicalDpiX();
    const int dpiY = widget->logicalDpiY();
    widget->setGeometry(TwipsToPixels(left, dpiX), TwipsToPixels(top, dpiY),
                        TwipsToPixels(width, dpiX), TwipsToPixels(height, dpiY));
}

}  // namespace brackwin
