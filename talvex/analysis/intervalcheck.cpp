#include "talvex/analysis/intervalcheck.h"

#include "dsp/fft.h"
#include "talvex/analysis/autopick.h"
#include "talvex/survey/surveydata.h"

#include <QHashFunctions>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace talvex {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A point's S wave cut to its window: the tapered half difference over
// [begin, end) of the trace, and the width of its strongest lobe.
struct SWindow {
    bool ok = false;
    int begin = 0;
    int end = 0;
    int lobeWidth = 0; // samples: half the dominant period
    std::vector<double> samples; // end - begin values
    double energy = 0.0;
};

std::vector<double> halfDifference(const TlvOne &point)
{
    std::vector<double> h(kTraceLength);
    double mean = 0.0;
    for (int k = 0; k < kTraceLength; ++k) {
        h[std::size_t(k)] = (double(point.positive[std::size_t(k)]) - double(point.negative[std::size_t(k)])) / 2.0;
        mean += h[std::size_t(k)];
    }
    mean /= kTraceLength;
    for (double &v : h)
        v -= mean;
    return h;
}

// Three-point running mean, so that noise near a crossing does not split
// a lobe of the S wave.
std::vector<double> smoothed(const std::vector<double> &x)
{
    std::vector<double> y(x.size());
    for (std::size_t k = 0; k < x.size(); ++k) {
        const double left = k > 0 ? x[k - 1] : x[k];
        const double right = k + 1 < x.size() ? x[k + 1] : x[k];
        y[k] = (left + x[k] + right) / 3.0;
    }
    return y;
}

// The window around the strongest lobe (the run of one sign with the most
// energy): from two lobe widths before it to four after it, with cosine
// tapers one lobe width long at both ends.
SWindow sWindow(const TlvOne &point)
{
    SWindow w;
    const std::vector<double> h = halfDifference(point);
    const std::vector<double> s = smoothed(smoothed(h));
    int bestBegin = 0;
    int bestEnd = 0;
    double bestEnergy = 0.0;
    int begin = 0;
    double energy = 0.0;
    for (int k = 0; k <= kTraceLength; ++k) {
        const bool split
            = k == kTraceLength || (k > begin && (s[std::size_t(k)] > 0.0) != (s[std::size_t(begin)] > 0.0));
        if (split) {
            if (energy > bestEnergy) {
                bestEnergy = energy;
                bestBegin = begin;
                bestEnd = k;
            }
            begin = k;
            energy = 0.0;
        }
        if (k < kTraceLength)
            energy += h[std::size_t(k)] * h[std::size_t(k)];
    }
    if (bestEnergy <= 0.0)
        return w;

    const int width = std::clamp(bestEnd - bestBegin, 2, kTraceLength / 4);
    w.lobeWidth = width;
    w.begin = std::max(0, bestBegin - 2 * width);
    w.end = std::min(kTraceLength, bestEnd + 4 * width);
    const int length = w.end - w.begin;
    w.samples.resize(std::size_t(length));
    for (int k = 0; k < length; ++k) {
        const int fromEdge = std::min(k, length - 1 - k);
        const double taper = fromEdge >= width ? 1.0 : 0.5 - 0.5 * std::cos(kPi * (fromEdge + 0.5) / width);
        const double v = h[std::size_t(w.begin + k)] * taper;
        w.samples[std::size_t(k)] = v;
        w.energy += v * v;
    }
    w.ok = w.energy > 0.0;
    return w;
}

struct Alignment {
    double lag = 0.0; // samples, fractional: the lower window is this much later
    double coefficient = 0.0;
};

