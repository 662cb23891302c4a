#pragma once
// The zoom of the main view: a factor on the logical units (100 per inch at
// scale 1). It starts from the settings value "视图比例" (percent) and goes
// back there as trunc(scale x 100), so that three steps down from 75 % store
// 59: 0.75 - 3 x 0.05 in double precision lies just below 0.6.

namespace talvex {

class ViewZoom {
public:
    static constexpr double kStep = 0.05;
    // A scale of 0 or below gives no usable display; the lowest scale is 5 %.
    static constexpr double kLowest = 0.05;
    // Scroll ranges are whole pixels: a 32767-point multi-trace scene stays
    // far inside them up to this scale (2000 %).
    static constexpr double kHighest = 20.0;

    // From the stored percentage, held within kLowest ... kHighest.
    explicit ViewZoom(int percent = 75);

    double scale() const { return m_scale; }
    // What is stored back: trunc(scale x 100).
    int percent() const;

    // "视图放大 5%" / "视图缩小 5%": scale +/- 0.05, held within the bounds.
    // False when the scale did not change (already at a bound).
    bool zoomIn();
    bool zoomOut();

private:
    bool setScale(double scale);

    double m_scale = 0.75;
};

} // namespace talvex
