#include "talvex/ui/view/viewzoom.h"

#include <algorithm>

namespace talvex {

ViewZoom::ViewZoom(int percent)
{
    setScale(double(percent) / 100.0);
}

int ViewZoom::percent() const
{
    return int(m_scale * 100.0);
}

bool ViewZoom::zoomIn()
{
    return setScale(m_scale + kStep);
}

bool ViewZoom::zoomOut()
{
    return setScale(m_scale - kStep);
}

bool ViewZoom::setScale(double scale)
{
    const double held = std::clamp(scale, kLowest, kHighest);
    if (held == m_scale)
        return false;
    m_scale = held;
    return true;
}

} // namespace talvex
