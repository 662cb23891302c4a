#pragma once
// The survey: one borehole shear-wave test held in memory. Its records keep
// the field order and widths of the document file, so the file code reads and
// writes them field by field without any translation of meaning.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace talvex {

constexpr int kTraceLength = 1024;     // samples in a point's trace
constexpr int kMaxRecordCount = 32767; // counts are stored as signed 16-bit numbers

// Hole and site parameters and the two site results.
struct SurveyHeader {
    std::uint8_t method = 0; // 0 = single hole (downhole), anything else = cross hole
    std::array<char, 16> testDate{};    // GBK text, free form
    std::array<char, 80> projectName{}; // GBK text
    std::array<char, 40> holeNumber{};  // GBK text
    std::array<char, 40> personnel{};   // GBK text; its label is SurveyData::personnelLabel
    float holeDepth = 50.0f;            // m; raised when a deeper point is entered
    float pointSpacing = 1.0f;          // m
    float sourceDistance = 1.5f;        // m, horizontal offset of the source from the hole
    float plankLength = 1.2f;           // m
    float siteVelocity = 0.0f;          // m/s, equivalent velocity over computationDepth
    float overburden = 20.0f;           // m, 0...200
    float computationDepth = 20.0f;     // m, 0...200

    bool isSingleHole() const { return method == 0; }
};

using Trace = std::array<std::int16_t, kTraceLength>;

// One measuring point: a receiver depth with the traces of a positive and a
// negative hammer blow. Arrivals are sample indices into the traces.
struct TlvOne {
    std::int16_t sArrival = 0; // samples; 0 = not picked
    std::int16_t pArrival = 0; // samples
    std::int16_t rArrival = 0; // samples
    std::int16_t reserved1 = 0;
    float depth = 0.0f;         // m
    float interval = 0.0f;      // µs, sample interval
    float delay = 0.0f;         // ms, time of sample 0 after the trigger
    float pointVelocity = 0.0f; // m/s
    float equivVelocity = 0.0f; // m/s
    float crossDistance = 0.0f; // m, source-receiver distance of the cross-hole method
    std::int16_t gain = 0;
    std::array<std::uint8_t, 6> reserved2{};
    Trace positive{};
    Trace negative{};

    // A point as insert and New create it: all zero but the cross distance
    // (the hole's source distance) and a gain of 1.
    static TlvOne newPoint(float sourceDistance);

    // Travel time of the S-wave arrival in ms after the trigger. The product
    // is rounded to a 32-bit float before the delay is added.
    float travelTime() const;
};

// One layer, of the survey log or of the velocity layers.
struct DiChengOne {
    float top = 0.0f;      // m
    float bottom = 0.0f;   // m
    float velocity = 0.0f; // m/s (velocity layers only)
    std::uint8_t pattern = 0; // column-chart pattern: 0...82 built in, 241...245 user, 0 = none
    std::array<std::uint8_t, 7> reserved{};
    std::array<char, 160> description{}; // GBK text, at most 159 bytes and a zero
};

// The one survey of the program. The arrays are public: operations copy an
// element out, change it and store it back. Code that adds elements checks
// canAdd() first, since the document file stores the counts as 16-bit numbers.
class SurveyData {
public:
    SurveyHeader header;
    std::vector<DiChengOne> logLayers; // survey-log layers
    std::vector<DiChengOne> layers;    // velocity layers
    std::vector<TlvOne> points;        // measuring points, in the order the user built them
    bool modified = false;

    // Settings that are not stored in the document.
    int microtremorTest = 0; // the "microtremor test" check box of the hole dialog
    int personnelLabel = 1;  // 0 tester, 1 testing organisation, 2 instrument

    // Called by markModified so that the document window can show the change.
    std::function<void()> modifiedListener;

    // Every editing operation ends with this.
    void markModified();
    // Empties the three arrays.
    void clearAll();

    template <typename T>
    static bool canAdd(const std::vector<T> &list, std::size_t more = 1)
    {
        return list.size() + more <= std::size_t(kMaxRecordCount);
    }
};

// The process-wide survey that the program's window, dialogs and commands share.
SurveyData &theSurvey();

} // namespace talvex
