#pragma once
// The selections and cursors of the main view that the commands act on. The
// view owns one; logic takes it by reference so that it is tested without a
// window, and the command-line tool builds one for each command.

#include <cstddef>

namespace talvex {

// The context menu a right click in the view opens (the number the view
// requests it by): the waveform menu in the multi- and single-trace views,
// the layer menu in the velocity histogram, the raw-record menu.
enum class ContextMenuId { Waveforms = 0, Histogram = 1, RawRecord = 2 };

enum class DisplayMode {
    MultiTrace = 0,
    SingleTrace = 1,
    RawRecord = 2,
    VelocityHistogram = 3,
    Spectrum = 4,
    TimeDistance = 5,
};

inline constexpr int kWaveformOriginX = 100; // x0: the waveform area starts here
inline constexpr int kWaveformOriginY = 20; // y0
inline constexpr int kDepthAxisOrigin = 100; // histogram y of depth 0
inline constexpr int kDepthAxisScale = 50; // histogram units per metre

struct ViewState {
    DisplayMode mode = DisplayMode::MultiTrace;
    int currentPoint = 1; // 1-based; point k is element k - 1 of the point list
    int selectedTrace = 0; // 0 positive, 1 negative
    int selectedChannel = 1; // raw-record channel 1...4
    int cursorX = 200; // time cursor, logical units
    int depthCursor = 102; // histogram depth cursor y, logical units

    bool operator==(const ViewState &) const = default;

    // Sample index under the time cursor.
    int cursorSample() const { return cursorX - kWaveformOriginX; }
    // The view shows waveforms (multi-trace, single-trace or raw record).
    bool showsWaveforms() const
    {
        return mode == DisplayMode::MultiTrace || mode == DisplayMode::SingleTrace || mode == DisplayMode::RawRecord;
    }
    bool inPointMode() const { return mode == DisplayMode::MultiTrace || mode == DisplayMode::SingleTrace; }
    // Single and multi-trace display switch into each other only while
    // points are shown and there are some.
    bool canToggleSingleTrace(std::size_t pointCount) const { return pointCount > 0 && inPointMode(); }
};

// Histogram y of a depth in metres: 100 + trunc(50 x depth).
inline int depthToCursorY(float depth)
{
    return kDepthAxisOrigin + int(float(kDepthAxisScale) * depth);
}

// Depth in metres of a histogram y.
inline float cursorYToDepth(int y)
{
    return float(y - kDepthAxisOrigin) / float(kDepthAxisScale);
}

} // namespace talvex
