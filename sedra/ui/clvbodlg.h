// Filter dialog "数字滤波" of the microtremor program.
#pragma once

#include "sedra/core/clvbodlgmodel.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QLineEdit;

namespace sedra {

class CLVBODLG : public QDialog {
    Q_OBJECT
public:
    explicit CLVBODLG(const FilterSettings &settings, QWidget *parent = nullptr);

    // The settings after OK (the filter is then pending).
    FilterSettings settings() const { return m_result; }

    QLineEdit *lowPassEdit() const { return m_lowPass; }
    QLineEdit *highPassEdit() const { return m_highPass; }
    QButtonGroup *kindGroup() const { return m_kinds; }
    QCheckBox *channelBox(int index) const { return m_channels[index]; }

    void accept() override;

private:
    FilterSettings m_result;
    QLineEdit *m_lowPass;
    QLineEdit *m_highPass;
    QButtonGroup *m_kinds;
    QCheckBox *m_channels[3];
};

} // namespace sedra
