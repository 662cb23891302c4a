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

QString CLuBoDialogModel::problem() const
{
    const FilterKindLayout &layout = filterKindLayout(m_kind);
    const auto edge = [this](int hz, const char *name) -> QString {
        if (usableCutOff(hz, m_interval))
            return {};
        if (hz <= 0)
            return QString::fromUtf8("%1应为正整数（Hz）。").arg(QString::fromUtf8(name));
        return QString::fromUtf8("%1 %2 Hz 不低于该波形采样间隔 %3 us 的奈奎斯特频率 %4 Hz，请输入较低的频率。")
            .arg(QString::fromUtf8(name))
            .arg(hz)
            .arg(double(m_interval), 0, 'g', 7)
            .arg(double(nyquistFrequency(m_interval)), 0, 'g', 7);
    };
    if (layout.upperEnabled) {
        if (QString why = edge(m_upper, layout.upperLabel); !why.isEmpty())
            return why;
    }
    if (layout.lowerEnabled) {
        if (QString why = edge(m_lower, layout.lowerLabel); !why.isEmpty())
            return why;
    }
    if (layout.upperEnabled && layout.lowerEnabled && m_lower >= m_upper)
        return QString::fromUtf8("%1应低于%2。")
            .arg(QString::fromUtf8(layout.lowerLabel), QString::fromUtf8(layout.upperLabel));
    return {};
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
