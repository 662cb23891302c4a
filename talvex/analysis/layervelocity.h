#pragma once
// Velocity of a velocity layer from the point velocities.
//
// Each point stands for the depth interval from the previous list element's
// depth (0 for the first) down to its own depth, crossed at its point
// velocity (m/s). A layer's velocity is its thickness divided by the
// vertical time (s) through those intervals, single precision.

namespace talvex {

class SurveyData;

// Velocity (m/s) of velocity layer `index` (0-based) from its top and bottom
// and the point list; nothing is stored. A layer lying wholly inside one
// point interval gets that point's velocity. When the bottom lies below the
// deepest point the time covers the layer down to that point only. A time
// that is infinite (an interval at velocity 0) or 0 (a layer below every
// point) gives 0. Returns 0 for an index outside the list.
float ComputeLayerVelocity(const SurveyData &survey, int index);

// Stores ComputeLayerVelocity into every velocity layer. This refreshes
// derived values (the view runs it whenever it shows the histogram, and
// after layers are imported) and so does not mark the survey modified.
void RefreshLayerVelocities(SurveyData &survey);

} // namespace talvex
