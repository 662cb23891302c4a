#include "talvex/analysis/ewuxingzhibiaomodel.h"

#include "common/messenger.h"
#include "common/numberformat.h"

#include <cmath>

namespace talvex {

const char *const EWUXINGZHIBIAOModel::kEqualVelocitiesMessage = "提示： 剪切波速不能等于压缩波速，请重新输入！";
const char *const EWUXINGZHIBIAOModel::kVelocityRangeMessage = "提示： 剪切波速和压缩波速都应大于 0，请重新输入！";
const char *const EWUXINGZHIBIAOModel::kDensityRangeMessage = "提示： 质量密度应大于 0，请重新输入！";
const char *const EWUXINGZHIBIAOModel::kSlowCompressionMessage
    = "提示： 压缩波速应大于剪切波速（否则动泊松比大于 0.5，不符合实际），请重新输入！";

std::optional<SoilIndices> EWUXINGZHIBIAOModel::ComputeSoilIndices(const SoilIndexInputs &inputs,
                                                                   common::Messenger &messenger)
{
    const double vs = inputs.vs;
    const double vp = inputs.vp;
    const double rho = inputs.density;
    const auto refuse = [&messenger](const char *message) {
        messenger.show(QString::fromUtf8(message), common::MessageKind::Warning);
        return std::nullopt;
    };
    if (inputs.vs == inputs.vp)
        return refuse(kEqualVelocitiesMessage);
    // No material has a velocity or density of 0 or less; a compression wave
    // slower than the shear wave would give a Poisson's ratio above 0.5,
    // which no stable material has.
    if (!(inputs.vs > 0.0f) || !(inputs.vp > 0.0f) || !std::isfinite(inputs.vs) || !std::isfinite(inputs.vp))
        return refuse(kVelocityRangeMessage);
    if (!(inputs.density > 0.0f) || !std::isfinite(inputs.density))
        return refuse(kDensityRangeMessage);
    if (inputs.vp < inputs.vs)
        return refuse(kSlowCompressionMessage);
    SoilIndices out;
    out.shearModulus = float(rho * vs * vs);
    const float mu = float((vp * vp - 2.0 * vs * vs) / (2.0 * (vp * vp - vs * vs)));
    out.poissonRatio = mu;
    out.elasticModulus = float(2.0 * (1.0 + mu) * rho * vs * vs);
    out.etaS = float((double(0.87f) + double(1.12f) * mu) / (1.0 + mu));
    return out;
}

QString EWUXINGZHIBIAOModel::format(float value)
{
    return QString::fromStdString(common::formatFixed(value, 6));
}

} // namespace talvex
