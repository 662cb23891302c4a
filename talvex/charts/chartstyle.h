#pragma once
// Pens, colours, fonts and text placement shared by the view and chart
// painters.

#include <QColor>
#include <QFont>
#include <QPen>
#include <QString>
#include <QStringList>

class QPainter;

namespace talvex::charts {

inline const QColor kPositiveColour{255, 0, 255}; // positive trace, point and travel-time curves, markers
inline const QColor kNegativeColour{0, 0, 255}; // negative trace, layer curve

// A pen one device pixel wide at any scale, as the view's lines are.
QPen cosmeticPen(const QColor &colour);

// A solid pen `width` units wide in the painter's current coordinates, but
// never thinner than one device pixel, so that a page's 0.1 mm rules stay
// visible in a preview on screen. Width 0 is one device pixel at any scale.
QPen solidPen(const QPainter &painter, const QColor &colour, int width);

// "宋体" of `height` logical units (the cell height), weight 500.
QFont viewFont(int height);

// The families tried, in order, for "宋体" where no font of that name is
// installed: Song-style faces first (AR PL UMing on Debian), then any other
// Chinese face, so that no text shows as boxes. The one list of the program.
QStringList songFontSubstitutes();

// Maps "宋体" to songFontSubstitutes() (the window does at start-up).
void installSongFontSubstitution();

// Where nothing has mapped "宋体" yet, maps it as above, for drawing without
// a window, so that pictures made by the command line match the view.
void ensureSongFontSubstitution();

// Text whose top-left corner lies at (x, y), as the view places its texts.
void drawTextAt(QPainter &painter, int x, int y, const QString &text);

// The smallest share of its size a text's font is shrunk to so that it fits
// (a 2.8 mm table text stays about 2 mm high, a 12-pixel one 8 pixels).
inline constexpr double kMinimumFontScale = 0.7;

// Makes `text` fit `width` units in the painter's font: the painter's font is
// shrunk as far as needed, down to `minimumScale` of its size; only what
// still does not fit is shortened with an ellipsis. Sets the font on the
// painter and returns the text to draw.
QString fitTextToWidth(QPainter &painter, const QString &text, double width, double minimumScale = kMinimumFontScale);

// As fitTextToWidth for a box of `size`, where a text too long for one line
// at its full size may also take two lines when the box is high enough:
// one line at the largest size that fits, else two lines at a larger size
// than one line would need, else one shortened line at the smallest size.
// Sets the font on the painter and returns the lines (one or two).
QStringList fitTextToBox(QPainter &painter, const QString &text, QSizeF size);

// Text word-wrapped into the box from `left` to `right` starting at y `top`;
// returns the y where it ends (top when the text is empty).
int drawWrappedText(QPainter &painter, int left, int right, int top, const QString &text);

} // namespace talvex::charts
