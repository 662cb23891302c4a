#pragma once
// Painting of the main view in its six display modes, on any paint device
// (the view's cached image, an offscreen image, later a printer). All
// coordinates are the view's logical units (viewgeometry.h); the caller sets
// the QPainter transform for scale and resolution before calling.
//
// The view is painted in two layers: paintScene() draws everything that
// stays while a cursor moves (traces, arrival lines, markers, texts, charts)
// and is cached by the window; paintOverlay() draws the lines that move over
// it (time cursor, depth cursor, dragged boundary), so that moving them never
// repaints a trace.

#include "talvex/settings/viewstate.h"

#include <QRect>
#include <QSize>
#include <vector>

class QPainter;

namespace talvex {
class SurveyData;
struct ArrivalSuggestion;
struct FieldRecord;
class RawRecordDisplay;
struct FrequencyDisplay;
} // namespace talvex

namespace talvex::charts {

class SoilPatternSet;

// What the view shows: the survey and view state, the raw record with its
// compressed display, the last spectrum, and the chart options. Nothing is
// changed by painting.
struct ViewScene {
    const SurveyData &survey;
    const ViewState &view;
    const FieldRecord &record;
    const RawRecordDisplay &raw;
    const FrequencyDisplay &spectrum;
    // Title of the velocity curve: 0 "剪切波速曲线Vs(m/s)", 1 "压缩波速曲线Vp(m/s)"
    // (the print settings' curve name; the curves are the same).
    int curveName = 0;
    // Patterns of the column chart; null for programSoilPatterns().
    SoilPatternSet *patterns = nullptr;
    // The automatic arrival suggestions, one per point, drawn in the
    // multi-trace and single-trace modes as a short dashed green tick at the
    // suggested sample with the quality beside it; null (or a list that
    // does not match the points) for none.
    const std::vector<ArrivalSuggestion> *suggestions = nullptr;
    // Points the interval check flags for review, one per point, drawn in
    // the multi-trace mode as a dashed red frame around the point's row
    // with "层间时间待复核"; null (or a list that does not match the
    // points) for none.
    const std::vector<bool> *flaggedPoints = nullptr;
};

// Logical size of the scroll area in the scene's current mode
// (sceneExtent of viewgeometry.h for the survey).
QSize sceneExtent(const ViewScene &scene);

// Draws the static content of the scene's mode that intersects the logical
// rectangle `clip` (rows outside it are skipped, so painting the visible rows
// of a long survey costs only those rows). Does not fill the background: the
// caller clears the target to white first.
void paintScene(QPainter &painter, const ViewScene &scene, const QRect &clip);

// Draws the moving lines of the scene's mode: the time cursor in modes 0, 1,
// 2 and 4, the depth cursor in mode 3, and in mode 3 the dragged boundary at
// `dragLineY` (y < 0: none). The lines are black, one device pixel wide.
void paintOverlay(QPainter &painter, const ViewScene &scene, int dragLineY = -1);

// The routines of the single modes, used by paintScene and by the print and
// figure code. Each draws at the view's logical coordinates.
void paintMultiTrace(QPainter &painter, const ViewScene &scene, const QRect &clip);
void paintSingleTrace(QPainter &painter, const ViewScene &scene);
void paintRawRecord(QPainter &painter, const ViewScene &scene);
void paintSpectrum(QPainter &painter, const ViewScene &scene);

} // namespace talvex::charts
