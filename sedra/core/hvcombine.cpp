#include "sedra/core/hvcombine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace sedra {

namespace {

// cos^2, sin^2 and 2 sin cos of the directions 0..179 degrees, for
// |N cos t + E sin t|^2 = |N|^2 cos^2 t + |E|^2 sin^2 t + 2 Re(N conj E) sin t cos t.
struct RotationTable {
    std::array<double, 180> cc, ss, sc2;
    RotationTable()
    {
        for (int d = 0; d < 180; ++d) {
            const double t = double(d) * std::numbers::pi / 180.0;
            cc[std::size_t(d)] = std::cos(t) * std::cos(t);
            ss[std::size_t(d)] = std::sin(t) * std::sin(t);
            sc2[std::size_t(d)] = 2.0 * std::sin(t) * std::cos(t);
        }
    }
};

double rotd50(std::complex<double> n, std::complex<double> e, const RotationTable &t)
{
    const double nn = std::norm(n), ee = std::norm(e), ne = (n * std::conj(e)).real();
    std::array<double, 180> v;
    for (std::size_t d = 0; d < 180; ++d)
        v[d] = std::max(0.0, nn * t.cc[d] + ee * t.ss[d] + ne * t.sc2[d]);
    // Median of an even count: the mean of the two middle amplitudes.
    auto mid = v.begin() + 90;
    std::nth_element(v.begin(), mid, v.end());
    const double upper = *mid;
    const double lower = *std::max_element(v.begin(), mid);
    return 0.5 * (std::sqrt(lower) + std::sqrt(upper));
}

} // namespace

void combineHorizontals(HorizontalCombine how, std::span<const std::complex<double>> north,
                        std::span<const std::complex<double>> east, std::size_t first, std::size_t end,
                        std::vector<double> &out, double azimuthDegrees)
{
    const std::size_t n = std::min(north.size(), east.size());
    out.assign(n, 0.0);
    end = std::min(end, n);
    const double az = azimuthDegrees * std::numbers::pi / 180.0;
    const double ca = std::cos(az), sa = std::sin(az);
    static const RotationTable table;
    for (std::size_t k = first; k < end; ++k) {
        const double a = std::abs(north[k]), b = std::abs(east[k]);
        double h = 0;
        switch (how) {
        case HorizontalCombine::Geometric: h = std::sqrt(a * b); break;
        case HorizontalCombine::Squared: h = std::sqrt(0.5 * (a * a + b * b)); break;
        case HorizontalCombine::Arithmetic: h = 0.5 * (a + b); break;
        case HorizontalCombine::Energy: h = std::sqrt(a * a + b * b); break;
        case HorizontalCombine::Max: h = std::max(a, b); break;
        case HorizontalCombine::Azimuth: h = std::abs(north[k] * ca + east[k] * sa); break;
        case HorizontalCombine::RotD50: h = rotd50(north[k], east[k], table); break;
        }
        out[k] = h;
    }
}

void rotateHorizontal(std::span<const double> north, std::span<const double> east, double azimuthDegrees,
                      std::span<double> out)
{
    const double az = azimuthDegrees * std::numbers::pi / 180.0;
    const double ca = std::cos(az), sa = std::sin(az);
    const std::size_t n = std::min({north.size(), east.size(), out.size()});
    for (std::size_t i = 0; i < n; ++i)
        out[i] = north[i] * ca + east[i] * sa;
}

} // namespace sedra
