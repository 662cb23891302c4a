#include "chartsurvey.h"

#include "common/fixedtext.h"
#include "common/gbk.h"
#include "common/messenger.h"
#include "talvex/analysis/layercommands.h"
#include "talvex/analysis/pointcommands.h"
#include "talvex/analysis/pointvelocity.h"
#include "talvex/survey/folderimport.h"
#include "talvex/survey/newsurvey.h"
#include "talvex/settings/viewstate.h"
#include "tools/samplegen/syntheticsurvey.h"

#include <QTemporaryDir>
#include <cmath>
#include <stdexcept>

using namespace talvex;

namespace chartsurvey {

namespace {

DiChengOne logLayer(float top, float bottom, int pattern, const char *name)
{
    DiChengOne layer;
    layer.top = top;
    layer.bottom = bottom;
    layer.pattern = std::uint8_t(pattern);
    common::storeFixedText(layer.description, common::encodeGbk(QString::fromUtf8(name))->toStdString());
    return layer;
}

} // namespace

Sample generatedSample()
{
    QTemporaryDir dir;
    const samplegen::SurveyModel model = samplegen::defaultModel();
    QString error;
    if (samplegen::writeRecords(model, dir.path(), &error) <= 0)
        throw std::runtime_error(error.toStdString());

    Sample sample;
    SurveyData &survey = sample.survey;
    HoleParameters p = newSurveyDefaults(survey, QDate(2026, 12, 7));
    p.holeDepth = model.holeDepth;
    p.pointSpacing = model.pointSpacing;
    p.sourceDistance = model.sourceDistance;
    NewSurvey(survey, p);
    common::RecordingMessenger messenger;
    if (ImportFolder(survey, sample.record, dir.path(), 1, messenger).filesTaken <= 0)
        throw std::runtime_error("the generated records were not imported");

    ViewState view;
    for (std::size_t i = 0; i < survey.points.size(); ++i) {
        const TlvOne &pt = survey.points[i];
        const double t = samplegen::travelTimeMs(model, pt.depth, true);
        const int arrival = int(std::lround((t - pt.delay) * 1000.0 / pt.interval));
        view.currentPoint = int(i) + 1;
        view.cursorX = kWaveformOriginX + arrival;
        SetSArrival(survey, view);
    }
    RecalculateAllVelocities(survey);
    for (const samplegen::ModelLayer &l : model.layers) {
        if (l.bottom >= model.holeDepth)
            continue;
        view.depthCursor = depthToCursorY(l.bottom);
        InsertLayer(survey, view, messenger);
    }
    for (DiChengOne &layer : survey.layers)
        nameLayerBySoilType(layer);
    survey.logLayers = {
        logLayer(0.0f, 2.0f, 1, "素填土"),
        logLayer(2.0f, 3.0f, 6, "粉质粘土，可塑，含铁锰质结核及少量钙质结核"),
        logLayer(3.0f, 11.0f, 25, "中砂"),
        logLayer(11.0f, 20.0f, 32, "卵石"),
    };
    return sample;
}

SurveyData longSurvey(int count)
{
    const Sample sample = generatedSample();
    SurveyData survey;
    survey.header = sample.survey.header;
    survey.points.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        TlvOne point = sample.survey.points[std::size_t(i) % sample.survey.points.size()];
        point.depth = 0.5f * float(i + 1);
        survey.points.push_back(point);
    }
    survey.header.holeDepth = 0.5f * float(count);
    return survey;
}

} // namespace chartsurvey
