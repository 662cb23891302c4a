#pragma once
// What the mouse and the arrow keys do to the main view's state: the time
// cursor, the depth cursor, the selections and the drag of a layer boundary
// in the velocity histogram. Positions are logical units of the view (100
// per inch at scale 1, see talvex/charts/viewgeometry.h, which also decides
// what a position hits). Widget-free: the view converts its events and
// repaints what the state says changed.

#include "talvex/settings/viewstate.h"

#include <QPoint>
#include <optional>

namespace talvex {

class SurveyData;

class ViewInteraction {
public:
    // Both are the document's and outlive this object.
    ViewInteraction(SurveyData &survey, ViewState &view);

    // The time cursor to logical x, clamped to x0 + 1 ... x0 + 1022. Only
    // when the survey has points; false otherwise.
    bool MoveTimeCursor(int x);
    // The histogram depth cursor to logical y: above y = 100 it lands at 101,
    // below the hole-depth line one unit above that line. Only when the
    // survey has points; false otherwise.
    bool MoveDepthCursor(int y);

    // Left button pressed at logical `p`:
    // - multi-trace: the row under the click becomes the current point (kept
    //   when the click lies below the last row) and moves the cursor to the
    //   click; its upper or lower half selects the positive or negative trace;
    // - single-trace: the upper or lower half selects the trace;
    // - raw record: the channel row under the click is selected (1 ... 4);
    // - histogram: a press on a velocity layer's bottom line (x 301 ... 699,
    //   closer than 5 units) starts dragging it.
    void pressLeft(QPoint p);
    // Mouse moved to `p`: while the button is down, the time cursor follows
    // in the multi-trace, single-trace and spectrum modes; in the histogram
    // the depth cursor follows right of x = 700 and a dragged boundary's
    // line follows in the column, held inside its layer's neighbours.
    void moveMouse(QPoint p);
    // Left button released at `p` (ignored without a press): the time cursor
    // moves there in the waveform modes; in the histogram the depth cursor
    // right of x = 700, and a dragged boundary released in the column is
    // moved to the held position. A drag released outside the column is
    // dropped. True when a layer boundary moved (the survey changed).
    bool releaseLeft(QPoint p);
    // Arrow keys (Qt::Key): Left -1, Right +1, Up -10, Down +10 units of the
    // time cursor, or of the depth cursor in the histogram. False for other
    // keys and in the time-distance chart, which has no cursor.
    bool pressKey(int key);
    // The menu a right click opens: none without points or in the spectrum
    // and time-distance modes.
    std::optional<ContextMenuId> releaseRight() const;

    // The mouse rests on a boundary that a press would grab (histogram).
    bool overBoundary(QPoint p) const;

    bool buttonDown() const { return m_buttonDown; }
    // The velocity layer (0-based) whose bottom is being dragged, or -1.
    int draggedLayer() const { return m_draggedLayer; }
    // y of the dragged boundary's line, or -1 when nothing is dragged.
    int dragLineY() const { return m_draggedLayer < 0 ? -1 : m_dragY; }
    // Drops a drag without moving anything (mode change, survey replaced).
    void cancelDrag();

private:
    SurveyData &m_survey;
    ViewState &m_view;
    bool m_buttonDown = false;
    int m_draggedLayer = -1;
    int m_dragY = -1;
};

} // namespace talvex
