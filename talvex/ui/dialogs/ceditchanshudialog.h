#pragma once
// The hole and site parameters: "测孔参数修改" (修改测孔参数) stores them
// into the open survey on OK; "建立新文件对话框" (New) starts from the current
// values with today's date and on OK replaces the survey with a new one built
// from them.

#include "talvex/survey/surveydata.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace common {
class Messenger;
}

namespace talvex {

class SurveyDocument;
class TypingLimitValidator;

class CEditChanShuDialog : public QDialog {
    Q_OBJECT
public:
    enum class Purpose { EditHole, NewSurvey };

    CEditChanShuDialog(SurveyDocument &document, Purpose purpose, common::Messenger &messenger,
                       QWidget *parent = nullptr);

    // The parameters as shown at the start, and as stored after OK.
    const HoleParameters &parameters() const { return m_values; }

    // OK: reads every box; a refused value keeps the dialog open.
    void accept() override;

    QLineEdit *projectNameEdit() const { return m_texts[0]; }

private:
    bool readValues(HoleParameters &values);

    SurveyDocument &m_document;
    Purpose m_purpose;
    common::Messenger &m_messenger;
    HoleParameters m_values;
    QLineEdit *m_texts[4] = {}; // project name, hole number, personnel, test date
    QLineEdit *m_numbers[6] = {}; // hole depth, spacing, plank, source distance, overburden, computation depth
    QComboBox *m_personnelLabel = nullptr;
    QComboBox *m_method = nullptr;
    QCheckBox *m_microtremor = nullptr;
};

} // namespace talvex
