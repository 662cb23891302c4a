#include "talvex/analysis/ewuxingzhibiaomodel.h"

#include "common/messenger.h"
#include "common/numberformat.h"

namespace talvex {

const char *const EWUXINGZHIBIAOModel::kEqualVelocitiesMessage = "提示： 剪切波速不能等于压缩波速，请重新输入！";

std::optional<SoilIndices> EWUXINGZHIBIAOModel::ComputeSoilIndices(const SoilIndexInputs &inputs,
                                                                   common::Messenger &messenger)
{
    const double vs = inputs.vs;
    const double vp = inputs.vp;
    const double rho = inputs.density;
    if (inputs.vs == inputs.vp) {
        messenger.show(QString::fromUtf8(kEqualVelocitiesMessage), common::MessageKind::Warning);
        return std::nullopt;
    }
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
