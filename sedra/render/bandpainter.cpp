#include "sedra/render/bandpainter.h"

#include <QPainterPath>
#include <algorithm>
#include <cstdlib>

namespace sedra {

int BandPainter::pointCount(const SedraDocument &document)
{
    return std::max(1, document.spectra().viewSampleCount);
}

QRectF BandPainter::bandRect(const QRectF &area, int band)
{
    const qreal h = area.height() / kBands;
    return QRectF(area.left(), area.top() + band * h, area.width(), h);
}

int BandPainter::bandAt(const QRectF &area, qreal y)
{
    if (y < area.top() || y >= area.bottom() || area.height() <= 0)
        return -1;
    return std::clamp(int((y - area.top()) / (area.height() / kBands)), 0, kBands - 1);
}

QRectF BandPainter::traceRect(const QRectF &band, const BandOptions &options, const QFont &labelFont)
{
    if (!options.labelStrip)
        return band;
    // Long ticks, the label line and a gap of one unit above and below it.
    const qreal strip = 2 * options.tickLength + QFontMetricsF(labelFont).height() + 2;
    return QRectF(band.left(), band.top(), band.width(), std::max<qreal>(1, band.height() - strip));
}

void BandPainter::drawTrace(QPainter &painter, const QRectF &band, const std::int16_t *values, int count, int viewCount,
                            float zoom)
{
    if (count <= 0 || viewCount <= 0)
        return;
    int m = 0;
    for (int i = 0; i < count; ++i)
        m = std::max(m, std::abs(int(values[i])));
    if (m == 0)
        return; // a flat zero trace is not drawn
    const qreal mid = band.center().y();
    const qreal scale = band.height() * zoom / (2.2 * m);
    const qreal step = band.width() / viewCount;
    QPainterPath path;
    path.moveTo(band.left(), mid - values[0] * scale);
    for (int i = 1; i < count; ++i)
        path.lineTo(band.left() + i * step, mid - values[i] * scale);
    painter.save();
    painter.setClipRect(band);
    painter.drawPath(path);
    painter.restore();
}

void BandPainter::drawAxis(QPainter &painter, const QRectF &band, int n, bool spectrum, const SedraDocument &document,
                           const BandOptions &options)
{
    const qreal step = band.width() / n;
    const qreal bottom = band.bottom();
    for (int i = 0; i < n; i += 25) {
        const qreal len = i % 100 == 0 ? 2 * options.tickLength : options.tickLength;
        const qreal x = band.left() + i * step;
        painter.drawLine(QPointF(x, bottom), QPointF(x, bottom - len));
    }
    const SedraRecord &r = document.record();
    if (!r.hasSamples())
        return; // an empty document has no axis to label
    const QFontMetricsF fm(painter.font());
    for (int i = n / 4; i < n; i += std::max(1, n / 4)) {
        QString label;
        if (spectrum)
            label = QString::asprintf("%.2fHz", double(i * document.spectra().frequencyStep[0]));
        else
            label = QString::asprintf("%.2f ms",
                                      double(i) * document.spectra().labelInterval / 1000.0 + double(r.header.delay));
        // On a white ground so the trace under it does not hide it.
        const QPointF at(band.left() + i * step + 2, bottom - 2 * options.tickLength - fm.descent() - 1);
        const QRectF ground(at.x() - 1, at.y() - fm.ascent(), fm.horizontalAdvance(label) + 2, fm.height());
        painter.fillRect(ground, Qt::white);
        painter.drawText(at, label);
    }
}

void BandPainter::draw(QPainter &painter, const QRectF &area, const SedraDocument &document, const BandOptions &options)
{
    painter.save();
    QPen pen(Qt::black);
    pen.setWidthF(options.lineWidth);
    pen.setCosmetic(options.lineWidth == 0);
    painter.setPen(pen);
    painter.setFont(options.font);
    const int n = pointCount(document);
    const SedraRecord &record = document.record();
    const RecordChannels &rc = record.channels;
    const qreal step = area.width() / n;

    // Band separators.
    for (int b = 0; b <= kBands; ++b) {
        const qreal y = area.top() + b * area.height() / kBands;
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    }
    if (options.markCurrentBand && options.onlyChannel == 0) {
        const QRectF cur = bandRect(area, document.currentBand());
        const qreal r = std::max<qreal>(2, area.width() / 300);
        painter.drawEllipse(QPointF(cur.left() - 2 * r, cur.top() + 2 * r), r, r);
    }

    for (int k = 0; k < kSpectrumChannels; ++k) {
        if (options.onlyChannel != 0 && options.onlyChannel != k + 1)
            continue;
        const QRectF wave = bandRect(area, 2 * k);
        const QRectF spectrumBand = bandRect(area, 2 * k + 1);
        if (k < rc.channelCount && rc.sampleCount > 0) {
            // A record of another length than the view (512 samples, say)
            // is drawn at the view's scale, the one of the ticks and cursors.
            const int traceN = std::min(n, kRecordSamples);
            QPen tracePen = pen;
            tracePen.setColor(kWaveColor);
            painter.setPen(tracePen);
            drawTrace(painter, traceRect(wave, options, options.font), rc.working[std::size_t(k)].data(),
                      std::min(traceN, rc.sampleCount), n, options.zoom);
            tracePen.setColor(kSpectrumColor);
            painter.setPen(tracePen);
            drawTrace(painter, traceRect(spectrumBand, options, options.font),
                      document.spectra().spectrum[std::size_t(k)].data(), traceN, n, options.zoom);
            painter.setPen(pen);
        }
        drawAxis(painter, wave, n, false, document, options);
        drawAxis(painter, spectrumBand, n, true, document, options);

        // Cursor lines and readouts.
        const BandCursor &wc = document.cursors()[std::size_t(2 * k)];
        if (!wc.active)
            continue;
        const BandCursor &sc = document.cursors()[std::size_t(2 * k + 1)];
        if (options.cursorLines) {
            QPen cursorPen = pen;
            cursorPen.setColor(QColor(0, 128, 0));
            painter.setPen(cursorPen);
            const qreal x = area.left() + wc.point * step;
            painter.drawLine(QPointF(x, wave.top()), QPointF(x, wave.bottom()));
            if (sc.active) {
                const qreal xs = area.left() + sc.point * step;
                painter.drawLine(QPointF(xs, spectrumBand.top()), QPointF(xs, spectrumBand.bottom()));
            }
            painter.setPen(pen);
        }
        const CursorReadout ro = cursorReadout(rc, document.spectra(), k, wc.point, sc.active ? int(sc.point) : -1,
                                               record.header.interval, record.header.delay);
        const QFontMetricsF fm(painter.font());
        const qreal x = area.right() + options.readoutGap;
        const qreal line = fm.height();
        if (options.showRightValues) {
            painter.drawText(QPointF(x, wave.top() + line), ro.timeText);
            painter.drawText(QPointF(x, wave.top() + 2 * line), ro.amplitudeText);
            painter.drawText(QPointF(x, spectrumBand.top() + line), ro.fmText);
            painter.drawText(QPointF(x, spectrumBand.top() + 2 * line), ro.periodText);
        } else {
            painter.drawText(QPointF(x, spectrumBand.top() + spectrumBand.height() / 2), ro.fmText);
        }
    }
    painter.restore();
}

} // namespace sedra
