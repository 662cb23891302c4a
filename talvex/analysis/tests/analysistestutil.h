#pragma once
// Small surveys for the analysis tests.

#include "talvex/survey/surveydata.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

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

// A single hole with the source at the hole (slant = depth) and points
// picked so that each interval from the next shallower point is crossed at
// the given velocity: sArrival 1 at 1 ms a sample, the rest of the travel
// time in the delay. Listed in the order given; pointVelocity is set too.
inline SurveyData pickedProfile(std::initializer_list<std::pair<float, float>> depthVelocity)
{
    std::vector<std::pair<float, float>> sorted(depthVelocity);
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    SurveyData s;
    s.header.sourceDistance = 0.0f;
    for (const auto &[depth, velocity] : depthVelocity) {
        double time = 0.0;
        double previous = 0.0;
        for (const auto &[d, v] : sorted) {
            time += (double(d) - previous) / double(v) * 1000.0;
            previous = d;
            if (d == depth)
                break;
        }
        TlvOne p = point({depth, 1, 1000.0f, float(time - 1.0)});
        p.pointVelocity = velocity;
        s.points.push_back(p);
    }
    return s;
}

// Appends points every metre from `from` to `to` m, picked as in
// pickedProfile with each new interval crossed at `velocity` (0: not picked).
inline void addPickedRun(SurveyData &s, int from, int to, float velocity)
{
    s.header.sourceDistance = 0.0f;
    double time = 0.0;
    double previous = 0.0;
    for (const TlvOne &p : s.points) {
        if (p.sArrival > 0) {
            time = p.travelTime();
            previous = p.depth;
        }
    }
    for (int d = from; d <= to; ++d) {
        TlvOne p = TlvOne::newPoint(0.0f);
        p.depth = float(d);
        p.interval = 1000.0f;
        if (velocity > 0.0f) {
            time += (double(d) - previous) / double(velocity) * 1000.0;
            previous = d;
            p.sArrival = 1;
            p.delay = float(time - 1.0);
            p.pointVelocity = velocity;
        }
        s.points.push_back(p);
    }
}

inline DiChengOne layer(float top, float bottom)
{
    DiChengOne l;
    l.top = top;
    l.bottom = bottom;
    return l;
}

} // namespace talvex::testing
