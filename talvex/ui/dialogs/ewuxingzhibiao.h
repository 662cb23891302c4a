#pragma once
// "土的物性指标计算": dynamic shear and elastic moduli, Poisson's ratio and
// the coefficient ηs from Vs, Vp and the mass density typed in. Does not
// touch the survey; nothing is kept between openings.

#include "talvex/analysis/ewuxingzhibiaomodel.h"

#include <QDialog>

class QLineEdit;

namespace common {
class Messenger;
}

namespace talvex {

class EWUXINGZHIBIAO : public QDialog {
    Q_OBJECT
public:
    explicit EWUXINGZHIBIAO(common::Messenger &messenger, QWidget *parent = nullptr);

    // "计算": reads the three inputs and shows the four indices. A text that
    // is not a number gets the standard message and nothing is computed.
    void compute();

    QLineEdit *input(int i) const { return m_inputs[i]; } // Vs, Vp, ρ
    QLineEdit *output(int i) const { return m_outputs[i]; } // Gd, Ed, μd, ηs

private:
    common::Messenger &m_messenger;
    SoilIndexInputs m_values;
    QLineEdit *m_inputs[3] = {};
    QLineEdit *m_outputs[4] = {};
};

} // namespace talvex
