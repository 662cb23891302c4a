#pragma once
// The automatic S-wave arrival suggestions of the window (自动拾取建议): shown
// or hidden, and while shown one suggestion per point (SuggestArrivals).
// Nothing in the survey changes until a suggestion is accepted.
//
// The suggestions depend on the points' traces and sample intervals only.
// The document calls pointsChanged() after every change of the points; the
// next question then compares a fingerprint of the traces with the one the
// suggestions were computed from and computes them again only when the
// traces differ. So accepting a pick (which changes arrivals and velocities
// only) keeps them, while an edit, an import, an undo or a new point
// recomputes them. Computing is lazy and cached: the const queries below may
// compute.
//
// Qt Core only.

#include "talvex/analysis/autopick.h"

#include <QString>
#include <cstddef>
#include <vector>

namespace talvex {

class SurveyData;

class ArrivalSuggestions {
public:
    bool shown() const { return m_shown; }
    // Shows or hides them; hiding drops what was computed.
    void setShown(bool shown);
    // After any change of the points (the document calls it).
    void pointsChanged() { m_checkTraces = true; }

    // One suggestion per point of `survey`, in list order; empty while hidden.
    const std::vector<ArrivalSuggestion> &current(const SurveyData &survey) const;
    // The suggestion of point `index` (0-based); null while hidden or for an
    // index that is not a point.
    const ArrivalSuggestion *forPoint(const SurveyData &survey, int index) const;
    // Whether any point has a suggestion of at least `minQuality`.
    bool anyAcceptable(const SurveyData &survey, double minQuality) const;

    // What the status bar says about the current point (1-based) while the
    // suggestions are shown: its suggestion's time and quality, or why it
    // has none. Empty while hidden or for a number that is not a point.
    QString statusText(const SurveyData &survey, int currentPoint) const;

    // How many times the suggestions were computed.
    int computations() const { return m_computations; }

private:
    bool m_shown = false;
    mutable bool m_checkTraces = true;
    mutable bool m_computed = false;
    mutable std::size_t m_fingerprint = 0;
    mutable std::vector<ArrivalSuggestion> m_suggestions;
    mutable int m_computations = 0;
};

// The fingerprint of what the suggestions are computed from: every point's
// traces and sample interval, and the point count.
std::size_t suggestionInputFingerprint(const SurveyData &survey);

} // namespace talvex
