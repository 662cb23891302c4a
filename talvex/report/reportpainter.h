#pragma once
// The printed report drawn on any paged device: a printer, the print
// preview and the PDF writer all go through paintReport, so the three show
// the same pages.
//
// Page coordinates are 0.01 mm with y downward from the top-left corner of
// the device's printable area. The margins of the page setup are measured
// from that corner: the usable area starts marginLeft mm to the right and
// marginTop mm down and ends marginRight and marginBottom mm before the
// printable area's far edges.

#include "talvex/report/reportcontext.h"
#include "talvex/report/reportpages.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QSizeF>

class QPainter;
class QPagedPaintDevice;

namespace talvex {
struct TlvOne;
}

namespace talvex::report {

// The usable area of a page (0.01 mm) for a printable area of
// `printableSizeMm` and the margins of `settings`.
QRect usableArea(const PrintSettings &settings, QSizeF printableSizeMm);

// Draws page `pageIndex` (from 1) of the report on `painter`, whose
// coordinates are already 0.01 mm from the printable area's top-left corner
// (y down): the heading with the page name and its rule, the footer, the
// page frame with the heading table, and the page's chart, table or
// waveform cells. A page index outside the report draws nothing and
// returns false.
bool paintReportPage(QPainter &painter, ReportContext &context, int pageIndex, QSizeF printableSizeMm);

// Draws pages `fromPage` ... `toPage` (from 1; toPage 0 = the last page,
// both limited to the report) on `device`, one device page each, and ends
// the painting. Returns false with a reason when the device cannot be
// painted on or the range holds no page.
bool paintReport(QPagedPaintDevice &device, ReportContext &context, int fromPage = 1, int toPage = 0,
                 QString *error = nullptr);

// How one waveform cell is drawn: units of the output (0.01 mm or pixels).
struct WaveformCellStyle {
    int inset = 1000; // centre line and traces start this far inside the left edge
    int positivePen = 20; // pen widths of the positive and negative traces
    int negativePen = 12;
    int linePen = 10; // centre line and arrival marker
    int labelOffset = 150; // depth label: right of the left edge and above the centre line
    int labelHeight = 300; // font height of the depth label
};

// One point in the cell `cell`: the centre line, the positive and negative
// traces each scaled so that its largest absolute sample reaches 0.95 of
// half the cell height (a trace of zeros is not drawn), the S-wave arrival
// marker from 20 % to 80 % of the height (when an arrival is picked) and the
// depth as "%.1fm".
void drawWaveformCell(QPainter &painter, const QRect &cell, const TlvOne &point, const WaveformCellStyle &style);

// Waveform page `page` (from 0) of the survey as a grid of columns x rows
// cells of `cellSize` from `origin`, filled column by column; stops at the
// last point.
void drawWaveformGrid(QPainter &painter, const ReportContext &context, int page, QPoint origin, QSize cellSize,
                      const WaveformCellStyle &style);

} // namespace talvex::report
