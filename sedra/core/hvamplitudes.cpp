#include "sedra/core/hvamplitudes.h"

#include <fftw3.h>

#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <numbers>

namespace sedra {

namespace {

// Plans by length, made unaligned so that they run on any caller's arrays
// through the new-array interface (which FFTW allows from several threads at
// once); only planning itself must be serialised.
class PlanCache {
public:
    ~PlanCache()
    {
        for (auto &[n, plan] : plans_)
            fftw_destroy_plan(plan);
    }
    fftw_plan forward(int n)
    {
        std::lock_guard lock(fftwPlannerMutex());
        auto it = plans_.find(n);
        if (it != plans_.end())
            return it->second;
        std::vector<double> in(static_cast<std::size_t>(n));
        std::vector<fftw_complex> out(static_cast<std::size_t>(n / 2 + 1));
        fftw_plan p = fftw_plan_dft_r2c_1d(n, in.data(), out.data(), FFTW_ESTIMATE | FFTW_UNALIGNED);
        plans_.emplace(n, p);
        return p;
    }

private:
    std::map<int, fftw_plan> plans_;
};

PlanCache &plans()
{
    static PlanCache cache;
    return cache;
}

} // namespace

std::mutex &fftwPlannerMutex()
{
    static std::mutex m;
    return m;
}

void removeLinearTrend(std::span<double> x)
{
    const std::size_t n = x.size();
    if (n < 2) {
        if (n == 1)
            x[0] = 0;
        return;
    }
    // Centred abscissa: t = i - (n-1)/2, so the slope and mean separate.
    const double c = 0.5 * double(n - 1);
    double sy = 0, sty = 0, stt = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = double(i) - c;
        sy += x[i];
        sty += t * x[i];
        stt += t * t;
    }
    const double mean = sy / double(n), slope = sty / stt;
    for (std::size_t i = 0; i < n; ++i)
        x[i] -= mean + slope * (double(i) - c);
}

void applyTukeyTaper(std::span<double> x, double alpha)
{
    const std::size_t n = x.size();
    if (alpha <= 0 || n < 2)
        return;
    alpha = std::min(alpha, 1.0);
    // Each end tapers over alpha/2 of the window: w = 0.5 (1 - cos(pi i / m)).
    const double m = 0.5 * alpha * double(n - 1);
    const auto edge = std::size_t(std::floor(m));
    for (std::size_t i = 0; i <= edge && i < n; ++i) {
        const double w = m > 0 ? 0.5 * (1.0 - std::cos(std::numbers::pi * double(i) / m)) : 1.0;
        x[i] *= w;
        x[n - 1 - i] *= w;
    }
}

void realSpectrum(std::span<const double> x, double scale, std::vector<std::complex<double>> &out)
{
    const int n = int(x.size());
    out.assign(std::size_t(n / 2 + 1), {});
    if (n == 0)
        return;
    // The new-array interface takes non-const input; r2c does not write it
    // for one-dimensional transforms without FFTW_DESTROY_INPUT, but a copy
    // keeps the caller's samples safe whatever the planner chose.
    std::vector<double> in(x.begin(), x.end());
    fftw_execute_dft_r2c(plans().forward(n), in.data(), reinterpret_cast<fftw_complex *>(out.data()));
    if (scale != 1.0)
        for (auto &v : out)
            v *= scale;
}

void amplitudeSpectrum(std::span<const double> x, double scale, std::vector<double> &out)
{
    std::vector<std::complex<double>> c;
    realSpectrum(x, scale, c);
    out.resize(c.size());
    for (std::size_t k = 0; k < c.size(); ++k)
        out[k] = std::abs(c[k]);
}

} // namespace sedra
