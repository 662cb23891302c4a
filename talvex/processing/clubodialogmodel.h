// State and rules of the filter dialog CLuBoDialog, free of widgets: the
// dialog shows what this model holds and forwards the user's input to it.
#pragma once

#include "talvex/processing/filtersettings.h"

#include <QString>
#include <QtGlobal>

#include <optional>

namespace talvex {

// How the dialog presents one filter kind: which edits are enabled, the
// captions set beside them and the values they are reset to.
struct FilterKindLayout {
    bool upperEnabled = true;
    bool lowerEnabled = true;
    const char *upperLabel = ""; // UTF-8
    const char *lowerLabel = ""; // UTF-8
    qint16 upper = 0; // Hz
    qint16 lower = 0; // Hz
};

const FilterKindLayout &filterKindLayout(FilterKind kind);

class CLuBoDialogModel {
public:
    // Opening the dialog selects the remembered kind, which resets both
    // frequencies to that kind's defaults: the values used last time are not
    // shown again.
    explicit CLuBoDialogModel(const FilterSettings &remembered);

    // A radio button was chosen: its kind's layout and default values apply.
    void selectKind(FilterKind kind);

    FilterKind kind() const { return m_kind; }
    qint16 upper() const { return m_upper; }
    qint16 lower() const { return m_lower; }
    void setUpper(qint16 hz) { m_upper = hz; }
    void setLower(qint16 hz) { m_lower = hz; }

    bool upperEnabled() const { return filterKindLayout(m_kind).upperEnabled; }
    bool lowerEnabled() const { return filterKindLayout(m_kind).lowerEnabled; }
    QString upperLabel() const { return QString::fromUtf8(filterKindLayout(m_kind).upperLabel); }
    QString lowerLabel() const { return QString::fromUtf8(filterKindLayout(m_kind).lowerLabel); }

    // The settings the view stores when the dialog is accepted.
    FilterSettings accepted() const;

    // The sample interval (us) of the trace the filter will work on; 0 when
    // not known.
    void setTraceInterval(float interval) { m_interval = interval; }
    // Why the frequencies cannot filter that trace (the edges the kind uses
    // must be usableCutOff, a band's lower edge below its upper one); empty
    // when they can. The same rule as talvex-cli process.
    QString problem() const;

    // Validation of a frequency edit: a whole number in the 16-bit range,
    // optionally signed and surrounded by blanks; anything else is refused
    // and the dialog asks for an integer.
    static std::optional<qint16> parseFrequency(const QString &text);

private:
    FilterKind m_kind = FilterKind::LowPass;
    qint16 m_upper = 800;
    qint16 m_lower = 0;
    float m_interval = 0.0f;
};

} // namespace talvex
