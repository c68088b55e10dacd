#pragma once

#include "UGraphics.h"

#include <QColor>

// A colour value as Qt shows it: red in the low byte, then green, then blue. Negative values
// are system colours: the low byte is the Windows system-colour index (COLOR_WINDOW = 5,
// COLOR_WINDOWTEXT = 8, COLOR_BTNFACE = 15, ...), shown as the matching colour of the
// application's palette.
QColor ToQColor(TColor color);

// The colour value of a QColor (its alpha is dropped).
TColor FromQColor(const QColor& color);
