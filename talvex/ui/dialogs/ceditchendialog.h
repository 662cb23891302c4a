#pragma once
// "工勘资料输入": the layers of the geotechnical survey log, each with its
// end depth, soil name and column pattern (with a preview). Each change is
// stored as the user leaves a box, picks a pattern or presses a button,
// through the survey-log dialog's model; closing keeps what was stored, so
// the dialog has one button, "确定".

#include "talvex/analysis/ceditchendialogmodel.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;

namespace common {
class Messenger;
}

namespace talvex {

class ByteLimitedTextEdit;
class FieldLineEdit;
class PatternPreview;
class SurveyDocument;

class CEditChenDialog : public QDialog {
    Q_OBJECT
public:
    CEditChenDialog(SurveyDocument &document, common::Messenger &messenger, QWidget *parent = nullptr);
    ~CEditChenDialog() override;

    void accept() override;
    void done(int result) override;

    // Leaving the end depth or the soil name; false when refused.
    bool leaveField();
    void choosePattern(int entry);
    void addLayer();
    void deleteLayer();

    QListWidget *list() const { return m_list; }
    QLineEdit *topEdit() const { return m_top; }
    QLineEdit *bottomEdit() const;
    ByteLimitedTextEdit *soilNameEdit() const { return m_soilName; }
    QComboBox *patternList() const { return m_pattern; }
    PatternPreview *preview() const { return m_preview; }

private:
    void showList();
    void showFields();

    CEditChenDialogModel m_model;
    common::Messenger &m_messenger;
    QListWidget *m_list = nullptr;
    QLineEdit *m_top = nullptr;
    FieldLineEdit *m_bottom = nullptr;
    ByteLimitedTextEdit *m_soilName = nullptr;
    QComboBox *m_pattern = nullptr;
    PatternPreview *m_preview = nullptr;
    bool m_finished = false;
};

} // namespace talvex
