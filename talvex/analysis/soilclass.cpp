#include "talvex/analysis/soilclass.h"

#include <cmath>

namespace talvex {

std::optional<QString> ClassifySoil(float velocity)
{
    if (std::isnan(velocity))
        return std::nullopt;
    if (velocity <= 150.0f)
        return QStringLiteral("软弱土");
    if (velocity <= 250.0f)
        return QStringLiteral("中软土");
    if (velocity <= 500.0f)
        return QStringLiteral("中硬土");
    if (velocity <= 800.0f)
        return QStringLiteral("坚硬土或软质岩石");
    return QStringLiteral("岩石");
}

} // namespace talvex
