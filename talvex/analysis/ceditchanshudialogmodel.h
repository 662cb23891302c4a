#pragma once
// Logic of the hole dialog CEditChanShuDialog ("测孔参数修改", or
// "建立新文件对话框" for New): the header's hole and site parameters
// (HoleParameters). The dialog starts from the survey's header (or from
// newSurveyDefaults for New), puts the typed texts in with setText and the
// numbers and choices directly, and ends with apply (or, for New,
// validate and SurveyDocument::newSurvey / NewSurvey).

#include "talvex/survey/surveydata.h"

#include <QString>
#include <optional>

namespace common {
class Messenger;
}

namespace talvex {

class UndoSnapshot;

// The four texts of the dialog.
enum class HoleText { ProjectName, HoleNumber, Personnel, TestDate };

// The six number fields of the dialog, in the order they are laid out.
enum class HoleNumber { HoleDepth, PointSpacing, PlankLength, SourceDistance, Overburden, ComputationDepth };

class CEditChanShuDialogModel {
public:
    CEditChanShuDialogModel(SurveyData &survey, UndoSnapshot &undo, common::Messenger &messenger);

    // The text of a field for its edit box.
    static QString text(const HoleParameters &values, HoleText field);

    // Puts a typed text into its field as GBK, cut to the field's size (16,
    // 80, 40, 40 bytes) at a character boundary. A text equal to what the
    // field shows leaves the stored bytes exactly as they are (a stored name
    // longer than the edit box lets one type is kept). Refused with a message
    // naming the field when GBK cannot hold a character of it.
    bool setText(HoleParameters &values, HoleText field, const QString &text);

    // Why the dialog's values are refused: the message and the number field
    // it concerns (none for the choices).
    struct Refusal {
        std::optional<HoleNumber> field;
        QString message;
    };

    // Checks the numbers and choices, for the dialog and talvex-cli alike:
    // hole depth and point spacing above 0, plank length and source distance
    // not negative (all finite), overburden and computation depth within
    // 0...200, the personnel label 0...2, the check box 0 or 1. Any `method`
    // is taken (not 0 means cross hole). For a new survey the hole must also
    // be at least one spacing deep, or the survey would have no point. When
    // editing, a value equal to the one the survey already holds is not
    // refused for the first four rules (an old file stays editable).
    // Returns the first failure, nothing when all pass.
    std::optional<Refusal> check(const HoleParameters &values, bool newSurvey = false) const;

    // check() with its message shown; true when all pass. refusedField()
    // then names the number field of the last refusal.
    bool validate(const HoleParameters &values, bool newSurvey = false);
    std::optional<HoleNumber> refusedField() const { return m_refused; }

    // OK: validates, takes an undo snapshot, stores the parameters into the
    // header and marks the header modified. Velocities are not recomputed.
    // Returns false (nothing changed, the dialog stays open) when the values
    // are refused.
    bool apply(const HoleParameters &values);

    // How many characters the project name's edit box lets one type. A
    // typing limit of the widget only: a longer stored name is accepted.
    static constexpr int kProjectNameMaxChars = 24;
    static constexpr float kMaxOverburden = 200.0f;

private:
    SurveyData &m_survey;
    UndoSnapshot &m_undo;
    common::Messenger &m_messenger;
    std::optional<HoleNumber> m_refused;
};

} // namespace talvex
