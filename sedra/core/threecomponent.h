// A three-component ambient-noise record: north, east and vertical samples
// of one station at one sample interval, whatever file or card they came
// from. The H/V analysis works on this alone.
#pragma once

#include <QDateTime>
#include <QString>
#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace sedra {

enum class Component { North = 0, East = 1, Vertical = 2 };

struct ThreeComponentRecord {
    double sampleInterval = 0.0; // seconds between samples, > 0
    // Indexed by Component; all three hold the same number of samples.
    std::array<std::vector<double>, 3> components;
    // Time of the first sample (UTC) where the source says it.
    std::optional<QDateTime> start;
    // Codes of the station, where the source has them (empty otherwise).
    QString network;
    QString station;
    QString location;
    // What it was read from, for messages ("a.mseed", "n.sac + e.sac + z.sac").
    QString source;

    const std::vector<double> &operator[](Component c) const { return components[static_cast<std::size_t>(c)]; }
    std::vector<double> &operator[](Component c) { return components[static_cast<std::size_t>(c)]; }
    std::size_t sampleCount() const { return components[0].size(); }
    double duration() const { return static_cast<double>(sampleCount()) * sampleInterval; }
};

} // namespace sedra
