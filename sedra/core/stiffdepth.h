// Depth to the stiff layer from the fundamental frequency: the quarter-
// wavelength rule h = Vs / (4 f0), or a published regression h = a f0^-b.
// The bounds are the 16 % and 84 % points of a lognormal depth.
#pragma once

#include <QString>
#include <span>

namespace sedra {

struct DepthEstimate {
    double h = 0; // m
    double low = 0; // 16 %, m
    double high = 0; // 84 %, m
    double sigmaLn = 0; // of the depth
};

// sigma_ln h = sqrt(sigma_ln f0^2 + sigma_ln Vs^2) (independent errors).
DepthEstimate quarterWavelengthDepth(double vs, double f0, double sigmaLnF0, double sigmaLnVs = 0.0);

struct PowerLaw {
    QString reference; // who published it, for the output
    double a = 0; // m
    double b = 0;
};

// The regressions offered: h = a f0^-b with f0 in Hz.
std::span<const PowerLaw> publishedPowerLaws();

// sigma_ln h = b sigma_ln f0 (the regression's own scatter is not included).
DepthEstimate powerLawDepth(const PowerLaw &law, double f0, double sigmaLnF0);

} // namespace sedra
