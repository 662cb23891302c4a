#include "sedra/core/clvbodlgmodel.h"

namespace sedra {

CLVBODLGModel::CLVBODLGModel(const FilterSettings &settings)
    : m_lowPassText(QString::number(settings.lowPassCutoff > 0 ? settings.lowPassCutoff : kDefaultLowPassCutoff)),
      m_highPassText(QString::number(settings.highPassCutoff > 0 ? settings.highPassCutoff : kDefaultHighPassCutoff)),
      m_kind(settings.kind().value_or(FilterKind::LowPass)),
      m_channels{settings.channel1 != 0, settings.channel2 != 0, settings.channel3 != 0}
{
}

QString CLVBODLGModel::hint()
{
    return QString::fromUtf8("提示:  每次滤波操作均对原始数据操作,方便用户多次调整后,选择适合的滤波方式!");
}

bool CLVBODLGModel::channel(int index) const
{
    return index >= 0 && index < 3 && m_channels[index];
}

void CLVBODLGModel::setChannel(int index, bool ticked)
{
    if (index >= 0 && index < 3) {
        m_channels[index] = ticked;
    }
}

FilterSettings CLVBODLGModel::accept(const FilterSettings &previous) const
{
    FilterSettings s = previous;
    s.storedKind = static_cast<int>(m_kind) + 1;
    s.channel1 = m_channels[0] ? 1 : 0;
    s.channel2 = m_channels[1] ? 1 : 0;
    s.channel3 = m_channels[2] ? 1 : 0;
    s.channelMask = s.channel1 + 2 * s.channel2 + 4 * s.channel3;
    s.pending = true;
    s.lowPassCutoff = cutoffFromText(m_lowPassText);
    s.highPassCutoff = cutoffFromText(m_highPassText);
    return s;
}

int CLVBODLGModel::cutoffFromText(const QString &text)
{
    // The whole number the text starts with, as the C library reads one:
    // blanks, an optional sign, digits; the rest is ignored ("12Hz" is 12,
    // "1.5" is 1). No digits, or a number beyond the int range, gives 0.
    const QString t = text.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t[end] == u'+' || t[end] == u'-'))
        ++end;
    const qsizetype digits = end;
    while (end < t.size() && t[end] >= u'0' && t[end] <= u'9')
        ++end;
    if (end == digits)
        return 0;
    bool ok = false;
    const int value = t.left(end).toInt(&ok, 10);
    return ok ? value : 0;
}

} // namespace sedra
