#include "sedra/core/stiffdepth.h"

#include <array>
#include <cmath>

namespace sedra {

namespace {

DepthEstimate lognormal(double h, double sigmaLn)
{
    return {h, h * std::exp(-sigmaLn), h * std::exp(sigmaLn), sigmaLn};
}

} // namespace

DepthEstimate quarterWavelengthDepth(double vs, double f0, double sigmaLnF0, double sigmaLnVs)
{
    return lognormal(vs / (4.0 * f0), std::hypot(sigmaLnF0, sigmaLnVs));
}

std::span<const PowerLaw> publishedPowerLaws()
{
    static const std::array<PowerLaw, 3> laws{{
        {QStringLiteral("Ibs-von Seht & Wohlenberg (1999)"), 96.0, 1.388},
        {QStringLiteral("Delgado et al. (2000)"), 55.11, 1.256},
        {QStringLiteral("Parolai et al. (2002)"), 108.0, 1.551},
    }};
    return laws;
}

DepthEstimate powerLawDepth(const PowerLaw &law, double f0, double sigmaLnF0)
{
    return lognormal(law.a * std::pow(f0, -law.b), law.b * sigmaLnF0);
}

} // namespace sedra
