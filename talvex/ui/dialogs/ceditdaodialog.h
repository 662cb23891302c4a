#pragma once
// "测点参数修改": depth, sample interval, delay, cross-hole distance and the
// three arrivals (in ms) of the current point; the gain is shown only. OK
// stores them through the point dialog's model, which recalculates the
// velocities.

#include "talvex/analysis/ceditdaodialogmodel.h"

#include <QDialog>

class QLineEdit;

namespace common {
class Messenger;
}

namespace talvex {

class SurveyDocument;

class CEditDaoDialog : public QDialog {
    Q_OBJECT
public:
    CEditDaoDialog(SurveyDocument &document, common::Messenger &messenger, QWidget *parent = nullptr);

    // False when the view's current point is not in the list: the command is
    // then disabled and the dialog must not be shown.
    bool hasPoint() const { return m_model.hasPoint(); }

    void accept() override;

    // Depth, interval, delay, cross distance, S, P, R arrival, gain.
    QLineEdit *field(int i) const { return m_fields[i]; }

private:
    CEditDaoDialogModel m_model;
    common::Messenger &m_messenger;
    QLineEdit *m_fields[8] = {};
};

} // namespace talvex
