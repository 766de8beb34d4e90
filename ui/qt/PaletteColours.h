#pragma once

#include <QColor>
#include <QPalette>

#include "ColourPairs.h"

namespace brackwin {

// The colours the windows give their own texts (ColourPairs.h) under the application's
// palette. Qt reports no high-contrast setting; a dark palette takes its place.
WindowColours PaletteColours();

QColor ToQColor(Rgb colour);

// Gives palette the pair for text drawn in textRole on backgroundRole, for the active and the
// inactive window; disabled texts keep the palette's own look.
void SetPair(QPalette& palette, QPalette::ColorRole textRole, QPalette::ColorRole backgroundRole,
             const ColourPair& pair);

}  // namespace brackwin