// The lag of `b` behind `a` (trace samples) where their cross-correlation
// is greatest, refined by a parabola through the peak and its neighbours.
// The correlation is taken through the FFT of the zero-padded windows.
Alignment align(const SWindow &a, const SWindow &b)
{
    const int na = int(a.samples.size());
    const int nb = int(b.samples.size());
    int n = 1;
    while (n < na + nb - 1)
        n *= 2;
    std::vector<float> aRe(std::size_t(n), 0.0f);
    std::vector<float> aIm(std::size_t(n), 0.0f);
    std::vector<float> bRe(std::size_t(n), 0.0f);
    std::vector<float> bIm(std::size_t(n), 0.0f);
    for (int k = 0; k < na; ++k)
        aRe[std::size_t(k)] = float(a.samples[std::size_t(k)]);
    for (int k = 0; k < nb; ++k)
        bRe[std::size_t(k)] = float(b.samples[std::size_t(k)]);
    dsp::Fft(aRe.data(), aIm.data(), n, 0);
    dsp::Fft(bRe.data(), bIm.data(), n, 0);
    // conj(A) × B: its inverse is c[m] = sum over k of a[k] b[k + m].
    for (int k = 0; k < n; ++k) {
        const float re = aRe[std::size_t(k)] * bRe[std::size_t(k)] + aIm[std::size_t(k)] * bIm[std::size_t(k)];
        const float im = aRe[std::size_t(k)] * bIm[std::size_t(k)] - aIm[std::size_t(k)] * bRe[std::size_t(k)];
        aRe[std::size_t(k)] = re;
        aIm[std::size_t(k)] = im;
    }
    dsp::Fft(aRe.data(), aIm.data(), n, 1);
    // r[shift + nb - 1] = sum over j of b[j] a[j + shift] = c[-shift], shift from -(nb-1) to na-1.
    std::vector<double> r(std::size_t(na + nb - 1), 0.0);
    for (int shift = -(nb - 1); shift < na; ++shift)
        r[std::size_t(shift + nb - 1)] = double(aRe[std::size_t(((-shift) % n + n) % n)]);
    const auto peak = std::max_element(r.begin(), r.end());
    const int i = int(peak - r.begin());
    double offset = 0.0;
    if (i > 0 && i + 1 < int(r.size())) {
        const double left = r[std::size_t(i - 1)];
        const double right = r[std::size_t(i + 1)];
        const double curvature = left - 2.0 * *peak + right;
        if (curvature < 0.0)
            offset = std::clamp(0.5 * (left - right) / curvature, -0.5, 0.5);
    }
    const double shift = double(i - (nb - 1)) + offset;
    Alignment result;
    // Sample b.begin + j aligns with a.begin + j + shift.
    result.lag = double(b.begin - a.begin) - shift;
    result.coefficient = *peak / std::sqrt(a.energy * b.energy);
    return result;
}

// Factor that makes a travel time vertical, as correctedTravelTime does.
double verticalFactor(const SurveyData &survey, const TlvOne &point)
{
    if (!survey.header.isSingleHole())
        return 1.0;
    const float x = survey.header.sourceDistance;
    const float s = std::sqrt(x * x + point.depth * point.depth);
    if (point.depth == 0.0f || s == 0.0f)
        return 0.0;
    return double(point.depth) / double(s);
}

bool hasTrace(const TlvOne &point)
{
    const auto nonZero = [](std::int16_t v) { return v != 0; };
    return std::any_of(point.positive.begin(), point.positive.end(), nonZero)
        || std::any_of(point.negative.begin(), point.negative.end(), nonZero);
}

// Sets the correlated time of `pair` from the waveforms' alignment, made
// vertical with a pick of the pair where there is one.
void placeCorrelation(const SurveyData &survey, const PairAlignment &alignment, IntervalPair &pair)
{
    if (!alignment.ok) {
        pair.problem = alignment.problem;
        return;
    }
    const TlvOne &p1 = survey.points[std::size_t(pair.upper)];
    const TlvOne &p2 = survey.points[std::size_t(pair.lower)];
    const double c1 = verticalFactor(survey, p1);
    const double c2 = verticalFactor(survey, p2);
    const double rawMs = alignment.rawMs;
    pair.correlated = true;
    pair.coefficient = alignment.coefficient;
    pair.resolutionMs = alignment.resolutionMs;
    if (p1.sArrival > 0) {
        const double t1 = p1.travelTime();
        pair.correlatedMs = c2 * (t1 + rawMs) - c1 * t1;
        pair.correlatedVertical = true;
    } else if (p2.sArrival > 0) {
        const double t2 = p2.travelTime();
        pair.correlatedMs = c2 * t2 - c1 * (t2 - rawMs);
        pair.correlatedVertical = true;
    } else {
        pair.correlatedMs = rawMs;
        pair.correlatedVertical = !survey.header.isSingleHole();
    }
}

