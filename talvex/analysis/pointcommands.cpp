#include "talvex/analysis/pointcommands.h"

#include "talvex/analysis/pointvelocity.h"
#include "talvex/survey/undosnapshot.h"
#include "records/fieldrecord.h"
#include "talvex/survey/surveydata.h"
#include "talvex/settings/viewstate.h"

#include <algorithm>
#include <utility>

namespace talvex {

bool pointCommandsEnabled(const SurveyData &survey, const ViewState &view)
{
    return !survey.points.empty() && view.showsWaveforms();
}

bool insertPointEnabled(const ViewState &view)
{
    return view.showsWaveforms();
}

bool setTriggerPointEnabled(const ViewState &view)
{
    return view.mode == DisplayMode::RawRecord;
}

int currentPointIndex(const SurveyData &survey, const ViewState &view)
{
    const int index = view.currentPoint - 1;
    if (index < 0 || std::size_t(index) >= survey.points.size())
        return -1;
    return index;
}

namespace {

// The current point's arrival field `field` := the cursor sample, marked
// modified; false (nothing changed) without a current point or with the
// cursor outside the trace.
bool setArrival(SurveyData &survey, const ViewState &view, std::int16_t TlvOne::*field)
{
    const int index = currentPointIndex(survey, view);
    const int sample = view.cursorSample();
    if (index < 0 || sample < kFirstCursorSample || sample > kLastCursorSample)
        return false;
    TlvOne p = survey.points[std::size_t(index)];
    p.*field = std::int16_t(sample);
    survey.points[std::size_t(index)] = p;
    survey.markModified(SurveyParts::Points);
    return true;
}

} // namespace

bool SetPArrival(SurveyData &survey, const ViewState &view)
{
    return setArrival(survey, view, &TlvOne::pArrival);
}

bool SetRArrival(SurveyData &survey, const ViewState &view)
{
    return setArrival(survey, view, &TlvOne::rArrival);
}

bool SetSArrival(SurveyData &survey, const ViewState &view)
{
    const int index = currentPointIndex(survey, view);
    const int sample = view.cursorSample();
    if (index < 0 || sample < kFirstCursorSample || sample > kLastCursorSample)
        return false;
    TlvOne p = survey.points[std::size_t(index)];
    p.sArrival = std::int16_t(sample);
    survey.points[std::size_t(index)] = p;
    ComputePointVelocity(survey, index);
    if (std::size_t(index) + 1 < survey.points.size())
        ComputePointVelocity(survey, index + 1);
    survey.markModified(SurveyParts::Points);
    return true;
}

bool SetTriggerPoint(FieldRecord &record, const ViewState &view)
{
    const int k = view.cursorSample();
    if (k < kFirstCursorSample)
        return false;
    constexpr int last = kTraceLength - 1;
    for (auto &channel : record.channels) {
        for (int j = 0; j < kTraceLength; ++j)
            channel[std::size_t(j)] = channel[std::size_t(std::min(j + k, last))];
    }
    return true;
}

bool SortPointsByDepth(SurveyData &survey)
{
    auto &points = survey.points;
    if (points.empty())
        return false;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        for (std::size_t j = i + 1; j < points.size(); ++j) {
            if (points[j].depth < points[i].depth)
                std::swap(points[i], points[j]);
        }
    }
    if (survey.header.holeDepth < points.back().depth)
        survey.header.holeDepth = points.back().depth;
    RecalculateAllVelocities(survey);
    survey.markModified(SurveyParts::Points | SurveyParts::Header);
    return true;
}

bool InsertPoint(SurveyData &survey, ViewState &view, UndoSnapshot &undo)
{
    const int index = view.currentPoint - 1;
    if (index < 0 || std::size_t(index) > survey.points.size() || !SurveyData::canAdd(survey.points))
        return false;
    undo.TakeUndoSnapshot(survey);
    survey.points.insert(survey.points.begin() + index, TlvOne::newPoint(survey.header.sourceDistance));
    RecalculateAllVelocities(survey);
    survey.markModified(SurveyParts::Points);
    return true;
}

bool DeletePoint(SurveyData &survey, ViewState &view, UndoSnapshot &undo)
{
    const int index = currentPointIndex(survey, view);
    if (index < 0)
        return false;
    undo.TakeUndoSnapshot(survey);
    survey.points.erase(survey.points.begin() + index);
    view.currentPoint = std::clamp(view.currentPoint, 1, std::max(1, int(survey.points.size())));
    RecalculateAllVelocities(survey);
    survey.markModified(SurveyParts::Points);
    return true;
}

} // namespace talvex
