#include "UNoteDrawing.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPoint>
#include <QRect>

#include <cstdlib>
#include <utility>

namespace {

QColor ToQColor(TColor color) {
    const TRGBBytes rgb = SplitColor(color);
    return QColor(rgb.Red, rgb.Green, rgb.Blue);
}

// Every primitive sets exact pixels, so nothing depends on how Qt rasterises pens.
void FillPixels(QPainter& painter, int x, int y, int width, int height, const QColor& color) {
    if (width > 0 && height > 0)
        painter.fillRect(QRect(x, y, width, height), color);
}

// Integer stepping from a towards b; b itself is left out, so that a polyline draws each of its
// inner points once and its last point not at all.
void DrawSegment(QPainter& painter, QPoint a, QPoint b, const QColor& color) {
    const int dx = std::abs(b.x() - a.x());
    const int dy = std::abs(b.y() - a.y());
    // Straight segments, most of the title bar, are one fill each.
    if (dy == 0 && dx > 0) {
        FillPixels(painter, b.x() < a.x() ? b.x() + 1 : a.x(), a.y(), dx, 1, color);
        return;
    }
    if (dx == 0 && dy > 0) {
        FillPixels(painter, a.x(), b.y() < a.y() ? b.y() + 1 : a.y(), 1, dy, color);
        return;
    }
    const int stepX = b.x() < a.x() ? -1 : 1;
    const int stepY = b.y() < a.y() ? -1 : 1;
    int x = a.x();
    int y = a.y();
    int error = dx - dy;
    const int steps = dx > dy ? dx : dy;
    for (int i = 0; i < steps; ++i) {
        FillPixels(painter, x, y, 1, 1, color);
        const int twice = 2 * error;
        if (twice > -dy) {
            error -= dy;
            x += stepX;
        }
        if (twice < dx) {
            error += dx;
            y += stepY;
        }
    }
}

// Confines a drawing to its control, as the control's own canvas would.
void ClipTo(QPainter& painter, int width, int height) {
    painter.setClipRect(QRect(0, 0, width, height),
                        painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void DrawReadOnlyBars(QPainter& painter, const TTitleColors& colors) {
    DrawLines(painter, {{6, 6}, {10, 6}}, colors.Highlight);
    DrawLines(painter, {{6, 9}, {10, 9}}, colors.Highlight);
    DrawLines(painter, {{7, 7}, {11, 7}}, colors.Shadow);
    DrawLines(painter, {{7, 10}, {11, 10}}, colors.Shadow);
}

} // namespace

TTitleColors TitleColorsFor(TColor noteColor) {
    TTitleColors colors;
    colors.Title = ShiftColor(noteColor, -50);
    colors.Shadow = ShiftColor(colors.Title, -40);
    colors.Highlight = ShiftColor(colors.Title, 40);
    return colors;
}

QFont TitleFont() {
    [[maybe_unused]] static const bool substituted = [] {
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Sans Serif"));
        return true;
    }();
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

void DrawRectangle(QPainter& painter, int x1, int y1, int x2, int y2, TColor pen, TColor brush) {
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    const int width = x2 - x1;
    const int height = y2 - y1;
    if (width <= 0 || height <= 0)
        return;
    const QColor penColor = ToQColor(pen);
    FillPixels(painter, x1 + 1, y1 + 1, width - 2, height - 2, ToQColor(brush));
    FillPixels(painter, x1, y1, width, 1, penColor);
    FillPixels(painter, x1, y2 - 1, width, 1, penColor);
    FillPixels(painter, x1, y1, 1, height, penColor);
    FillPixels(painter, x2 - 1, y1, 1, height, penColor);
}

void DrawLines(QPainter& painter, std::initializer_list<QPoint> points, TColor pen) {
    const QColor color = ToQColor(pen);
    const QPoint* previous = nullptr;
    for (const QPoint& point : points) {
        if (previous)
            DrawSegment(painter, *previous, point, color);
        previous = &point;
    }
}

void DrawNoteTitle(QPainter& painter, int width, int height, const TTitleState& state) {
    const int w = width;
    const int h = height;
    const TTitleColors& c = state.Colors;
    painter.save();
    ClipTo(painter, w, h);

    // The bottom edge falls outside the control; the body's border closes the frame.
    DrawRectangle(painter, 0, 0, w, h + 1, PackColor(0, 0, 0), c.Title);
    DrawRectangle(painter, 1, 1, w - 1, h, c.Highlight, c.Title);
    DrawRectangle(painter, 4, 4, 13, 13, c.Highlight, c.Title);
    DrawLines(painter, {{1, h - 1}, {w - 2, h - 1}, {w - 2, 1}}, c.Shadow);
    DrawLines(painter, {{4, 11}, {4, 4}, {12, 4}}, c.Shadow);

    if (state.ReadOnly)
        DrawReadOnlyBars(painter, c);
    if (state.OnTop) {
        DrawLines(painter, {{w - 14, 4}, {w - 14, 3}, {w - 12, 3}}, c.Highlight);
        DrawLines(painter, {{w - 5, h - 5}, {w - 5, h - 4}, {w - 7, h - 4}}, c.Highlight);
        DrawLines(painter, {{w - 13, 5}, {w - 13, 4}, {w - 11, 4}}, c.Shadow);
        DrawLines(painter, {{w - 4, h - 4}, {w - 4, h - 3}, {w - 6, h - 3}}, c.Shadow);
    }
    if (state.Modified) {
        const TColor mark = ShiftColor(c.Shadow, -20);
        DrawRectangle(painter, 5, 5, 12, 12, mark, mark);
    }

    if (!state.Title.isEmpty()) {
        painter.setFont(TitleFont());
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.setPen(QColor(0, 0, 0));
        const QFontMetrics metrics = painter.fontMetrics();
        // Integer division truncates toward zero, also for a text wider than the bar.
        const int x = (w - metrics.horizontalAdvance(state.Title) - 12) / 2 + 8;
        painter.drawText(QPoint(x, 2 + metrics.ascent()), state.Title);
    }
    painter.restore();
}

void DrawMinimizedTitle(QPainter& painter, const TTitleColors& colors, bool showReadOnly,
                        bool showOnTop) {
    const int w = 17;
    const int h = 17;
    const TTitleColors& c = colors;
    painter.save();
    ClipTo(painter, w, h);

    DrawRectangle(painter, 0, 0, w, h, PackColor(0, 0, 0), c.Title);
    DrawRectangle(painter, 1, 1, w - 1, h - 1, c.Highlight, c.Title);
    DrawLines(painter, {{2, h - 2}, {w - 2, h - 2}, {w - 2, 1}}, c.Shadow);

    if (showOnTop) {
        DrawLines(painter, {{3, 4}, {3, 3}, {5, 3}}, c.Highlight);
        DrawLines(painter, {{w - 5, h - 6}, {w - 5, h - 5}, {w - 7, h - 5}}, c.Highlight);
        DrawLines(painter, {{4, 5}, {4, 4}, {6, 4}}, c.Shadow);
        DrawLines(painter, {{w - 4, h - 5}, {w - 4, h - 4}, {w - 6, h - 4}}, c.Shadow);
    }
    if (showReadOnly)
        DrawReadOnlyBars(painter, c);
    painter.restore();
}

void DrawSizeGrip(QPainter& painter, const TTitleColors& colors) {
    const int w = 12;
    const int h = 12;
    const TTitleColors& c = colors;
    painter.save();
    ClipTo(painter, w, h);

    DrawRectangle(painter, 0, 0, w, h, PackColor(0, 0, 0), c.Title);
    DrawLines(painter, {{2, h - 2}, {w - 1, 1}}, c.Highlight);
    DrawLines(painter, {{5, h - 2}, {w - 1, 4}}, c.Highlight);
    DrawLines(painter, {{8, h - 2}, {w - 1, 7}}, c.Highlight);
    DrawLines(painter, {{3, h - 2}, {w - 1, 2}}, c.Shadow);
    DrawLines(painter, {{6, h - 2}, {w - 1, 5}}, c.Shadow);
    DrawLines(painter, {{9, h - 2}, {w - 1, 8}}, c.Shadow);
    painter.restore();
}
