#include "talvex/ui/view/viewreadout.h"

#include "talvex/analysis/pointcommands.h"
#include "talvex/processing/frequencydisplay.h"
#include "records/fieldrecord.h"
#include "talvex/survey/surveydata.h"
#include "talvex/settings/viewstate.h"

namespace talvex {

namespace {

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

const TlvOne *currentPoint(const SurveyData &survey, const ViewState &view)
{
    const int index = currentPointIndex(survey, view);
    return index < 0 ? nullptr : &survey.points[std::size_t(index)];
}

} // namespace

CursorReadout cursorReadout(const SurveyData &survey, const ViewState &view, const FieldRecord &record,
                            const FrequencyDisplay &spectrum)
{
    const float sample = float(view.cursorSample());
    switch (view.mode) {
    case DisplayMode::MultiTrace:
    case DisplayMode::SingleTrace: {
        float ms = 0.0f;
        if (const TlvOne *point = currentPoint(survey, view))
            ms = sample * point->interval / 1000.0f + point->delay;
        return {QString::fromUtf8("当前时间:"), fixed(ms, 2), QStringLiteral("ms")};
    }
    case DisplayMode::RawRecord: {
        float ms = 0.0f;
        if (view.selectedChannel >= 1 && view.selectedChannel <= kRecordChannels)
            ms = sample * record.channelInterval[std::size_t(view.selectedChannel - 1)] / 1000.0f + record.delay;
        return {QString::fromUtf8("当前时间:"), fixed(ms, 2), QStringLiteral("ms")};
    }
    case DisplayMode::Spectrum:
        return {QString::fromUtf8("当前频率:"), fixed(sample * spectrum.frequencyStep, 2), QStringLiteral("Hz")};
    case DisplayMode::VelocityHistogram:
        return {QString::fromUtf8("当前深度:"), fixed(cursorYToDepth(view.depthCursor), 1), QStringLiteral("m")};
    case DisplayMode::TimeDistance: {
        // The chart has no cursor: the box keeps its label and unit and shows
        // the current point's arrival time, the chart's quantity.
        const TlvOne *point = currentPoint(survey, view);
        return {QString::fromUtf8("波初至时:"), fixed(point ? point->travelTime() : 0.0f, 2), QStringLiteral("ms")};
    }
    }
    return {};
}

QStringList statusPaneTexts(const SurveyData &survey, const ViewState &view)
{
    TlvOne none;
    const TlvOne *point = currentPoint(survey, view);
    const TlvOne &p = point ? *point : none;
    const float arrival = point ? p.travelTime() : 0.0f;
    // The stored velocities of a point without a pick come from its delay
    // alone, and a point velocity is measured against the list element above
    // (single hole) or the equivalent one through all above (cross hole):
    // those are shown as not picked rather than as a result.
    QString pointVelocity = QString::fromUtf8("测点波速:%1m/s").arg(fixed(p.pointVelocity, 2));
    QString equivVelocity = QString::fromUtf8("等效波速:%1m/s").arg(fixed(p.equivVelocity, 2));
    if (point) {
        const int index = currentPointIndex(survey, view);
        bool aboveUnpicked = false;
        for (int k = 0; k < index; ++k)
            aboveUnpicked = aboveUnpicked || survey.points[std::size_t(k)].sArrival <= 0;
        const bool previousUnpicked = index > 0 && survey.points[std::size_t(index - 1)].sArrival <= 0;
        const bool singleHole = survey.header.isSingleHole();
        if (p.sArrival <= 0) {
            pointVelocity = QString::fromUtf8("测点波速:未拾取");
            equivVelocity = QString::fromUtf8("等效波速:未拾取");
        } else {
            if (singleHole && previousUnpicked)
                pointVelocity = QString::fromUtf8("测点波速:未拾取(上点)");
            if (!singleHole && aboveUnpicked)
                equivVelocity = QString::fromUtf8("等效波速:未拾取(上方)");
        }
    }
    return {
        QString::fromUtf8("测点深度:%1m").arg(fixed(p.depth, 2)),
        QString::fromUtf8("波初至时:%1ms").arg(fixed(arrival, 2)),
        pointVelocity,
        equivVelocity,
        QString::fromUtf8("采样延时:%1ms").arg(fixed(p.delay, 0)),
        QString::fromUtf8("采样间隔:%1us").arg(fixed(p.interval, 0)),
    };
}

} // namespace talvex
