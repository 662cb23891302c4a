// Painters of the H/V analysis for the window, the printed page and the PDF:
// the three components over time with every window shaded kept or
// rejected, the window curves with the mean curve, its +-sigma band and f0
// with its band on a logarithmic frequency axis, the SESAME table, and the
// lines of f0, T0, A0, the peaks and the depth. They read the record and
// the result and change neither.
#pragma once

#include "sedra/core/hvanalysis.h"
#include "sedra/core/threecomponent.h"

#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace sedra {

struct HvPaintStyle {
    QFont font; // labels and tables
    qreal lineWidth = 1; // of the mean curve; the rest are thinner
    // Fills of the windows kept and rejected.
    QColor keptFill = QColor(120, 200, 120, 70);
    QColor rejectedFill = QColor(230, 90, 90, 90);
};

class HvPainter {
public:
    // The components N, E, Z one above the other over the record's time,
    // each window shaded by whether it is used; marks set by hand are
    // outlined.
    static void drawWindows(QPainter &painter, const QRectF &rect, const ThreeComponentRecord &record,
                            const HvResult &result, const HvPaintStyle &style);
    // The part of `rect` the traces take (less the labels), in which
    // windowAt() maps a point to time.
    static QRectF windowsPlotArea(const QRectF &rect, const HvPaintStyle &style);
    // The window under `point` in the drawing of drawWindows(); -1 for none.
    // `duration` is the record's length in seconds.
    static int windowAt(const QRectF &rect, const HvPaintStyle &style, const HvResult &result, double duration,
                        const QPointF &point);

    // H/V against frequency (log axis): the window curves (used ones grey,
    // rejected ones pale red), the +-sigma band, the mean curve and f0 with
    // the band exp(+-sigma_ln) of the windows' peaks.
    static void drawCurves(QPainter &painter, const QRectF &rect, const HvResult &result, const HvPaintStyle &style);

    // The SESAME criteria with value, threshold and a tick or a cross, and
    // the two verdicts. Returns the height used.
    static qreal drawSesameTable(QPainter &painter, const QRectF &rect, const HvResult &result,
                                 const HvPaintStyle &style);

    // f0 of the mean curve with A0 and T0 beside the windows' median f0,
    // the windows used, the peaks and the depth, as lines.
    static QStringList summaryLines(const HvResult &result);
    // The lines in `rect`; returns the height used.
    static qreal drawLines(QPainter &painter, const QRectF &rect, const QStringList &lines, const QFont &font);

    // The whole H/V page in 0.1 mm units (y downward): title, windows,
    // curves, the SESAME table and the summary.
    static void drawPage(QPainter &painter, const QSizeF &page, const ThreeComponentRecord &record,
                         const HvResult &result, const QString &title, qreal fontScale);
    // The page on a printer or PDF writer, whose device is `device`.
    static void draw(QPainter &painter, QPagedPaintDevice &device, const ThreeComponentRecord &record,
                     const HvResult &result, const QString &title);
    // Writes the page as a one-page A4 PDF; nothing is written when it
    // fails. Returns false with the reason.
    static bool writePdf(const ThreeComponentRecord &record, const HvResult &result, const QString &title,
                         const QString &path, QString *error);
};

} // namespace sedra
