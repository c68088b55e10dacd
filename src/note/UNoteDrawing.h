#pragma once

#include "UGraphics.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <initializer_list>

class QPainter;
class QPoint;

// The three colours of a note's title bar and grip, derived from the note colour:
// title = note - 50, shadow = title - 40, highlight = title + 40 (each channel clamped).
struct TTitleColors {
    TColor Title = 0;
    TColor Shadow = 0;
    TColor Highlight = 0;
    bool operator==(const TTitleColors&) const = default;
};
TTitleColors TitleColorsFor(TColor noteColor);

// What the title bar of a normal note shows.
struct TTitleState {
    TTitleColors Colors;
    bool ReadOnly = false;
    bool OnTop = false;
    bool Modified = false;
    QString Title; // drawn in TitleFont()
};

// The window font the title text is drawn in: "MS Sans Serif", 11 pixels high (the system's
// sans-serif face stands in for it).
QFont TitleFont();

// The drawing primitives of the title bar and grip, on a painter whose (0, 0) is the control's
// top-left pixel, without antialiasing:
// - a rectangle (x1, y1, x2, y2) outlines with the pen the columns x1 and x2 - 1 and the rows
//   y1 and y2 - 1 and fills the inside with the brush;
// - a line through points a -> b -> c ... draws each segment without its end point, so the last
//   point given is not drawn.
void DrawRectangle(QPainter& painter, int x1, int y1, int x2, int y2, TColor pen, TColor brush);
void DrawLines(QPainter& painter, std::initializer_list<QPoint> points, TColor pen);

// The title bar of a normal note, W x H (16 high).
void DrawNoteTitle(QPainter& painter, int width, int height, const TTitleState& state);
// The 17 x 17 square of a rolled-up note; the marks appear only when both the flag and its
// setting are on.
void DrawMinimizedTitle(QPainter& painter, const TTitleColors& colors, bool showReadOnly,
                        bool showOnTop);
// The 12 x 12 resize grip.
void DrawSizeGrip(QPainter& painter, const TTitleColors& colors);