// The alignment of points i and i + 1 from their windows (`traced`: the
// point has a trace at all).
PairAlignment alignPair(const SurveyData &survey, std::size_t i, const SWindow &a, bool upperTraced, const SWindow &b,
                        bool lowerTraced)
{
    PairAlignment pair;
    const TlvOne &p1 = survey.points[i];
    const TlvOne &p2 = survey.points[i + 1];
    const int upper = int(i + 1); // 1-based numbers for the messages
    const int lower = int(i + 2);
    if (!(p1.interval > 0.0f) || !(p2.interval > 0.0f)) {
        pair.problem = QStringLiteral("采样间隔为 0，不能对比波形");
    } else if (std::fabs(p1.interval - p2.interval) > 1.0e-3f * std::max(p1.interval, p2.interval)) {
        pair.problem = QStringLiteral("两测点采样间隔不同（%1 与 %2 µs），不能对比波形")
                           .arg(double(p1.interval))
                           .arg(double(p2.interval));
    } else if (!upperTraced || !lowerTraced) {
        pair.problem = QStringLiteral("测点 %1 没有波形").arg(upperTraced ? lower : upper);
    } else if (!a.ok || !b.ok) {
        pair.problem = QStringLiteral("测点 %1 的正反向波形相同，没有 S 波").arg(a.ok ? lower : upper);
    } else {
        const Alignment found = align(a, b);
        const double dt = double(p1.interval) / 1000.0;
        pair.ok = true;
        pair.rawMs = found.lag * dt + double(p2.delay) - double(p1.delay);
        pair.coefficient = found.coefficient;
        const double r = std::max(found.coefficient, 1.0e-6);
        const double periodMs = double(a.lobeWidth + b.lobeWidth) * dt; // the mean of the two, two lobes each
        pair.resolutionMs = std::max(periodMs / (2.0 * kPi) * std::sqrt(std::max(0.0, 1.0 - r * r)) / r, dt / 2.0);
    }
    return pair;
}

// What a point's alignment depends on: its traces, interval and delay.
std::size_t pointKey(const TlvOne &point)
{
    std::size_t key = qHashBits(point.positive.data(), sizeof(point.positive));
    key = qHashBits(point.negative.data(), sizeof(point.negative), key);
    key = qHashBits(&point.interval, sizeof(point.interval), key);
    return qHashBits(&point.delay, sizeof(point.delay), key);
}

// The windows of the points for which `wanted` is true.
void prepareWindows(const SurveyData &survey, const std::vector<bool> &wanted, std::vector<SWindow> &windows,
                    std::vector<bool> &traced)
{
    windows.assign(survey.points.size(), SWindow());
    traced.assign(survey.points.size(), false);
    for (std::size_t i = 0; i < survey.points.size(); ++i) {
        if (!wanted[i])
            continue;
        traced[i] = hasTrace(survey.points[i]);
        if (traced[i])
            windows[i] = sWindow(survey.points[i]);
    }
}

} // namespace

std::vector<PairAlignment> AlignNeighbours(const SurveyData &survey)
{
    const std::size_t count = survey.points.size();
    std::vector<SWindow> windows;
    std::vector<bool> traced;
    prepareWindows(survey, std::vector<bool>(count, true), windows, traced);
    std::vector<PairAlignment> all(count > 1 ? count - 1 : 0);
    for (std::size_t i = 0; i + 1 < count; ++i)
        all[i] = alignPair(survey, i, windows[i], traced[i], windows[i + 1], traced[i + 1]);
    return all;
}

const std::vector<PairAlignment> &NeighbourAlignments::update(const SurveyData &survey)
{
    const std::size_t count = survey.points.size();
    std::vector<std::size_t> keys(count);
    for (std::size_t i = 0; i < count; ++i)
        keys[i] = pointKey(survey.points[i]);
    m_lastAligned = 0;
    if (keys.size() != m_pointKeys.size()) {
        m_alignments = AlignNeighbours(survey);
        m_lastAligned = int(m_alignments.size());
    } else {
        // The windows of the changed points and their neighbours, once each.
        std::vector<bool> changed(count > 1 ? count - 1 : 0, false);
        std::vector<bool> wanted(count, false);
        for (std::size_t i = 0; i + 1 < count; ++i) {
            changed[i] = keys[i] != m_pointKeys[i] || keys[i + 1] != m_pointKeys[i + 1];
            if (changed[i])
                wanted[i] = wanted[i + 1] = true;
        }
        std::vector<SWindow> windows;
        std::vector<bool> traced;
        prepareWindows(survey, wanted, windows, traced);
        for (std::size_t i = 0; i + 1 < count; ++i) {
            if (!changed[i])
                continue;
            m_alignments[i] = alignPair(survey, i, windows[i], traced[i], windows[i + 1], traced[i + 1]);
            ++m_lastAligned;
        }
    }
    m_pointKeys = std::move(keys);
    return m_alignments;
}

int IntervalCheck::flaggedCount() const
{
    return int(std::count(flaggedPoints.begin(), flaggedPoints.end(), true));
}

int IntervalCheck::flaggedPairCount() const
{
    return int(std::count_if(pairs.begin(), pairs.end(), [](const IntervalPair &p) { return p.flagged; }));
}

IntervalCheck CheckIntervals(const SurveyData &survey, const std::vector<double> &uncertaintyMs,
                             const IntervalCheckOptions &options)
{
    return CheckIntervals(survey, AlignNeighbours(survey), uncertaintyMs, options);
}

