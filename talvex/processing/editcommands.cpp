#include "talvex/processing/editcommands.h"

#include "talvex/survey/surveydata.h"
#include "talvex/settings/viewstate.h"

namespace talvex {

namespace {

bool currentPointExists(const SurveyData &survey, const ViewState &view)
{
    return view.currentPoint >= 1 && std::size_t(view.currentPoint) <= survey.points.size();
}

bool traceSelected(const ViewState &view)
{
    return view.selectedTrace == 0 || view.selectedTrace == 1;
}

bool channelSelected(const ViewState &view)
{
    return view.selectedChannel >= 1 && view.selectedChannel <= 4;
}

// The 1024-sample target of a single-target command exists.
bool targetExists(const SurveyData &survey, const ViewState &view)
{
    if (view.inPointMode())
        return currentPointExists(survey, view) && traceSelected(view);
    if (view.mode == DisplayMode::RawRecord)
        return channelSelected(view);
    return false;
}

} // namespace

bool isEnabled(EditCommand command, const SurveyData &survey, const ViewState &view, bool undoAvailable)
{
    const bool hasPoints = !survey.points.empty();
    const bool rawRecord = view.mode == DisplayMode::RawRecord;
    switch (command) {
    case EditCommand::ZeroBeforeCursor:
    case EditCommand::ZeroAfterCursor:
    case EditCommand::ShiftEarlier:
    case EditCommand::ShiftLater:
    case EditCommand::ShiftEarlierTen:
    case EditCommand::ShiftLaterTen:
    case EditCommand::InvertTrace:
    case EditCommand::RemoveTraceDC:
    case EditCommand::SmoothTrace:
    case EditCommand::DigitalFilter:
    case EditCommand::ShowSpectrum: return hasPoints && view.showsWaveforms() && targetExists(survey, view);
    case EditCommand::InvertAllPoints: return hasPoints && view.showsWaveforms() && traceSelected(view);
    case EditCommand::SetPositiveTrace:
    case EditCommand::SetNegativeTrace: return rawRecord && currentPointExists(survey, view) && channelSelected(view);
    case EditCommand::CompressDisplay:
    case EditCommand::ExpandDisplay:
    case EditCommand::RestoreDisplay: return rawRecord;
    case EditCommand::Undo: return hasPoints && !rawRecord && undoAvailable;
    }
    return false;
}

} // namespace talvex
