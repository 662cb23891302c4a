#include "talvex/document/arrivalsuggestions.h"

#include "talvex/survey/surveydata.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHash>
#include <QMetaObject>
#include <QPointer>
#include <QRunnable>
#include <QThread>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace talvex {

const char *const kSuggestionPending = "正在计算";

namespace {

// Points computed in one piece of work: small enough that the first markers
// appear at once and a new edit stops the worker soon, large enough that the
// context around each piece costs little.
constexpr int kChunkPoints = 48;

} // namespace

// A piece of work: the suggestions of points [first, last) computed over a
// copy of the points [contextFirst, contextLast) around them.
struct ArrivalSuggestions::Chunk {
    int first = 0;
    int last = 0;
    int contextFirst = 0;
    SurveyData context;
};

std::size_t suggestionInputFingerprint(const TlvOne &point)
{
    std::size_t seed = qHashBits(point.positive.data(), sizeof(point.positive[0]) * point.positive.size());
    seed = qHashBits(point.negative.data(), sizeof(point.negative[0]) * point.negative.size(), seed);
    return qHashMulti(seed, point.interval, point.depth, point.delay);
}

std::size_t suggestionGeometryFingerprint(const SurveyData &survey)
{
    return qHashMulti(0, survey.header.method, survey.header.sourceDistance);
}

ArrivalSuggestions::ArrivalSuggestions(const SurveyData &survey, QObject *parent)
    : QObject(parent), m_survey(survey), m_snapshot(std::make_shared<const std::vector<ArrivalSuggestion>>())
{
    m_pool.setMaxThreadCount(1);
}

ArrivalSuggestions::~ArrivalSuggestions()
{
    ++*m_generation;
    m_pool.waitForDone();
}

void ArrivalSuggestions::setShown(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    ++*m_generation;
    m_pending.clear();
    m_fingerprints.clear();
    m_pendingCount = 0;
    m_snapshot = std::make_shared<const std::vector<ArrivalSuggestion>>();
    m_dirty = true;
    if (shown)
        check();
}

void ArrivalSuggestions::pointsChanged()
{
    m_dirty = true;
    if (!m_shown || m_checkQueued)
        return;
    // Compared on the next turn of the event loop, once for a burst of changes.
    m_checkQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_checkQueued = false;
            check();
        },
        Qt::QueuedConnection);
}

void ArrivalSuggestions::check() const
{
    if (!m_shown || !m_dirty)
        return;
    m_dirty = false;
    const std::vector<TlvOne> &points = m_survey.points;
    const std::size_t n = points.size();
    std::vector<std::size_t> fingerprints(n);
    for (std::size_t i = 0; i < n; ++i)
        fingerprints[i] = suggestionInputFingerprint(points[i]);
    // Every point's time on the travel-time curve depends on the hole's
    // geometry: when it changes, nothing computed before is kept.
    const std::size_t geometry = suggestionGeometryFingerprint(m_survey);
    if (geometry != m_geometry) {
        m_geometry = geometry;
        m_fingerprints.clear();
    }

    // The changed run lies between the longest common head and tail of the
    // old and new fingerprints; the rest keeps its suggestions.
    const std::vector<std::size_t> &old = m_fingerprints;
    const std::size_t m = old.size();
    std::size_t head = 0;
    while (head < std::min(n, m) && old[head] == fingerprints[head])
        ++head;
    std::size_t tail = 0;
    while (tail < std::min(n, m) - head && old[m - 1 - tail] == fingerprints[n - 1 - tail])
        ++tail;
    if (head == n && n == m && m_snapshot->size() == n)
        return; // nothing that the suggestions read changed

    const std::vector<ArrivalSuggestion> &before = *m_snapshot;
    std::vector<ArrivalSuggestion> suggestions(n);
    std::vector<char> pending(n, 1);
    const bool reusable = before.size() == m && m_pending.size() == m;
    if (reusable) {
        for (std::size_t i = 0; i < head; ++i) {
            suggestions[i] = before[i];
            pending[i] = m_pending[i];
        }
        for (std::size_t k = 0; k < tail; ++k) {
            suggestions[n - 1 - k] = before[m - 1 - k];
            pending[n - 1 - k] = m_pending[m - 1 - k];
        }
        // Neighbours within the picker's reach depend on the changed run too.
        const std::size_t from = head >= std::size_t(kSuggestionReach) ? head - kSuggestionReach : 0;
        const std::size_t to = std::min(n, n - tail + kSuggestionReach);
        for (std::size_t i = from; i < to; ++i)
            pending[i] = 1;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (pending[i]) {
            suggestions[i] = ArrivalSuggestion{};
            suggestions[i].reason = QString::fromUtf8(kSuggestionPending);
        }
    }
    m_fingerprints = std::move(fingerprints);
    publish(std::move(suggestions), std::move(pending));
    startComputing();
}

void ArrivalSuggestions::publish(std::vector<ArrivalSuggestion> suggestions, std::vector<char> pending) const
{
    m_pendingCount = int(std::count(pending.begin(), pending.end(), char(1)));
    m_pending = std::move(pending);
    m_snapshot = std::make_shared<const std::vector<ArrivalSuggestion>>(std::move(suggestions));
}