IntervalCheck CheckIntervals(const SurveyData &survey, const std::vector<PairAlignment> &alignments,
                             const std::vector<double> &uncertaintyMs, const IntervalCheckOptions &options)
{
    if (alignments.size() + 1 != survey.points.size() && !survey.points.empty())
        return CheckIntervals(survey, AlignNeighbours(survey), uncertaintyMs, options);
    IntervalCheck check;
    const int count = int(survey.points.size());
    check.flaggedPoints.assign(std::size_t(count), false);
    const bool haveUncertainty = int(uncertaintyMs.size()) == count;
    const auto uncertaintyOf = [&](int i) {
        const double sample = double(survey.points[std::size_t(i)].interval) / 1000.0;
        const double given = haveUncertainty ? uncertaintyMs[std::size_t(i)] : 0.0;
        return std::max(std::isfinite(given) ? given : 0.0, sample);
    };

    for (int i = 0; i + 1 < count; ++i) {
        IntervalPair pair;
        pair.upper = i;
        pair.lower = i + 1;
        const TlvOne &p1 = survey.points[std::size_t(i)];
        const TlvOne &p2 = survey.points[std::size_t(i + 1)];
        pair.upperDepth = p1.depth;
        pair.lowerDepth = p2.depth;
        placeCorrelation(survey, alignments[std::size_t(i)], pair);

        pair.picked = p1.sArrival > 0 && p2.sArrival > 0;
        if (pair.picked) {
            const double c1 = verticalFactor(survey, p1);
            const double c2 = verticalFactor(survey, p2);
            pair.pickedMs = c2 * double(p2.travelTime()) - c1 * double(p1.travelTime());
        }
        if (!pair.correlated) {
            pair.note = pair.problem;
        } else if (!pair.picked) {
            QStringList unpicked;
            for (const int k : {i, i + 1}) {
                if (survey.points[std::size_t(k)].sArrival <= 0)
                    unpicked << QString::number(k + 1);
            }
            pair.note = QStringLiteral("测点 %1 未拾取初至，不作比较").arg(unpicked.join(QStringLiteral("、")));
        } else if (pair.coefficient < options.minCoefficient) {
            pair.note = QStringLiteral("波形相似度低，不作比较");
        } else {
            const double c2 = verticalFactor(survey, p2);
            pair.compared = true;
            pair.differenceMs = pair.correlatedMs - pair.pickedMs;
            const double u1 = uncertaintyOf(i);
            const double u2 = uncertaintyOf(i + 1);
            const double rawTolerance
                = options.coverage * std::sqrt(u1 * u1 + u2 * u2 + pair.resolutionMs * pair.resolutionMs);
            // The comparison is made on the times as recorded; the vertical
            // correction scales the difference by the lower point's factor.
            const double rawMismatch
                = alignments[std::size_t(i)].rawMs - (double(p2.travelTime()) - double(p1.travelTime()));
            pair.toleranceMs = rawTolerance * (c2 > 0.0 ? c2 : 1.0);
            pair.flagged = std::fabs(rawMismatch) > rawTolerance;
            pair.note = pair.flagged ? QStringLiteral("不一致") : QStringLiteral("一致");
        }
        check.pairs.push_back(pair);
    }

    // A point whose other pair agrees is vouched for; a flagged pair names
    // the point of it that is not.
    const auto agrees = [&](int pairIndex) {
        return pairIndex >= 0 && pairIndex < int(check.pairs.size()) && check.pairs[std::size_t(pairIndex)].compared
            && !check.pairs[std::size_t(pairIndex)].flagged;
    };
    for (int k = 0; k < int(check.pairs.size()); ++k) {
        if (!check.pairs[std::size_t(k)].flagged)
            continue;
        const bool upperVouched = agrees(k - 1);
        const bool lowerVouched = agrees(k + 1);
        if (!upperVouched || lowerVouched)
            check.flaggedPoints[std::size_t(k)] = true;
        if (!lowerVouched || upperVouched)
            check.flaggedPoints[std::size_t(k + 1)] = true;
    }
    return check;
}

std::vector<double> PickUncertaintiesMs(const SurveyData &survey, const std::vector<ArrivalSuggestion> &suggestions)
{
    if (suggestions.size() != survey.points.size())
        return {};
    std::vector<double> ms(suggestions.size(), 0.0);
    for (std::size_t i = 0; i < suggestions.size(); ++i) {
        if (suggestions[i].found)
            ms[i] = suggestions[i].uncertainty * double(survey.points[i].interval) / 1000.0;
    }
    return ms;
}

} // namespace talvex
