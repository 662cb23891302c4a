// Konno-Ohmachi smoothing of an amplitude spectrum onto a logarithmic grid.
// The weight of a line at f for the centre fc is
//     W(f, fc) = [ sin(b log10(f/fc)) / (b log10(f/fc)) ]^4,
// W(fc, fc) = 1; only the main lobe, |b log10(f/fc)| < pi, is used (the side
// lobes weigh less than 0.0005 of the centre). The smoothed value is the
// weighted mean, so a constant spectrum stays constant.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace sedra {

double konnoOhmachiWeight(double f, double fc, double b);

// `points` frequencies from fmin to fmax, equally spaced in log f.
std::vector<double> logFrequencyGrid(double fmin, double fmax, int points);

// The weights of every grid point, worked out once for a spectrum of lines
// k * df (k = 0..lineCount-1) and used for every window of that length.
class KonnoOhmachiSmoother {
public:
    KonnoOhmachiSmoother() = default;
    KonnoOhmachiSmoother(std::span<const double> grid, double df, std::size_t lineCount, double b);

    // Smoothed values on the grid; a grid point without any line in its
    // window (a spectrum too short) is NaN.
    void smooth(std::span<const double> amplitude, std::span<double> out) const;
    std::vector<double> smooth(std::span<const double> amplitude) const;

    std::size_t gridSize() const { return rows_.size(); }
    // Lines [firstLine(), endLine()) are the only ones any point reads.
    std::size_t firstLine() const { return first_; }
    std::size_t endLine() const { return end_; }

private:
    struct Row {
        std::size_t first = 0; // first line
        std::size_t offset = 0; // into weights_
        std::size_t count = 0;
        double norm = 0; // 1 / sum of the weights
    };
    std::vector<Row> rows_;
    std::vector<double> weights_;
    std::size_t first_ = 0, end_ = 0;
};

} // namespace sedra
