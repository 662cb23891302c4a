#include "talvex/processing/clubodialogmodel.h"

namespace talvex {

const FilterKindLayout &filterKindLayout(FilterKind kind)
{
    static const FilterKindLayout lowPass{true, false, "滤波上限", "滤波下限", 800, 0};
    static const FilterKindLayout highPass{false, true, "滤波上限", "滤波下限", 800, 0};
    static const FilterKindLayout bandPass{true, true, "滤波上限", "滤波下限", 800, 0};
    static const FilterKindLayout bandStop{true, true, "高端频率", "低端频率", 55, 45};
    switch (kind) {
    case FilterKind::HighPass: return highPass;
    case FilterKind::BandPass: return bandPass;
    case FilterKind::BandStop: return bandStop;
    case FilterKind::LowPass: break;
    }
    return lowPass;
}

CLuBoDialogModel::CLuBoDialogModel(const FilterSettings &remembered)
{
    selectKind(remembered.kind);
}

void CLuBoDialogModel::selectKind(FilterKind kind)
{
    const FilterKindLayout &layout = filterKindLayout(kind);
    m_kind = kind;
    m_upper = layout.upper;
    m_lower = layout.lower;
}

FilterSettings CLuBoDialogModel::accepted() const
{
    return FilterSettings{m_lower, m_upper, m_kind};
}

std::optional<qint16> CLuBoDialogModel::parseFrequency(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < -32768 || value > 32767) {
        return std::nullopt;
    }
    return static_cast<qint16>(value);
}

} // namespace talvex
