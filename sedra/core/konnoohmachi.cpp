#include "sedra/core/konnoohmachi.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace sedra {

double konnoOhmachiWeight(double f, double fc, double b)
{
    if (f <= 0 || fc <= 0)
        return 0.0;
    const double x = b * std::log10(f / fc);
    if (std::abs(x) >= std::numbers::pi)
        return 0.0;
    if (std::abs(x) < 1e-8)
        return 1.0;
    const double s = std::sin(x) / x;
    return s * s * s * s;
}

std::vector<double> logFrequencyGrid(double fmin, double fmax, int points)
{
    std::vector<double> f(std::size_t(std::max(points, 0)));
    if (points == 1)
        f[0] = fmin;
    const double step = points > 1 ? std::log(fmax / fmin) / double(points - 1) : 0.0;
    for (int i = 0; i < points; ++i)
        f[std::size_t(i)] = fmin * std::exp(step * double(i));
    if (points > 1)
        f.back() = fmax;
    return f;
}

KonnoOhmachiSmoother::KonnoOhmachiSmoother(std::span<const double> grid, double df, std::size_t lineCount, double b)
{
    rows_.resize(grid.size());
    const double reach = std::pow(10.0, std::numbers::pi / b);
    first_ = lineCount;
    end_ = 0;
    for (std::size_t i = 0; i < grid.size(); ++i) {
        const double fc = grid[i];
        // Line 0 (the mean) is never used: log10(0) is not defined.
        const auto lo = std::max<std::size_t>(1, std::size_t(std::ceil(fc / reach / df)));
        const auto hi = std::min(lineCount, std::size_t(std::floor(fc * reach / df)) + 1);
        Row &r = rows_[i];
        r.first = lo;
        r.offset = weights_.size();
        double sum = 0;
        for (std::size_t k = lo; k < hi; ++k) {
            const double w = konnoOhmachiWeight(double(k) * df, fc, b);
            weights_.push_back(w);
            sum += w;
        }
        r.count = weights_.size() - r.offset;
        r.norm = sum > 0 ? 1.0 / sum : 0.0;
        if (r.count > 0) {
            first_ = std::min(first_, lo);
            end_ = std::max(end_, hi);
        }
    }
    if (end_ == 0)
        first_ = 0;
}

void KonnoOhmachiSmoother::smooth(std::span<const double> amplitude, std::span<double> out) const
{
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const Row &r = rows_[i];
        if (r.norm == 0 || r.first + r.count > amplitude.size()) {
            out[i] = std::numeric_limits<double>::quiet_NaN();
            continue;
        }
        const double *w = weights_.data() + r.offset;
        const double *a = amplitude.data() + r.first;
        double s = 0;
        for (std::size_t k = 0; k < r.count; ++k)
            s += w[k] * a[k];
        out[i] = s * r.norm;
    }
}

std::vector<double> KonnoOhmachiSmoother::smooth(std::span<const double> amplitude) const
{
    std::vector<double> out(rows_.size());
    smooth(amplitude, out);
    return out;
}

} // namespace sedra
