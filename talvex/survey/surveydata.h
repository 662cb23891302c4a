#pragma once
// The survey: one borehole shear-wave test held in memory. Its records keep
// the field order and widths of the document file, so the file code reads and
// writes them field by field without any translation of meaning.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace talvex {

constexpr int kTraceLength = 1024; // samples in a point's trace
constexpr int kMaxRecordCount = 32767; // counts are stored as signed 16-bit numbers

// The hole and site parameters: what the hole dialog edits, New builds a
// survey from and the header stores (texts as GBK bytes in their fixed
// fields). The undo snapshot keeps the fields from `method` to
// `plankLength`. The last two are settings of the running program that the
// document file does not hold.
struct HoleParameters {
    std::uint8_t method = 0; // 0 = single hole (downhole), anything else = cross hole
    std::array<char, 16> testDate{}; // GBK text, free form
    std::array<char, 80> projectName{}; // GBK text
    std::array<char, 40> holeNumber{}; // GBK text
    std::array<char, 40> personnel{}; // GBK text; its label is personnelLabel
    float holeDepth = 50.0f; // m; raised when a deeper point is entered
    float pointSpacing = 1.0f; // m
    float sourceDistance = 1.5f; // m, horizontal offset of the source from the hole
    float plankLength = 1.2f; // m
    float overburden = 20.0f; // m, 0...200
    float computationDepth = 20.0f; // m, 0...200

    int microtremorTest = 0; // the "microtremor test" check box of the hole dialog
    int personnelLabel = 1; // 0 tester, 1 testing organisation, 2 instrument

    bool isSingleHole() const { return method == 0; }
    bool operator==(const HoleParameters &) const = default;
};

// The document's header: the hole parameters and the site's equivalent
// velocity computed over computationDepth.
struct SurveyHeader : HoleParameters {
    float siteVelocity = 0.0f; // m/s
};

using Trace = std::array<std::int16_t, kTraceLength>;

// One measuring point: a receiver depth with the traces of a positive and a
// negative hammer blow. Arrivals are sample indices into the traces.
struct TlvOne {
    std::int16_t sArrival = 0; // samples; 0 = not picked
    std::int16_t pArrival = 0; // samples
    std::int16_t rArrival = 0; // samples
    std::int16_t reserved1 = 0;
    float depth = 0.0f; // m
    float interval = 0.0f; // µs, sample interval
    float delay = 0.0f; // ms, time of sample 0 after the trigger
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
    float top = 0.0f; // m
    float bottom = 0.0f; // m
    float velocity = 0.0f; // m/s (velocity layers only)
    std::uint8_t pattern = 0; // column-chart pattern: 0...82 built in, 241...245 user, 0 = none
    std::array<std::uint8_t, 7> reserved{};
    std::array<char, 160> description{}; // GBK text, at most 159 bytes and a zero
};

// The parts of a survey that a change touches, so that whoever shows the
// survey redraws only what changed. Combine with |.
enum class SurveyParts : unsigned {
    None = 0,
    Header = 1, // SurveyHeader, including the site results
    LogLayers = 2, // the survey log
    Layers = 4, // the velocity layers
    Points = 8,
    All = 15,
};

constexpr SurveyParts operator|(SurveyParts a, SurveyParts b)
{
    return SurveyParts(unsigned(a) | unsigned(b));
}

// True when `parts` includes any of `these`.
constexpr bool touches(SurveyParts parts, SurveyParts these)
{
    return (unsigned(parts) & unsigned(these)) != 0;
}

// A survey (the window's is owned by its SurveyDocument; talvex-cli reads
// one per command). The arrays are public: operations copy an
// element out, change it and store it back. Code that adds elements checks
// canAdd() first, since the document file stores the counts as 16-bit numbers.
//
// Every change ends in one of the three notifying calls below (markModified,
// notifyChanged, setModified), which tell changeListener; nothing sets the
// modified flag any other way, so whoever shows the survey is never stale.
class SurveyData {
public:
    SurveyData() = default;
    // A copy is a survey of its own: it does not tell the listener of the
    // survey it was copied from. Assigning keeps this survey's listener and tells it nothing
    // (the caller announces what it replaced).
    SurveyData(const SurveyData &other);
    SurveyData(SurveyData &&other) noexcept;
    SurveyData &operator=(const SurveyData &other);
    SurveyData &operator=(SurveyData &&other) noexcept;

    SurveyHeader header;
    std::vector<DiChengOne> logLayers; // survey-log layers
    std::vector<DiChengOne> layers; // velocity layers
    std::vector<TlvOne> points; // measuring points, in the order the user built them

    // Told of every change with the parts it touched (None when only the
    // modified flag changed). The document installs it; may be empty.
    std::function<void(SurveyParts)> changeListener;

    // Every editing operation ends with this: sets the modified flag and
    // tells the listener which parts changed.
    void markModified(SurveyParts parts = SurveyParts::All);
    // The parts were replaced without this being an edit of the user (a load,
    // an undo): tells the listener, leaves the modified flag.
    void notifyChanged(SurveyParts parts);
    // Sets or clears the modified flag (a store clears it); tells the
    // listener when the flag changes.
    void setModified(bool modified);
    bool isModified() const { return m_modified; }
    // Empties the three arrays.
    void clearAll();

    template <typename T>
    static bool canAdd(const std::vector<T> &list, std::size_t more = 1)
    {
        return list.size() + more <= std::size_t(kMaxRecordCount);
    }

private:
    bool m_modified = false;
};

} // namespace talvex
