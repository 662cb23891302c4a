// Draws the six bands of a microtremor record (waveform and spectrum of
// channels 1 to 3) with their ticks, labels, cursors and readouts. One
// routine for the screen, the printed page, the PDF and the snapshots: the
// caller hands a QPainter on its device and the rectangle to fill.
#pragma once

#include "sedra/core/sedradocument.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRectF>

namespace sedra {

struct BandOptions {
    // 0: all three channels; k (1..3): only the two bands of channel k.
    int onlyChannel = 0;
    bool cursorLines = true;
    bool showRightValues = false; // time, amplitude and period beside the bands
    bool markCurrentBand = true;
    float zoom = 1.0f; // vertical zoom
    QFont font; // labels and readouts
    qreal lineWidth = 0; // 0: cosmetic one-pixel lines
    qreal tickLength = 4; // short tick; long ticks are twice as long
    qreal readoutGap = 8; // from the band area's right edge to the readouts
    // Keep a strip at the bottom of each band for the ticks and the axis
    // labels and draw the trace in the rest, so that no label covers a trace
    // (the window). Off: the trace is drawn around the band's middle line
    // over the whole band (printed page and snapshots).
    bool labelStrip = false;
};

class BandPainter {
public:
    static constexpr QColor kWaveColor{0, 0, 160};
    static constexpr QColor kSpectrumColor{160, 0, 0};

    // Points of the view across `width` (the record's or the view's count).
    static int pointCount(const SedraDocument &document);
    // Band i's rectangle in `area`.
    static QRectF bandRect(const QRectF &area, int band);
    // The band holding `y`, or -1.
    static int bandAt(const QRectF &area, qreal y);
    // Where a band's trace is drawn (and clipped): the band, less the label
    // strip when `options.labelStrip` is on; `labelFont` is the font of the
    // axis labels.
    static QRectF traceRect(const QRectF &band, const BandOptions &options, const QFont &labelFont);

    // Draws the bands and, for channels with an active waveform cursor,
    // the cursor lines and the readouts to the right of `area`.
    static void draw(QPainter &painter, const QRectF &area, const SedraDocument &document, const BandOptions &options);

private:
    // Draws `count` values at `viewCount` points across the band's width, so
    // that a record shorter than the view keeps the scale of the ticks.
    static void drawTrace(QPainter &painter, const QRectF &band, const std::int16_t *values, int count, int viewCount,
                          float zoom);
    static void drawAxis(QPainter &painter, const QRectF &band, int n, bool spectrum, const SedraDocument &document,
                         const BandOptions &options);
};

} // namespace sedra
