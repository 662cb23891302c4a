#pragma once
// "分层参数修改": the velocity layers. Each change is stored as the user
// leaves a box or presses a button, through the layer dialog's model (which
// computes layer velocities and names soil types); closing the dialog keeps
// what was stored, so it has one button, "确定".

#include "talvex/analysis/ceditzhudialogmodel.h"

#include <QDialog>

class QLineEdit;
class QListWidget;

namespace common {
class Messenger;
}

namespace talvex {

class ByteLimitedTextEdit;
class FieldLineEdit;
class SurveyDocument;

class CEditZhuDialog : public QDialog {
    Q_OBJECT
public:
    CEditZhuDialog(SurveyDocument &document, common::Messenger &messenger, QWidget *parent = nullptr);
    ~CEditZhuDialog() override;

    // OK (also by Enter): stores the box that has the focus first; stays open
    // when it is refused.
    void accept() override;
    void done(int result) override;

    // The steps of the dialog, as the buttons and boxes call them. Leaving a
    // box returns false when its value was refused (message shown, the focus
    // back in the box).
    bool leaveBottom();
    bool leaveVelocity();
    bool leaveDescription();
    void addLayer();
    void deleteLayer();
    void importSurveyLog();

    QListWidget *list() const { return m_list; }
    QLineEdit *topEdit() const { return m_top; }
    QLineEdit *bottomEdit() const;
    QLineEdit *velocityEdit() const;
    ByteLimitedTextEdit *descriptionEdit() const { return m_description; }

private:
    bool readFields(LayerFields &fields);
    void showList();
    void showFields();

    CEditZhuDialogModel m_model;
    common::Messenger &m_messenger;
    QListWidget *m_list = nullptr;
    QLineEdit *m_top = nullptr;
    FieldLineEdit *m_bottom = nullptr;
    FieldLineEdit *m_velocity = nullptr;
    ByteLimitedTextEdit *m_description = nullptr;
    bool m_finished = false;
};

} // namespace talvex
