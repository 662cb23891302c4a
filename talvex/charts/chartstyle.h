#pragma once
// Pens, colours, fonts and text placement shared by the view and chart
// painters.

#include <QColor>
#include <QFont>
#include <QPen>
#include <QString>

class QPainter;

namespace talvex::charts {

inline const QColor kPositiveColour{255, 0, 255}; // positive trace, point and travel-time curves, markers
inline const QColor kNegativeColour{0, 0, 255}; // negative trace, layer curve

// A pen one device pixel wide at any scale, as the view's lines are.
QPen cosmeticPen(const QColor &colour);

// "宋体" of `height` logical units (the cell height), weight 500.
QFont viewFont(int height);

// Where the program has not mapped "宋体" to an installed face (the window
// does at start-up), maps it to a Song-style face for drawing without a
// window, so that pictures made by the command line match the view.
void ensureSongFontSubstitution();

// Text whose top-left corner lies at (x, y), as the view places its texts.
void drawTextAt(QPainter &painter, int x, int y, const QString &text);

// Text word-wrapped into the box from `left` to `right` starting at y `top`;
// returns the y where it ends (top when the text is empty).
int drawWrappedText(QPainter &painter, int left, int right, int top, const QString &text);

} // namespace talvex::charts
