#include "talvex/analysis/layercommands.h"

#include "common/messenger.h"
#include "talvex/analysis/layervelocity.h"
#include "talvex/analysis/soilclass.h"
#include "talvex/analysis/surveylogimport.h"
#include "common/fixedtext.h"
#include "common/gbk.h"
#include "talvex/survey/surveydata.h"
#include "talvex/settings/viewstate.h"

#include <algorithm>

namespace talvex {

const char *const kLayersTooCloseMessage = "两次分层离得太近了，小于了0.5m";
const char *const kNoLayerSelectedMessage = "没有层被选中，请将光标移到要删除的层的中间部分";
const char *const kLayerAtSurfaceMessage = "不能在地面处分层，请将光标移到地面以下";

namespace {

bool near(int y, float boundary)
{
    const int by = depthToCursorY(boundary);
    return by - kMinLayerSpacingUnits < y && y < by + kMinLayerSpacingUnits;
}

// The last layer whose top and bottom enclose y strictly, or -1.
int layerAround(const SurveyData &survey, int y)
{
    int found = -1;
    for (std::size_t i = 0; i < survey.layers.size(); ++i) {
        const DiChengOne &l = survey.layers[i];
        if (depthToCursorY(l.top) < y && y < depthToCursorY(l.bottom))
            found = int(i);
    }
    return found;
}

void refreshLayer(SurveyData &survey, std::size_t index)
{
    DiChengOne l = survey.layers[index];
    l.velocity = ComputeLayerVelocity(survey, int(index));
    survey.layers[index] = l;
}

} // namespace

bool layerCommandsEnabled(const SurveyData &survey, const ViewState &view)
{
    return !survey.points.empty() && view.mode == DisplayMode::VelocityHistogram;
}

bool InsertLayer(SurveyData &survey, const ViewState &view, common::Messenger &messenger)
{
    const int y = view.depthCursor;
    if (y <= kDepthAxisOrigin) {
        messenger.show(QString::fromUtf8(kLayerAtSurfaceMessage), common::MessageKind::Warning);
        return false;
    }
    bool tooClose = false;
    for (const DiChengOne &l : survey.layers)
        tooClose = tooClose || near(y, l.top) || near(y, l.bottom);
    if (tooClose) {
        messenger.show(QString::fromUtf8(kLayersTooCloseMessage), common::MessageKind::Warning);
        return false;
    }
    if (!SurveyData::canAdd(survey.layers))
        return false;
    const float d = cursorYToDepth(y);
    auto &layers = survey.layers;

    const int k = layerAround(survey, y);
    if (k >= 0) {
        DiChengOne upper = layers[std::size_t(k)];
        upper.bottom = d;
        upper.description = {};
        layers.insert(layers.begin() + k, upper);
        refreshLayer(survey, std::size_t(k));
        DiChengOne lower = layers[std::size_t(k) + 1];
        lower.top = d;
        layers[std::size_t(k) + 1] = lower;
        refreshLayer(survey, std::size_t(k) + 1);
    } else {
        // Outside every layer: fill from the boundary above the cursor down to
        // it, before the first layer that starts below the cursor.
        float top = 0.0f;
        std::size_t at = 0;
        for (std::size_t i = 0; i < layers.size(); ++i) {
            if (depthToCursorY(layers[i].bottom) <= y) {
                top = std::max(top, layers[i].bottom);
                at = i + 1;
            }
        }
        DiChengOne added;
        added.top = top;
        added.bottom = d;
        layers.insert(layers.begin() + std::ptrdiff_t(at), added);
        refreshLayer(survey, at);
    }
    survey.markModified(SurveyParts::Layers);
    return true;
}

bool DeleteLayer(SurveyData &survey, const ViewState &view, common::Messenger &messenger)
{
    const int k = layerAround(survey, view.depthCursor);
    if (k < 0) {
        messenger.show(QString::fromUtf8(kNoLayerSelectedMessage), common::MessageKind::Warning);
        return false;
    }
    if (RemoveLayerClosingGap(survey.layers, std::size_t(k)))
        refreshLayer(survey, std::size_t(k));
    survey.markModified(SurveyParts::Layers);
    return true;
}

bool RemoveLayerClosingGap(std::vector<DiChengOne> &layers, std::size_t index)
{
    const float top = layers[index].top;
    layers.erase(layers.begin() + std::ptrdiff_t(index));
    if (index >= layers.size())
        return false;
    DiChengOne next = layers[index];
    next.top = top;
    layers[index] = next;
    return true;
}

bool MoveLayerBoundary(SurveyData &survey, int index, float depth)
{
    if (index < 0 || std::size_t(index) >= survey.layers.size())
        return false;
    DiChengOne l = survey.layers[std::size_t(index)];
    l.bottom = depth;
    survey.layers[std::size_t(index)] = l;
    refreshLayer(survey, std::size_t(index));
    if (std::size_t(index) + 1 < survey.layers.size()) {
        DiChengOne next = survey.layers[std::size_t(index) + 1];
        next.top = depth;
        survey.layers[std::size_t(index) + 1] = next;
        refreshLayer(survey, std::size_t(index) + 1);
    }
    survey.markModified(SurveyParts::Layers);
    return true;
}

void nameLayerBySoilType(DiChengOne &layer)
{
    if (const auto soil = ClassifySoil(layer.velocity)) {
        // Every soil type text is GBK.
        common::storeFixedText(layer.description, common::encodeGbk(*soil).value_or(QByteArray()).toStdString());
    }
}

void FillLayerFromPoints(SurveyData &survey, std::size_t index)
{
    auto &layers = survey.layers;
    if (index >= layers.size())
        return;
    DiChengOne l = layers[index];
    l.reserved = {};
    layers[index] = l;
    l.velocity = ComputeLayerVelocity(survey, int(index));
    nameLayerBySoilType(l);
    layers[index] = l;
    if (index + 1 < layers.size()) {
        DiChengOne next = layers[index + 1];
        next.top = l.bottom;
        layers[index + 1] = next;
        refreshLayer(survey, index + 1);
    }
    survey.markModified(SurveyParts::Layers);
}

bool LayersFromSurveyLog(SurveyData &survey, common::Messenger &messenger)
{
    if (!ImportSurveyLog(survey, messenger))
        return false;
    for (std::size_t i = 0; i < survey.layers.size(); ++i)
        FillLayerFromPoints(survey, i);
    return true;
}

std::optional<CursorRange> boundaryDragRange(const SurveyData &survey, int index)
{
    if (index < 0 || std::size_t(index) >= survey.layers.size())
        return std::nullopt;
    CursorRange r;
    r.lowest = depthToCursorY(survey.layers[std::size_t(index)].top) + kDragMarginUnits;
    if (std::size_t(index) + 1 < survey.layers.size())
        r.highest = depthToCursorY(survey.layers[std::size_t(index) + 1].bottom) - kDragMarginUnits;
    else
        r.highest = depthToCursorY(survey.header.holeDepth);
    if (r.highest < r.lowest)
        return std::nullopt;
    return r;
}

bool DragLayerBoundary(SurveyData &survey, int index, int releaseY)
{
    const auto range = boundaryDragRange(survey, index);
    if (!range)
        return false;
    const int y = std::clamp(releaseY, range->lowest, range->highest);
    return MoveLayerBoundary(survey, index, cursorYToDepth(y));
}

} // namespace talvex
