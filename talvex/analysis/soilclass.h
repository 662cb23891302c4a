#pragma once
// Site soil type of a velocity layer from its shear-wave velocity (m/s),
// by the bounds of the seismic design code's soil-type table:
// v <= 150 软弱土, <= 250 中软土, <= 500 中硬土, <= 800 坚硬土或软质岩石,
// above 岩石. 0 and negative velocities fall into the first class.

#include <QString>
#include <optional>

namespace talvex {

// The soil type text, or nothing when `velocity` is not a number (the
// caller then leaves the layer's description as it is).
std::optional<QString> ClassifySoil(float velocity);

} // namespace talvex
