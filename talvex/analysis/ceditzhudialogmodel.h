#pragma once
// Logic of the layer dialog CEditZhuDialog ("分层参数修改"): the list of
// velocity layers and the fields of the selected one. It edits
// SurveyData::layers directly; every change marks the layers modified as it
// is made.
//
// Storing a layer velocity, computed or typed, names the layer by its soil
// type (ClassifySoil), replacing the description.

#include <QString>
#include <QStringList>
#include <cstdint>

namespace common {
class Messenger;
}

namespace talvex {

class SurveyData;

struct LayerFields {
    float top = 0.0f; // m, read-only: the stored start depth is kept
    float bottom = 0.0f; // m
    float velocity = 0.0f; // m/s
    QString description; // at most 159 GBK bytes are kept
};

class CEditZhuDialogModel {
public:
    // Selects and shows the first layer when there is one.
    CEditZhuDialogModel(SurveyData &survey, common::Messenger &messenger);

    QStringList entries() const;
    int selected() const { return m_selected; }
    // The fields as the dialog shows them.
    const LayerFields &shown() const { return m_fields; }

    // Shows layer `index`. A layer with velocity 0 or an empty description
    // gets its computed velocity and soil type at once (FillLayerFromPoints).
    void select(int index);

    // Focus leaves the end depth: the layer is stored from the fields, then
    // its velocity is computed from the points and it is named by soil type;
    // the next layer's top follows the bottom and its velocity is recomputed
    // (its description stays). An end depth above the start depth, or a
    // description GBK cannot hold, is refused with a message and nothing
    // changes.
    bool leaveBottom(const LayerFields &fields);

    // Focus leaves the velocity: the fields are stored with the typed
    // velocity and the layer is named by its soil type. An end depth above
    // the start depth is refused as when leaving its own field.
    bool leaveVelocity(const LayerFields &fields);

    // Focus leaves the description: only the description is stored.
    bool leaveDescription(const LayerFields &fields);

    // "添加层": appends a layer from the last bottom (0 for none) with no
    // thickness, selects and shows it.
    bool addLayer();

    // "删除层": removes the selected layer; the one that moves up takes its
    // top and gets its velocity recomputed; selects the layer now at that
    // place, or the new last one.
    bool deleteLayer();

    // "导入工勘资料": LayersFromSurveyLog (every layer gets its velocity and
    // soil type), then shows the first layer.
    bool importSurveyLog();

private:
    bool checkBottom(const LayerFields &fields);
    void showSelected();

    SurveyData &m_survey;
    common::Messenger &m_messenger;
    int m_selected = -1;
    LayerFields m_fields;
};

} // namespace talvex
