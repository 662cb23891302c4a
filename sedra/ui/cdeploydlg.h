// Sampling parameter dialog "配置采样参数".
#pragma once

#include "sedra/core/cdeploydlgmodel.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace sedra {

class CDeployDlg : public QDialog {
    Q_OBJECT
public:
    explicit CDeployDlg(const SedraParameters &parameters, QWidget *parent = nullptr);

    // The parameters after OK.
    SedraParameters parameters() const { return m_result; }

    QLineEdit *siteEdit() const { return m_site; }
    QLineEdit *pointEdit() const { return m_point; }
    QComboBox *gainBox() const { return m_gain; }
    QComboBox *lengthBox() const { return m_length; }
    QLineEdit *intervalEdit() const { return m_interval; }
    QLineEdit *delayEdit() const { return m_delay; }

    void accept() override;

private:
    SedraParameters m_result;
    QLineEdit *m_site;
    QLineEdit *m_point;
    QComboBox *m_gain;
    QComboBox *m_length;
    QLineEdit *m_interval;
    QLineEdit *m_delay;
};

} // namespace sedra
