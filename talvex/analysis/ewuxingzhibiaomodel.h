#pragma once
// Logic of the soil-index calculator EWUXINGZHIBIAO ("土的物性指标计算"):
// dynamic moduli and Poisson's ratio from a shear-wave velocity Vs (m/s), a
// compression-wave velocity Vp (m/s) and a mass density ρ (t/m³):
//   Gd = ρ Vs²                               dynamic shear modulus, kPa
//   μd = (Vp² - 2 Vs²) / (2 (Vp² - Vs²))     dynamic Poisson's ratio
//   Ed = 2 (1 + μd) ρ Vs²                    dynamic elastic modulus, kPa
//   ηs = (0.87 + 1.12 μd) / (1 + μd)         coefficient depending on μd
// μd is rounded to single precision before it is used further. Inputs no
// material has are refused: velocities or a density of 0 or less, and Vp
// below Vs (μd would exceed 0.5).

#include <QString>
#include <optional>

namespace common {
class Messenger;
}

namespace talvex {

struct SoilIndexInputs {
    float vs = 0.0f;
    float vp = 0.0f;
    float density = 0.0f;
};

struct SoilIndices {
    float shearModulus = 0.0f; // Gd, kPa
    float elasticModulus = 0.0f; // Ed, kPa
    float poissonRatio = 0.0f; // μd
    float etaS = 0.0f; // ηs
};

class EWUXINGZHIBIAOModel {
public:
    // "计算": the four indices, or a message and nothing: kEqualVelocitiesMessage
    // when Vs equals Vp (as in the start state, all 0), kVelocityRangeMessage,
    // kDensityRangeMessage or kSlowCompressionMessage for inputs no material has.
    static std::optional<SoilIndices> ComputeSoilIndices(const SoilIndexInputs &inputs, common::Messenger &messenger);

    // An output as the dialog shows it: "%f".
    static QString format(float value);

    static const char *const kEqualVelocitiesMessage;
    static const char *const kVelocityRangeMessage;
    static const char *const kDensityRangeMessage;
    static const char *const kSlowCompressionMessage;
};

} // namespace talvex
