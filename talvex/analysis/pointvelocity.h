#pragma once
// Travel times and velocities of the measuring points.
//
// Units: depths and distances in m, sample intervals in µs, delays and
// travel times in ms, velocities in m/s. All arithmetic is single precision,
// as the stored results are 32-bit floats. A division whose divisor is 0 (or
// whose result is not finite) yields 0 instead of failing.
//
// The previous point of a point is the element before it in the list, not
// the next shallower one: the list should be sorted by depth before a full
// recalculation (SortPointsByDepth).

namespace talvex {

class SurveyData;

// Recomputes pointVelocity and equivVelocity of list element `index`
// (0...count - 1) and stores the record back.
//
// Single hole (header.method 0), with x = sourceDistance, D the depth and T
// the travel time (TlvOne::travelTime): slant S = sqrt(x² + D²), the sum
// rounded to float first; vertical time Tc = T × D / S (0 when S is 0);
// equivVelocity = S / T × 1000; pointVelocity = (D - Dprev) / (Tc - Tcprev)
// × 1000, where the previous element's Tc is 0 when its depth or slant is 0
// and there is no previous element for index 0 (Dprev = Tcprev = 0).
//
// Cross hole (any other method), with L = crossDistance: pointVelocity =
// L / T × 1000 when T > 0, else 0; equivVelocity = D / t with the vertical
// time t = Σ (Dk - Dk-1) / vk (s) over the elements 0...index as they stand
// (D-1 = 0); for index 0 it is the point velocity. A term over no depth
// difference adds nothing, whatever the velocity; a term over a depth
// difference at velocity 0 is infinite, which makes equivVelocity 0.
//
// Returns false (and changes nothing) when `index` is outside the list.
bool ComputePointVelocity(SurveyData &survey, int index);

// ComputePointVelocity for every element, in list order.
void RecalculateAllVelocities(SurveyData &survey);

// Vertical (slant-corrected) travel time in ms of list element `index` in the
// single-hole geometry: T × D / sqrt(x² + D²), 0 when the depth or the slant
// distance is 0. Used also by the charts and exports for the same figure.
float correctedTravelTime(const SurveyData &survey, int index);

} // namespace talvex
