#pragma once
// One level of undo for the point data: the hole parameters, both layer
// lists and all points, taken before a destructive operation and put back by
// Undo. The site results (siteVelocity, overburden, computationDepth) are
// not part of it. There is no redo.

#include "talvex/survey/surveydata.h"

#include <array>
#include <vector>

namespace talvex {

class UndoSnapshot {
public:
    // Replaces any earlier snapshot with the current state of `survey`.
    void TakeUndoSnapshot(const SurveyData &survey);
    // Puts the snapshot back into `survey` and consumes it. The modified
    // flag is left as it is. Returns false when no snapshot was available.
    bool Undo(SurveyData &survey);

    bool available() const { return m_available; }

private:
    struct HeaderPart {
        std::uint8_t method = 0;
        std::array<char, 16> testDate{};
        std::array<char, 80> projectName{};
        std::array<char, 40> holeNumber{};
        std::array<char, 40> personnel{};
        float holeDepth = 0.0f;
        float pointSpacing = 0.0f;
        float sourceDistance = 0.0f;
        float plankLength = 0.0f;
    };
    HeaderPart m_header;
    std::vector<DiChengOne> m_logLayers;
    std::vector<DiChengOne> m_layers;
    std::vector<TlvOne> m_points;
    bool m_available = false;
};

} // namespace talvex
