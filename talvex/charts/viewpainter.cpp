#include "talvex/charts/viewpainter.h"

#include "talvex/analysis/autopick.h"
#include "talvex/charts/chartstyle.h"
#include "talvex/charts/columncharts.h"
#include "talvex/charts/viewgeometry.h"
#include "talvex/processing/frequencydisplay.h"
#include "talvex/processing/rawrecorddisplay.h"
#include "records/fieldrecord.h"
#include "talvex/survey/surveydata.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace talvex::charts {

namespace {

constexpr int x0 = kWaveformOriginX;
constexpr int y0 = kWaveformOriginY;

const QColor kSuggestionColour{0, 150, 0};
const QColor kFlagColour{220, 0, 0};

const TlvOne *currentPoint(const ViewScene &scene)
{
    const int k = scene.view.currentPoint;
    if (k < 1 || std::size_t(k) > scene.survey.points.size())
        return nullptr;
    return &scene.survey.points[std::size_t(k - 1)];
}

template <typename Samples>
int peakOf(const Samples &samples, int count)
{
    int peak = 0;
    for (int j = 0; j < count; ++j)
        peak = std::max(peak, std::abs(int(samples[std::size_t(j)])));
    return peak;
}

// A trace of `count` samples around the centre line `centre`, the peak
// reaching `reach` units: sample j at (x(j), centre + trunc(s / (p / reach))).
// Nothing is drawn for a trace whose peak is 0.
template <typename Samples, typename XOf>
void drawTrace(QPainter &p, const Samples &samples, int count, int peak, int centre, float reach, XOf xOf,
               const QColor &colour)
{
    if (peak <= 0 || count <= 0)
        return;
    const float unit = float(peak) / reach;
    QPolygon line(count);
    for (int j = 0; j < count; ++j)
        line.setPoint(j, xOf(j), centre + int(float(samples[std::size_t(j)]) / unit));
    p.setPen(cosmeticPen(colour));
    p.drawPolyline(line);
}

void drawMarker(QPainter &p, int top, int selectedTrace)
{
    const QColor colour = selectedTrace == 0 ? kPositiveColour : kNegativeColour;
    p.setPen(cosmeticPen(colour));
    p.setBrush(colour);
    p.drawEllipse(QRect(x0 - 20, top, 15, 15));
    p.setBrush(Qt::NoBrush);
}

void drawDotted(QPainter &p, int y)
{
    QPen pen = cosmeticPen(Qt::black);
    pen.setStyle(Qt::DotLine);
    p.setPen(pen);
    p.drawLine(x0 + 1, y, x0 + 1024, y);
}

void drawSolid(QPainter &p, int y)
{
    p.setPen(cosmeticPen(Qt::black));
    p.drawLine(x0 + 1, y, x0 + 1024, y);
}

void drawFrame(QPainter &p, int height)
{
    p.setPen(cosmeticPen(Qt::black));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(x0, y0, 1025, height));
}

void drawArrival(QPainter &p, const TlvOne &point, int top, int bottom)
{
    if (point.sArrival <= 0)
        return; // not picked
    p.setPen(cosmeticPen(Qt::black));
    p.drawLine(x0 + point.sArrival, top, x0 + point.sArrival, bottom);
}

// The suggestion of point `index` (0-based) when the scene carries one for
// every point and this one was found.
const ArrivalSuggestion *suggestionOf(const ViewScene &scene, int index)
{
    const auto *all = scene.suggestions;
    if (!all || all->size() != scene.survey.points.size() || index < 0 || std::size_t(index) >= all->size())
        return nullptr;
    const ArrivalSuggestion &suggestion = (*all)[std::size_t(index)];
    return suggestion.found ? &suggestion : nullptr;
}

// A suggested arrival: a dashed tick from `top` down `length` units at the
// suggested sample, with the quality ("0.87") right of its top. Green and
// dashed, so that it never reads as the black arrival line it may cover.
void drawSuggestion(QPainter &p, const ArrivalSuggestion &suggestion, int top, int length, int textHeight)
{
    const int x = x0 + suggestion.sample;
    QPen pen = cosmeticPen(kSuggestionColour);
    pen.setWidth(2);
    pen.setStyle(Qt::DashLine);
    p.setPen(pen);
    p.drawLine(x, top, x, top + length);
    p.setPen(kSuggestionColour);
    p.setFont(viewFont(textHeight));
    drawTextAt(p, x + 4, top - 2, QString::number(suggestion.quality, 'f', 2));
}

bool isFlagged(const ViewScene &scene, int index)
{
    const auto *flagged = scene.flaggedPoints;
    return flagged && flagged->size() == scene.survey.points.size() && index >= 0
        && std::size_t(index) < flagged->size() && (*flagged)[std::size_t(index)];
}

