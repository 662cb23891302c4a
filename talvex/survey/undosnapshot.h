#pragma once
// One level of undo for the point data: the hole parameters, both layer
// lists and all points, taken before a destructive operation and put back by
// Undo. The site results (siteVelocity, overburden, computationDepth) are
// not part of it. There is no redo.

#include "talvex/survey/surveydata.h"

#include <vector>

namespace talvex {

class UndoSnapshot {
public:
    // Replaces any earlier snapshot with the current state of `survey`.
    void TakeUndoSnapshot(const SurveyData &survey);
    // Puts the snapshot back into `survey` and consumes it, telling the
    // survey's listener (notifyChanged). The modified flag is left as it is.
    // Returns false when no snapshot was available.
    bool Undo(SurveyData &survey);

    bool available() const { return m_available; }

private:
    HoleParameters m_hole; // restored from method to plankLength
    std::vector<DiChengOne> m_logLayers;
    std::vector<DiChengOne> m_layers;
    std::vector<TlvOne> m_points;
    bool m_available = false;
};

} // namespace talvex
