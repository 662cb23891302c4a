// The H/V result as the command line and the printed page give it: one JSON
// object, lines of text that put f0 of the mean curve beside the median of
// the window peaks, the SESAME table, the peaks and the depth, and the
// curves as CSV.
#pragma once

#include "sedra/core/hvanalysis.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <string>

namespace sedra {

// Where the shear-wave velocity of the depth estimate came from, for the
// output: typed in, or a survey's equivalent velocity (file and depth).
struct HvVelocitySource {
    QString survey; // the survey file; empty when typed in
    double overDepth = 0; // m, the depth the equivalent velocity is taken over
};

// A value as the H/V outputs show it: fixed decimals, or three significant
// figures; "—" for a value that is not finite (no window used).
QString hvNumber(double v, int decimals);
QString hvThreeFigures(double v);

// "窗口：N 个（每个 S s），采用 U 个，剔除 R 个", the window length with
// `decimals` decimals.
QString hvWindowCountLine(const HvResult &result, int decimals);

// The SESAME criterion in words with its relation, e.g. "f0 > 10 / 窗长".
// `reliable` picks the three reliability criteria, else the six clear-peak
// ones; `index` counts from 0.
QString sesameCriterionText(bool reliable, int index);

// One JSON object (UTF-8): f0, a0, t0, f0Windows, windows (with the reason
// of every rejected window), sesame, peaks, depth when a Vs is given,
// options and warnings. `files` are the files the record was read from.
std::string hvJson(const HvResult &result, const QStringList &files, const HvVelocitySource &vsSource = {});

// The result for a person to read, line by line.
QStringList hvTextReport(const HvResult &result, const HvVelocitySource &vsSource = {});

// The curves as CSV (UTF-8, LF): a header line, then per grid frequency
// the mean H/V, mean / exp(sigma_ln), mean * exp(sigma_ln) and the
// lognormal means of the combined horizontal and of the vertical spectra.
QByteArray hvCurveCsv(const HvResult &result);

} // namespace sedra
