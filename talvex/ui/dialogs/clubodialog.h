#pragma once
// "滤波设定": the kind of digital filter and its edge frequencies for the
// trace command "数字滤波...". Opens with the remembered kind and that kind's
// default frequencies; settings() holds the choice after OK. Frequencies the
// trace to be filtered (sampled every `traceInterval` us, 0 when not known)
// cannot take are refused with a message and the dialog stays open.

#include "talvex/processing/clubodialogmodel.h"

#include <QDialog>

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace common {
class Messenger;
}

namespace talvex {

class CLuBoDialog : public QDialog {
    Q_OBJECT
public:
    CLuBoDialog(const FilterSettings &remembered, common::Messenger &messenger, float traceInterval = 0.0f,
                QWidget *parent = nullptr);

    // The settings the view stores and filters with (valid after OK).
    FilterSettings settings() const { return m_model.accepted(); }

    void accept() override;

private:
    void chooseKind(int kind);
    void showModel();
    bool readFrequency(QLineEdit *edit, qint16 &value);

    CLuBoDialogModel m_model;
    common::Messenger &m_messenger;
    QLabel *m_upperLabel = nullptr;
    QLabel *m_lowerLabel = nullptr;
    QLineEdit *m_upper = nullptr;
    QLineEdit *m_lower = nullptr;
    QButtonGroup *m_kinds = nullptr;
};

} // namespace talvex
