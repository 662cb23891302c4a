#pragma once
// Small surveys for the analysis tests.

#include "talvex/survey/surveydata.h"

#include <initializer_list>

namespace talvex::testing {

// What a test gives of a point; everything else is as a new point has it.
struct PointGiven {
    float depth = 0.0f;
    int sArrival = 0;
    float interval = 1000.0f; // µs: one sample per ms keeps the times readable
    float delay = 0.0f;
};

inline TlvOne point(const PointGiven &given)
{
    TlvOne p = TlvOne::newPoint(1.5f);
    p.depth = given.depth;
    p.sArrival = std::int16_t(given.sArrival);
    p.interval = given.interval;
    p.delay = given.delay;
    return p;
}

// A single-hole survey with the source at `sourceDistance` and the given points.
inline SurveyData survey(float sourceDistance, std::initializer_list<PointGiven> points)
{
    SurveyData s;
    s.header.sourceDistance = sourceDistance;
    for (const PointGiven &given : points)
        s.points.push_back(point(given));
    return s;
}

// Points with given depths and point velocities only (for layer and site
// velocities, which read nothing else).
inline SurveyData velocityProfile(std::initializer_list<std::pair<float, float>> depthVelocity)
{
    SurveyData s;
    for (const auto &[depth, velocity] : depthVelocity) {
        TlvOne p = TlvOne::newPoint(1.5f);
        p.depth = depth;
        p.pointVelocity = velocity;
        s.points.push_back(p);
    }
    return s;
}

inline DiChengOne layer(float top, float bottom)
{
    DiChengOne l;
    l.top = top;
    l.bottom = bottom;
    return l;
}

} // namespace talvex::testing
