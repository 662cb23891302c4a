#pragma once
// The main view painted into an image without a window: what the view shows
// in one display mode, the whole scroll area on a white background. The
// command-line tool writes it to a file; tests look at its pixels. Text
// needs a QGuiApplication (the offscreen platform will do).

#include "talvex/settings/viewstate.h"

#include <QImage>
#include <QString>
#include <optional>

namespace talvex {
class SurveyData;
struct FieldRecord;
} // namespace talvex

namespace talvex::charts {

class SoilPatternSet;

struct RenderOptions {
    DisplayMode mode = DisplayMode::MultiTrace;
    int point = 1; // current point, 1 ... count (any value when the survey has no points)
    int trace = 0; // selected trace: 0 positive, 1 negative
    int channel = 1; // raw-record channel 1 ... 4
    int cursorX = 200; // time cursor x, logical units (clamped as the view clamps it)
    int depthCursor = 102; // histogram depth cursor y, logical units (clamped likewise)
    double scale = 1.0; // the view's zoom factor, 0.05 ... 10
    int dpi = 100; // pixels per inch; at scale 1 and 100 dpi one logical unit is one pixel
    int curveName = 0; // velocity curve title: 0 Vs, 1 Vp
    SoilPatternSet *patterns = nullptr; // null: the patterns beside the running program
};

// The image of the view in `options.mode`: the raw record in mode 2 is
// shown uncompressed; mode 4 shows the spectrum of the current point's
// selected trace (the same computation as the view's spectrum command).
// Returns nothing and sets `error` (when given) for options the view cannot
// show: a point outside 1 ... count, a trace other than 0/1, a channel
// outside 1 ... 4, a scale outside 0.05 ... 10, a dpi outside 10 ... 1200, the
// spectrum of a survey without points, or an image larger than 32768 pixels
// on a side or 1 GiB in all.
std::optional<QImage> renderView(const SurveyData &survey, const FieldRecord &record, const RenderOptions &options,
                                 QString *error);

} // namespace talvex::charts
