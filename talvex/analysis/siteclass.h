#pragma once
// Site classes from the point velocities: the equivalent shear-wave velocity
// vse and the construction site category (建筑场地类别) of the Chinese
// seismic design code GB 50011-2010, the time-averaged velocity of the top
// 30 m (Vs30) with the NEHRP site class and the Eurocode 8 ground type.
//
// The profile is built from the picked points only (pickedtimes.h), sorted
// by depth: each stands for the interval from the next shallower picked
// point (0 for the first) down to its own depth. Single hole: crossed at
// (D - Dprev) / (Tc - Tcprev) from the vertical times; cross hole: at the
// point's own L / T. A point without a pick is left out (its interval joins
// the next picked point's), and so is one whose interval time is not
// positive; both are counted and said. Times are summed in double precision.
//
// Overburden thickness d (覆盖层厚度), read from the velocities: the depth of
// the top of the first interval whose velocity exceeds 500 m/s and below
// which no interval is slower than 500 m/s (so a hard lens over softer
// ground stays in the overburden). When the hole does not reach such ground
// the overburden is at least the deepest point's depth: d is the hole
// parameter `overburden` when that is deeper (the engineer's figure from
// the investigation), otherwise the deepest depth, a lower bound.
//
// vse = d0 / Σ(di / vsi) over d0 = min(d, 20 m). When d is 0 (rock at the
// surface) the category follows the rock's velocity, the time average over
// the top min(20 m, deepest point). A depth below the deepest point is
// crossed at the deepest velocity and the value is marked extrapolated;
// Vs30 likewise.
//
// Category table (velocity v = vse, or the rock velocity when d is 0;
// d in m): v > 800: I0; 800 ≥ v > 500: I1; 500 ≥ v > 250: I1 when d < 5,
// else II; 250 ≥ v > 150: I1 when d < 3, II for 3 ≤ d ≤ 50, III above 50;
// v ≤ 150: I1 when d < 3, II for 3 ≤ d ≤ 15, III for 15 < d ≤ 80, IV above.
// NEHRP from Vs30 (m/s): A > 1500; B 760 < v ≤ 1500; C 360 < v ≤ 760;
// D 180 ≤ v ≤ 360; E < 180. Eurocode 8: A > 800; B 360 < v ≤ 800;
// C 180 ≤ v ≤ 360; D < 180; E when the top 5...20 m average 360 m/s or
// less and every interval below them is faster than 800 m/s.

#include "talvex/analysis/pickedtimes.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace talvex {

class SurveyData;

enum class SiteCategory { I0, I1, II, III, IV };
enum class NehrpClass { A, B, C, D, E };
enum class Ec8Ground { A, B, C, D, E };

// Where the overburden thickness came from.
enum class OverburdenSource {
    Velocities, // the top of the ground faster than 500 m/s, in the hole
    HoleParameters, // the hole parameter `overburden`, deeper than the hole
    HoleBottom, // the deepest point: the hole ends in the overburden (a lower bound)
};

inline constexpr float kRockVelocity = 500.0f; // m/s: ground faster than this ends the overburden
inline constexpr float kMaxEquivalentDepth = 20.0f; // m: d0 is at most this
inline constexpr float kVs30Depth = 30.0f; // m

// The category for velocity `velocity` (m/s) and overburden `overburden` (m).
SiteCategory siteCategory(float velocity, float overburden);
NehrpClass nehrpClass(float vs30);
Ec8Ground ec8GroundFromVs30(float vs30);

const char *siteCategoryName(SiteCategory category); // "I0", "I1", "II", "III", "IV"
const char *nehrpClassName(NehrpClass siteClass); // "A"..."E"
const char *ec8GroundName(Ec8Ground ground); // "A"..."E"

// One interval of the profile.
struct VelocityInterval {
    float top = 0.0f; // m
    float bottom = 0.0f; // m
    float velocity = 0.0f; // m/s
};

// The profile described above from `picked`; `dropped`, when given, gets
// the number of picked points left out for an interval time that is not
// positive (or a velocity that is not a number).
std::vector<VelocityInterval> profileFromTimes(const PickedTimes &picked, int *dropped = nullptr);

// The profile of the survey's picked points; empty when none has a velocity.
std::vector<VelocityInterval> velocityProfile(const SurveyData &survey);