// A point the interval check flags: a dashed red frame inside the row's
// trace area with the reason at its top left, so that it shows at any zoom
// without covering the arrival line.
void drawFlag(QPainter &p, int top)
{
    QPen pen = cosmeticPen(kFlagColour);
    pen.setWidth(2);
    pen.setStyle(Qt::DashLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(x0 + 3, top + 3, 1019, 114));
    p.setPen(kFlagColour);
    p.setFont(viewFont(20));
    drawTextAt(p, x0 + 8, top + 6, QStringLiteral("层间时间待复核"));
}

// The four figures right of the traces, from `top` down in steps of 25.
void drawPointFigures(QPainter &p, const TlvOne &point, int top)
{
    p.setPen(Qt::black);
    drawTextAt(p, kTextColumnX, top, QString::asprintf("采样间隔:%.0fus", double(point.interval)));
    drawTextAt(p, kTextColumnX, top + 25, QString::asprintf("波初至时:%.2fms", double(point.travelTime())));
    // Velocities of a point without a pick come from its delay alone.
    const bool picked = point.sArrival > 0;
    drawTextAt(p, kTextColumnX, top + 50,
               picked ? QString::asprintf("等效波速:%.2fm/s", double(point.equivVelocity))
                      : QString::fromUtf8("等效波速:未拾取"));
    drawTextAt(p, kTextColumnX, top + 75,
               picked ? QString::asprintf("测点波速:%.2fm/s", double(point.pointVelocity))
                      : QString::fromUtf8("测点波速:未拾取"));
}

void drawPointTraces(QPainter &p, const TlvOne &point, int centre, float reach)
{
    const auto xOf = [](int j) { return x0 + 1 + j; };
    drawTrace(p, point.positive, kTraceLength, peakOf(point.positive, kTraceLength), centre, reach, xOf,
              kPositiveColour);
    drawTrace(p, point.negative, kTraceLength, peakOf(point.negative, kTraceLength), centre, reach, xOf,
              kNegativeColour);
}

} // namespace

QSize sceneExtent(const ViewScene &scene)
{
    return sceneExtent(scene.view.mode, int(scene.survey.points.size()), scene.survey.header.holeDepth);
}

void paintMultiTrace(QPainter &p, const ViewScene &scene, const QRect &clip)
{
    const int count = int(scene.survey.points.size());
    p.setFont(viewFont(24));
    drawFrame(p, kRowHeight * count);
    p.setPen(Qt::black);
    drawTextAt(p, x0 - 70, y0, QStringLiteral("H(m)"));

    const RowRange rows = multiTraceRowsIn(clip.top(), clip.bottom() + 1, count);
    for (int i = rows.first; i < rows.last; ++i) {
        const TlvOne &point = scene.survey.points[std::size_t(i)];
        const int top = multiTraceRowTop(i);
        if (i + 1 == scene.view.currentPoint)
            drawMarker(p, top + 10, scene.view.selectedTrace);
        drawDotted(p, top + 60);
        drawSolid(p, top + 120);
        drawPointTraces(p, point, top + 60, 55.0f);
        drawArrival(p, point, top + 20, top + 100);
        if (const ArrivalSuggestion *suggestion = suggestionOf(scene, i)) {
            drawSuggestion(p, *suggestion, top + 6, 36, 20);
            p.setFont(viewFont(24));
        }
        if (isFlagged(scene, i)) {
            drawFlag(p, top);
            p.setFont(viewFont(24));
        }
        p.setPen(Qt::black);
        drawTextAt(p, x0 - 70, top + 50, QString::asprintf("%.1fm", double(point.depth)));
        drawPointFigures(p, point, top + 10);
    }
}

void paintSingleTrace(QPainter &p, const ViewScene &scene)
{
    p.setFont(viewFont(24));
    drawFrame(p, kPanelHeight);
    drawDotted(p, y0 + 400);
    p.setPen(Qt::black);
    drawTextAt(p, x0 - 70, y0, QStringLiteral("H(m)"));
    const TlvOne *point = currentPoint(scene);
    if (!point)
        return;
    drawMarker(p, timeCursorSpan(scene.view).top, scene.view.selectedTrace);
    drawPointTraces(p, *point, y0 + 400, 380.0f);
    drawArrival(p, *point, y0 + 100, y0 + 700);
    if (const ArrivalSuggestion *suggestion = suggestionOf(scene, scene.view.currentPoint - 1)) {
        drawSuggestion(p, *suggestion, y0 + 60, 100, 24);
        p.setFont(viewFont(24));
    }
    p.setPen(Qt::black);
    drawTextAt(p, x0 - 70, y0 + 390, QString::asprintf("%.1fm", double(point->depth)));
    drawPointFigures(p, *point, y0 + 10);
}