void ArrivalSuggestions::startComputing() const
{
    const int generation = ++*m_generation;
    if (m_pendingCount == 0)
        return;
    // The pending points in pieces of at most kChunkPoints, nearest the
    // focus point first, each with a copy of the points its suggestions read.
    const int n = int(m_pending.size());
    std::vector<std::shared_ptr<Chunk>> chunks;
    for (int i = 0; i < n;) {
        if (!m_pending[std::size_t(i)]) {
            ++i;
            continue;
        }
        int last = i;
        while (last < n && m_pending[std::size_t(last)] && last - i < kChunkPoints)
            ++last;
        auto chunk = std::make_shared<Chunk>();
        chunk->first = i;
        chunk->last = last;
        chunk->contextFirst = std::max(0, i - kSuggestionReach);
        const int contextLast = std::min(n, last + kSuggestionReach);
        chunk->context.header = m_survey.header;
        chunk->context.points.assign(m_survey.points.begin() + chunk->contextFirst,
                                     m_survey.points.begin() + contextLast);
        chunks.push_back(std::move(chunk));
        i = last;
    }
    const int focus = std::clamp(m_focus, 0, std::max(0, n - 1));
    std::stable_sort(chunks.begin(), chunks.end(), [focus](const auto &a, const auto &b) {
        const auto distance = [focus](const Chunk &c) {
            return focus < c.first ? c.first - focus : focus >= c.last ? focus - c.last + 1 : 0;
        };
        return distance(*a) < distance(*b);
    });

    auto current = m_generation;
    QPointer<ArrivalSuggestions> self(const_cast<ArrivalSuggestions *>(this));
    m_pool.start(QRunnable::create([chunks = std::move(chunks), current, generation, self] {
        for (const std::shared_ptr<Chunk> &chunk : chunks) {
            if (current->load() != generation)
                return;
            const std::vector<ArrivalSuggestion> all = SuggestArrivals(chunk->context);
            std::vector<ArrivalSuggestion> results(all.begin() + (chunk->first - chunk->contextFirst),
                                                   all.begin() + (chunk->last - chunk->contextFirst));
            // The object outlives the worker (its destructor waits for it).
            QMetaObject::invokeMethod(
                self.data(),
                [self, generation, first = chunk->first, results = std::move(results)]() mutable {
                    if (self)
                        self->takeResults(generation, first, std::move(results));
                },
                Qt::QueuedConnection);
        }
    }));
}

void ArrivalSuggestions::takeResults(int generation, int first, std::vector<ArrivalSuggestion> results)
{
    if (generation != m_generation->load() || !m_shown)
        return; // computed for points that have changed since
    std::vector<ArrivalSuggestion> suggestions = *m_snapshot;
    std::vector<char> pending = m_pending;
    for (std::size_t k = 0; k < results.size(); ++k) {
        const std::size_t i = std::size_t(first) + k;
        if (i >= suggestions.size())
            break;
        suggestions[i] = std::move(results[k]);
        pending[i] = 0;
    }
    m_computedPoints += int(results.size());
    publish(std::move(suggestions), std::move(pending));
    emit updated();
}

ArrivalSuggestions::Snapshot ArrivalSuggestions::current() const
{
    check();
    return m_snapshot;
}

std::optional<ArrivalSuggestion> ArrivalSuggestions::forPoint(int index) const
{
    const Snapshot all = current();
    if (index < 0 || std::size_t(index) >= all->size())
        return std::nullopt;
    return (*all)[std::size_t(index)];
}

bool ArrivalSuggestions::anyAcceptable(double minQuality) const
{
    const Snapshot all = current();
    return std::any_of(all->begin(), all->end(),
                       [minQuality](const ArrivalSuggestion &s) { return isAcceptable(s, minQuality); });
}

bool ArrivalSuggestions::computing() const
{
    check();
    return m_shown && m_pendingCount > 0;
}

bool ArrivalSuggestions::waitUntilComplete(int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs < 0 ? QDeadlineTimer::Forever : QDeadlineTimer(timeoutMs));
    while (computing()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::sendPostedEvents(const_cast<ArrivalSuggestions *>(this));
        if (computing())
            QThread::msleep(1);
    }
    return true;
}

QString ArrivalSuggestions::statusText(int currentPoint) const
{
    const std::optional<ArrivalSuggestion> suggestion = forPoint(currentPoint - 1);
    if (!suggestion)
        return {};
    if (!suggestion->found) {
        if (m_pending[std::size_t(currentPoint - 1)])
            return QString::fromUtf8("测点%1的拾取建议正在计算…").arg(currentPoint);
        return QString::fromUtf8("测点%1无拾取建议：%2").arg(currentPoint).arg(suggestion->reason);
    }
    // The time the arrival readout will show once the suggestion is taken.
    TlvOne point = m_survey.points[std::size_t(currentPoint - 1)];
    point.sArrival = std::int16_t(suggestion->sample);
    const double ms = double(point.travelTime());
    return QString::fromUtf8("测点%1拾取建议：%2ms，质量 %3")
        .arg(currentPoint)
        .arg(ms, 0, 'f', 2)
        .arg(suggestion->quality, 0, 'f', 2);
}

} // namespace talvex
