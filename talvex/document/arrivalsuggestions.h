#pragma once
// The automatic S-wave arrival suggestions of the window (自动拾取建议): shown
// or hidden, and while shown one suggestion per point (SuggestArrivals),
// computed on a worker thread so that the window never waits for them.
//
// The suggestions depend on the points' traces, sample intervals, depths and
// delays and on the hole's geometry only. The document calls pointsChanged()
// after every change of the points or the header; the
// suggestions then compare a fingerprint of every point with the one its
// suggestion was computed from, keep the suggestions of unchanged points
// (shifted when points were inserted or deleted) and compute again only the
// changed points and the neighbours whose suggestions depend on them. A pick
// changes no fingerprint and computes nothing; an edit of one trace
// computes a few points, not the survey.
//
// The suggestions are handed out as immutable snapshots: a computation
// publishes a new snapshot and never changes one already handed out, so a
// snapshot held across an edit stays valid (it describes the survey as it
// was). Points still being computed have no suggestion and the reason
// kSuggestionPending; updated() is emitted whenever a snapshot is published.
// Points nearest the focus point (the current point) are computed first.
//
// Qt Core only.

#include "talvex/analysis/autopick.h"

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

namespace talvex {

class SurveyData;

extern const char *const kSuggestionPending; // "正在计算"

class ArrivalSuggestions : public QObject {
    Q_OBJECT

public:
    using Snapshot = std::shared_ptr<const std::vector<ArrivalSuggestion>>;

    // Suggestions for the points of `survey`, which must outlive this object.
    explicit ArrivalSuggestions(const SurveyData &survey, QObject *parent = nullptr);
    // Stops the worker and waits for it.
    ~ArrivalSuggestions() override;

    bool shown() const { return m_shown; }
    // Shows them (starting the computation) or hides them (dropping what
    // was computed and stopping the worker).
    void setShown(bool shown);
    // After any change of the points (the document calls it). Cheap: the
    // comparison runs on the next question or turn of the event loop.
    void pointsChanged();
    // The point (0-based) whose neighbourhood is computed first.
    void setFocusPoint(int index) { m_focus = index; }

    // One suggestion per point, in list order; empty while hidden. Never null.
    Snapshot current() const;
    // The suggestion of point `index` (0-based); none while hidden or for an
    // index that is not a point. A point still being computed has one that
    // is not found, with the reason kSuggestionPending.
    std::optional<ArrivalSuggestion> forPoint(int index) const;
    // Whether any point has a suggestion of at least `minQuality`.
    bool anyAcceptable(double minQuality) const;
    // Whether some points are still being computed.
    bool computing() const;
    // Processes the worker's results until every point has its suggestion;
    // false when `timeoutMs` (-1: no limit) ran out first.
    bool waitUntilComplete(int timeoutMs = -1) const;

    // What the status bar says about the current point (1-based) while the
    // suggestions are shown: its suggestion's time and quality, or why it
    // has none. Empty while hidden or for a number that is not a point.
    QString statusText(int currentPoint) const;

    // How many point suggestions were computed and published in all.
    int computedPoints() const { return m_computedPoints; }

signals:
    void updated();

private:
    struct Chunk;
    void check() const;
    void startComputing() const;
    void takeResults(int generation, int first, std::vector<ArrivalSuggestion> results);
    void publish(std::vector<ArrivalSuggestion> suggestions, std::vector<char> pending) const;

    const SurveyData &m_survey;
    bool m_shown = false;
    int m_focus = 0;
    mutable bool m_dirty = true;
    mutable bool m_checkQueued = false;
    mutable Snapshot m_snapshot;
    mutable std::vector<char> m_pending; // per point: still to be computed
    mutable std::vector<std::size_t> m_fingerprints; // per point, of the snapshot's survey
    mutable std::size_t m_geometry = 0; // suggestionGeometryFingerprint of the snapshot's survey
    mutable int m_pendingCount = 0;
    int m_computedPoints = 0;
    // Raised by every new computation and by hiding: a worker whose
    // generation is no longer current stops and its results are dropped.
    std::shared_ptr<std::atomic<int>> m_generation = std::make_shared<std::atomic<int>>(0);
    mutable QThreadPool m_pool;
};

// The fingerprint of what a point's suggestion is computed from: its traces,
// sample interval, depth and delay (the last two place its time on the
// travel-time curve its neighbours are timed with).
std::size_t suggestionInputFingerprint(const TlvOne &point);
// The fingerprint of the hole's geometry the suggestions read: the method
// and the source distance.
std::size_t suggestionGeometryFingerprint(const SurveyData &survey);

// How far a point's traces reach into its neighbours' suggestions: each
// point is timed with the suggestions of kNeighbourReach points on either
// side (the cache test compares the pieces with the whole survey).
inline constexpr int kSuggestionReach = kNeighbourReach;

} // namespace talvex
