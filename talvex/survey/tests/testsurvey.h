#pragma once
// A survey with every field set to something recognisable, for round trips.

#include "common/fixedtext.h"
#include "talvex/survey/surveydata.h"

namespace talvex::testing {

inline DiChengOne makeLayer(float top, float bottom, float velocity, std::uint8_t pattern, const char *text)
{
    DiChengOne l;
    l.top = top;
    l.bottom = bottom;
    l.velocity = velocity;
    l.pattern = pattern;
    l.reserved = {1, 2, 3, 4, 5, 6, 7};
    common::storeFixedText(l.description, text);
    return l;
}

inline TlvOne makePoint(float depth, std::int16_t seed)
{
    TlvOne p = TlvOne::newPoint(1.5f);
    p.sArrival = std::int16_t(100 + seed);
    p.pArrival = std::int16_t(50 + seed);
    p.rArrival = std::int16_t(200 + seed);
    p.reserved1 = std::int16_t(-7 - seed);
    p.depth = depth;
    p.interval = 25.0f;
    p.delay = 3.0f;
    p.pointVelocity = 163.6f;
    p.equivVelocity = 151.25f;
    p.crossDistance = 2.5f;
    p.gain = 10;
    p.reserved2 = {9, 8, 7, 6, 5, std::uint8_t(seed)};
    for (int i = 0; i < kTraceLength; ++i) {
        p.positive[std::size_t(i)] = std::int16_t((i * 37 + seed) % 65536 - 32768);
        p.negative[std::size_t(i)] = std::int16_t(-(i * 11 + seed) % 30000);
    }
    return p;
}

inline SurveyData makeSurvey()
{
    SurveyData s;
    s.header.method = 0;
    common::storeFixedText(s.header.testDate, "2026-12-7");
    common::storeFixedText(s.header.projectName, "\xca\xbe\xc0\xfd project");
    common::storeFixedText(s.header.holeNumber, "ZK1-0123456789012345678901234567890123456789"); // fills all 40 bytes
    common::storeFixedText(s.header.personnel, "tester");
    s.header.holeDepth = 30.0f;
    s.header.siteVelocity = 192.0f;
    s.header.overburden = 25.5f;
    s.header.computationDepth = 20.0f;
    s.logLayers = {makeLayer(0, 3, 0, 241, "fill"), makeLayer(3, 8, 0, 12, "clay")};
    s.layers = {makeLayer(0, 5, 163.6f, 0, "layer one"), makeLayer(5, 12, 250.0f, 3, "layer two"),
                makeLayer(12, 30, 320.0f, 0, "layer three")};
    for (int i = 0; i < 4; ++i)
        s.points.push_back(makePoint(float(i + 1), std::int16_t(i)));
    return s;
}

} // namespace talvex::testing