void paintRawRecord(QPainter &p, const ViewScene &scene)
{
    p.setFont(viewFont(17));
    drawFrame(p, kPanelHeight);
    for (int k = 1; k <= 3; ++k)
        drawSolid(p, y0 + kChannelHeight * k);
    for (int k = 0; k < 4; ++k)
        drawDotted(p, y0 + 100 + kChannelHeight * k);

    const RawRecordDisplay &raw = scene.raw;
    const int length = std::min(raw.length(), kRecordSamples);
    for (int c = 1; c <= kRecordChannels; ++c) {
        const int top = rawChannelTop(c);
        if (c == scene.view.selectedChannel) {
            const QPolygon triangle{QPoint(x0 - 10, top + 100), QPoint(x0 - 25, top + 92), QPoint(x0 - 25, top + 108)};
            p.setPen(cosmeticPen(kPositiveColour));
            p.setBrush(kPositiveColour);
            p.drawPolygon(triangle);
            p.setBrush(Qt::NoBrush);
        }
        if (raw.compressed() && length > 0) {
            // Scaled by the peak of the samples shown, so that a display whose
            // signal lies past its first 1024 samples is neither left out nor
            // drawn across the other channels' rows.
            const auto &buffer = raw.buffer(c - 1);
            const auto xOf = [length](int i) { return x0 + int(std::int64_t(i) * 1024 / length); };
            drawTrace(p, buffer, length, peakOf(buffer, length), top + 100, 95.0f, xOf, kPositiveColour);
        } else if (!raw.compressed()) {
            const auto &channel = scene.record.channels[std::size_t(c - 1)];
            const auto xOf = [](int j) { return x0 + j; };
            drawTrace(p, channel, kTraceLength, peakOf(channel, kTraceLength), top + 100, 95.0f, xOf, kPositiveColour);
        }
    }
}

void paintSpectrum(QPainter &p, const ViewScene &scene)
{
    p.setFont(viewFont(24));
    drawFrame(p, kPanelHeight);
    drawDotted(p, y0 + 400);

    // The buffer is shown divided by trunc(p / 380), its peak reaching about
    // 380 units; a buffer whose peak is below 380 is shown as it is rather
    // than divided by 0.
    const auto &buffer = scene.spectrum.buffer;
    const int divisor = std::max(1, peakOf(buffer, kTraceLength) / 380);
    QPolygon line(kTraceLength);
    for (int j = 0; j < kTraceLength; ++j)
        line.setPoint(j, x0 + 1 + j, y0 + 400 + buffer[std::size_t(j)] / divisor);
    p.setPen(cosmeticPen(kPositiveColour));
    p.drawPolyline(line);
    p.setPen(Qt::black);
    drawTextAt(p, x0 + 700, y0 + 300, QString::asprintf("Fm=%.2fHz", double(scene.spectrum.peakFrequency)));
}

void paintScene(QPainter &p, const ViewScene &scene, const QRect &clip)
{
    p.save();
    switch (scene.view.mode) {
    case DisplayMode::MultiTrace: paintMultiTrace(p, scene, clip); break;
    case DisplayMode::SingleTrace: paintSingleTrace(p, scene); break;
    case DisplayMode::RawRecord: paintRawRecord(p, scene); break;
    case DisplayMode::Spectrum: paintSpectrum(p, scene); break;
    case DisplayMode::VelocityHistogram:
    case DisplayMode::TimeDistance: {
        ColumnChartOptions options;
        options.curveName = scene.curveName;
        options.patterns = scene.patterns;
        const ColumnChartLayout layout = screenColumnLayout(scene.survey.header.holeDepth);
        if (scene.view.mode == DisplayMode::VelocityHistogram)
            DrawVelocityHistogram(p, layout, scene.survey, options);
        else
            DrawTimeDistanceChart(p, layout, scene.survey, options);
        break;
    }
    }
    p.restore();
}

void paintOverlay(QPainter &p, const ViewScene &scene, int dragLineY)
{
    if (scene.survey.points.empty())
        return; // the cursors move only over a survey with points
    p.save();
    p.setPen(cosmeticPen(Qt::black));
    switch (scene.view.mode) {
    case DisplayMode::MultiTrace:
    case DisplayMode::SingleTrace:
    case DisplayMode::RawRecord:
    case DisplayMode::Spectrum: {
        if (scene.view.inPointMode() && !currentPoint(scene))
            break;
        const CursorSpan span = timeCursorSpan(scene.view);
        const int x = scene.view.cursorX;
        p.drawLine(x, span.top, x, span.top + span.length);
        break;
    }
    case DisplayMode::VelocityHistogram:
        p.drawLine(kDepthCursorLeft, scene.view.depthCursor, kDepthCursorRight, scene.view.depthCursor);
        if (dragLineY >= 0) {
            // Broken at x 390 so that it reads as a line being moved.
            p.drawLine(kBoundaryGrabLeft, dragLineY, 389, dragLineY);
            p.drawLine(391, dragLineY, 599, dragLineY);
        }
        break;
    case DisplayMode::TimeDistance: break;
    }
    p.restore();
}

} // namespace talvex::charts
