// One horizontal amplitude spectrum from the complex spectra of the north
// and east components of a window.
#pragma once

#include "sedra/core/hvoptions.h"

#include <complex>
#include <cstddef>
#include <span>
#include <vector>

namespace sedra {

// Combined amplitude at lines [first, end) of `north` and `east` (same
// length) into `out` (resized to their length; other lines are 0). For
// HorizontalCombine::Azimuth the direction is `azimuthDegrees` clockwise
// from north; rotating the spectra is the same as rotating the samples,
// the transform being linear.
void combineHorizontals(HorizontalCombine how, std::span<const std::complex<double>> north,
                        std::span<const std::complex<double>> east, std::size_t first, std::size_t end,
                        std::vector<double> &out, double azimuthDegrees = 0.0);

// The horizontal motion in one direction, sample by sample:
// n cos(az) + e sin(az), azimuth clockwise from north.
void rotateHorizontal(std::span<const double> north, std::span<const double> east, double azimuthDegrees,
                      std::span<double> out);

} // namespace sedra
