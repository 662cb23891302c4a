// Straight runs through measured points: the points (x, y ± sigma), in order
// of x, are split into runs of consecutive points, each fitted with its own
// straight line, so that the sum over the runs of their robust chi-square
// plus a penalty per run is least. Where the points lie on a line broken at
// a few places (travel times down a layered hole), the runs are the pieces
// between the breaks, and a point whose value strays from its run's line is
// told by its neighbours where it belongs.
//
// The chi-square is robust: a normalised residual r = (y - line) / sigma
// counts r² up to `huber`, then 2·huber·|r| − huber² (Huber's measure), and
// beyond `reject` no more than at `reject`. The line is fitted by
// iteratively reweighted least squares to that measure (a point beyond
// `reject` gets no weight), so one wild point neither drags its run's line
// nor, costing less than the two run boundaries around it, forces a run of
// its own; several points off the line in a row do start a run. A run of
// one or two points costs only the penalty: a line through two points fits
// any pair and so says nothing about them.
//
// Dynamic programming over the run ends, runs of at most `maxRun` points:
// O(n · maxRun²) line fits' worth of work. The result is deterministic (ties
// go to the earlier boundary). Units are the caller's: x and y in any units,
// sigma in y's units, penalty dimensionless (chi-square units).
#pragma once

#include <span>
#include <vector>

namespace dsp {

struct StraightRun {
    int first = 0; // index of the run's first point
    int end = 0; // one past its last point
    // The line y = intercept + slope · x; for runs of fewer than three
    // points (no fit) both 0 and `fitted` false.
    bool fitted = false;
    double intercept = 0.0;
    double slope = 0.0;
    double chiSquare = 0.0; // robust chi-square of the run's points about the line
    // Covariance of the fitted intercept and slope from the points' sigmas
    // and final weights (not scaled by the misfit).
    double varIntercept = 0.0;
    double varSlope = 0.0;
    double covariance = 0.0;

    int points() const { return end - first; }
    double valueAt(double x) const { return intercept + slope * x; }
    // The standard deviation of the line's value at x from the covariance.
    double standardErrorAt(double x) const;
};

struct StraightRunOptions {
    double penalty = 8.0; // cost of one more run, > 0
    double huber = 2.0; // where the chi-square turns linear [sigmas], > 0
    double reject = 3.0; // beyond which a point costs no more and weighs nothing [sigmas], >= huber
    int maxRun = 25; // longest run tried [points], >= 3
};

// The runs, in order, covering every point once. x must be non-decreasing
// and every sigma > 0 and finite; empty when the spans differ in size or are
// empty.
std::vector<StraightRun> FitStraightRuns(std::span<const double> x, std::span<const double> y,
                                         std::span<const double> sigma, const StraightRunOptions &options = {});

// The robust line of points [first, end) alone (at least three), as in a run.
StraightRun FitRobustLine(std::span<const double> x, std::span<const double> y, std::span<const double> sigma,
                          int first, int end, double huber, double reject);

} // namespace dsp
