#pragma once
// Logic of the hole dialog CEditChanShuDialog ("测孔参数修改", or
// "建立新文件对话框" for New): the header's hole and site parameters.

#include "talvex/survey/newsurvey.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace common {
class Messenger;
}

namespace talvex {

class SurveyData;
class UndoSnapshot;

// What the dialog shows and returns; texts as typed.
struct HoleDialogValues {
    QString projectName; // at most 24 characters
    QString holeNumber;
    QString personnel;
    QString testDate;
    int personnelLabel = 1; // 0 tester, 1 testing organisation, 2 instrument
    float holeDepth = 0.0f;        // m
    float pointSpacing = 0.0f;     // m
    float plankLength = 0.0f;      // m
    float sourceDistance = 0.0f;   // m
    float overburden = 0.0f;       // m, 0...200
    float computationDepth = 0.0f; // m, 0...200
    std::uint8_t method = 0;       // 0 single hole, 1 cross hole
    int microtremorTest = 0;       // 0 or 1
};

class CEditChanShuDialogModel {
public:
    CEditChanShuDialogModel(SurveyData &survey, UndoSnapshot &undo, common::Messenger &messenger);

    // The dialog's start values, from the survey.
    static HoleDialogValues load(const SurveyData &survey);
    // The start values of the New dialog (newSurveyDefaults).
    static HoleDialogValues load(const HoleParameters &defaults);

    // Checks the values as the dialog's fields do: the project name at most
    // 24 characters, overburden and computation depth within 0...200, every
    // text representable in GBK. Shows the first failure; true when all pass.
    bool validate(const HoleDialogValues &values);

    // The dialog opened by New: the values, validated as for OK, as the
    // parameters of the new survey (texts as GBK cut to their field sizes).
    // Nothing when they are refused.
    std::optional<HoleParameters> newSurveyParameters(const HoleDialogValues &values);

    // OK: validates, takes an undo snapshot, stores the texts into their
    // fields (cut to 16, 80, 40 and 40 bytes at a character boundary) and the
    // numbers into the header, the label and the check box into the survey,
    // and marks it modified. Velocities are not recomputed. Returns false
    // (nothing changed, the dialog stays open) when the values are refused.
    bool apply(const HoleDialogValues &values);

    static constexpr int kProjectNameMaxChars = 24;
    static constexpr float kMaxOverburden = 200.0f;

private:
    SurveyData &m_survey;
    UndoSnapshot &m_undo;
    common::Messenger &m_messenger;
};

} // namespace talvex
