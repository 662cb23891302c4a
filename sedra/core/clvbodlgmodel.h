// State and rules of the filter dialog CLVBODLG, free of widgets.
#pragma once

#include "sedra/core/filtersettings.h"

#include <QString>

namespace sedra {

class CLVBODLGModel {
public:
    // Opening: the cut-off texts show "10" and "2" unless a cut-off greater
    // than 0 is stored; kind and channel boxes show the stored settings.
    explicit CLVBODLGModel(const FilterSettings &settings);

    // The hint shown while the dialog is open.
    static QString hint();

    QString lowPassText() const { return m_lowPassText; }
    QString highPassText() const { return m_highPassText; }
    FilterKind kind() const { return m_kind; }
    bool channel(int index) const; // index 0..2

    void setLowPassText(const QString &text) { m_lowPassText = text; }
    void setHighPassText(const QString &text) { m_highPassText = text; }
    void setKind(FilterKind kind) { m_kind = kind; }
    void setChannel(int index, bool ticked); // index 0..2; others are ignored

    // OK: the settings with kind, channel flags and mask taken from the
    // dialog, the cut-offs parsed from their texts (0 when a text does not
    // start with a whole number) and the filter marked pending. Cancel simply keeps the
    // previous settings.
    FilterSettings accept(const FilterSettings &previous) const;

    // The whole number a cut-off text starts with ("12Hz" is 12), 0 when
    // there is none.
    static int cutoffFromText(const QString &text);

private:
    QString m_lowPassText;
    QString m_highPassText;
    FilterKind m_kind = FilterKind::LowPass;
    bool m_channels[3] = {false, false, false};
};

} // namespace sedra