// Time-averaged velocity (m/s) over 0...depth of a non-empty profile;
// `extrapolated` tells whether the part below the profile's bottom was
// crossed at the deepest velocity.
struct AverageVelocity {
    float velocity = 0.0f;
    bool extrapolated = false;
};
AverageVelocity timeAveragedVelocity(const std::vector<VelocityInterval> &profile, float depth);

extern const char *const kNoPointsForSiteClass; // "本测试没有测点"
extern const char *const kNoVelocitiesForSiteClass; // "测点都没有波速（请先拾取初至并重新计算波速）"
extern const char *const kNoPicksForSiteClass; // "测点都未拾取初至"

// 16 and 84 % bounds of a figure (m/s); both 0 when not known.
struct ValueBounds {
    float low = 0.0f;
    float high = 0.0f;
    bool known() const { return high > 0.0f; }
};

// How far the site figures can move with the pick uncertainties
// (siteuncertainty.h): the bounds, and the classes other than the nominal
// ones that at least 16 % of the perturbed picks give (so the class changes
// within the range).
struct SiteBounds {
    int draws = 0;
    ValueBounds vse;
    ValueBounds rockVelocity;
    ValueBounds vs30;
    std::vector<SiteCategory> otherCategories;
    std::vector<NehrpClass> otherNehrp;
    std::vector<Ec8Ground> otherEc8;
    // The scatter of the picked times about the curve of their neighbours
    // (ms, one standard deviation) when it is over twice the typical stated
    // uncertainty: the picks scatter more than their uncertainties allow,
    // and the bounds are likely too narrow. 0 otherwise.
    float excessScatterMs = 0.0f;
    float typicalUncertaintyMs = 0.0f; // the median stated uncertainty it was compared with
};

struct SiteClassification {
    // Empty when the classes were found; otherwise why not (and the fields
    // below are meaningless).
    QString problem;

    int usedPoints = 0; // picked points in the profile
    int skippedPoints = 0; // points left out (unpicked ones included)
    int unpickedPoints = 0; // of those, points without an S arrival
    float deepest = 0.0f; // m, deepest point with a velocity

    float overburden = 0.0f; // d, m
    OverburdenSource overburdenSource = OverburdenSource::Velocities;

    float d0 = 0.0f; // m, min(d, 20); 0 on rock
    float vse = 0.0f; // m/s over d0; 0 on rock
    bool vseExtrapolated = false;
    float rockVelocity = 0.0f; // m/s, on rock (d = 0) only

    SiteCategory category = SiteCategory::II;
    // When d is a lower bound: the category a thicker overburden would give
    // with the same vse, if it differs.
    std::optional<SiteCategory> categoryIfThicker;

    float vs30 = 0.0f; // m/s
    bool vs30Extrapolated = false;
    NehrpClass nehrp = NehrpClass::D;
    Ec8Ground ec8 = Ec8Ground::C;
    float ec8SurfaceLayer = 0.0f; // m, the soft top layer's thickness when ec8 is E

    // With ClassifySiteWithBounds (siteuncertainty.h) only.
    std::optional<SiteBounds> bounds;

    bool ok() const { return problem.isEmpty(); }
};

// The classes from the survey's picked points. `problem` says why there are
// none: no points, no pick at all ("测点都未拾取初至（12 个测点）"), no
// picked point with a velocity, or unpicked points within d0 and no picked
// one there (vse would be a guess).
SiteClassification ClassifySite(const SurveyData &survey);

// The classes of a non-empty profile with the hole parameter `overburden`
// (m); the point counts and the problem are left to the caller.
SiteClassification classifyProfile(const std::vector<VelocityInterval> &profile, float overburdenParameter);

// ClassifySite on picked times already gathered (with or without their
// uncertainties), `problem` and the point counts included.
SiteClassification ClassifyPicked(const PickedTimes &picked, float overburdenParameter);

// "3 个测点未拾取初至，未计入" and the like, or nothing when no point was left out.
QStringList leftOutLines(const SiteClassification &site);

// The texts of the classes with the other ones the bounds allow:
// "II 类，在误差范围内可能为 III 类".
QString categoryWithBounds(const SiteClassification &site);
QString nehrpWithBounds(const SiteClassification &site);
QString ec8WithBounds(const SiteClassification &site);

// The classification as lines of text, for the results list and the
// report's heading area: one line saying why when it cannot be given.
QStringList siteClassLines(const SiteClassification &site);
QStringList siteClassLines(const SurveyData &survey);

} // namespace talvex
