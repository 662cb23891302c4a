#pragma once
// Logic of the survey-log dialog CEditChenDialog ("工勘资料输入"): the list
// of survey-log layers, the fields of the selected one, the pattern choice,
// adding and deleting layers. It edits SurveyData::logLayers directly;
// every change marks the survey log modified as it is made.

#include <QString>
#include <QStringList>

namespace common {
class Messenger;
}

namespace talvex {

class SurveyData;

// What the dialog's fields hold for the selected layer.
struct SurveyLogFields {
    float top = 0.0f; // m, read-only: the stored start depth is kept
    float bottom = 0.0f; // m
    QString soilName; // at most 159 GBK bytes are kept
    int patternEntry = 0; // index into patternEntries()
};

class CEditChenDialogModel {
public:
    CEditChenDialogModel(SurveyData &survey, common::Messenger &messenger);

    // "土层 1" ... "土层 n".
    QStringList entries() const;
    // Selected layer (0-based), -1 when the log is empty.
    int selected() const { return m_selected; }
    // The fields as the dialog shows them for the selected layer.
    SurveyLogFields shown() const;

    void select(int index);

    // Focus leaves the end depth or the soil name: the selected layer gets
    // top and bottom from the fields, velocity 0, the selected pattern,
    // cleared reserved bytes and the soil name; the next layer's top follows
    // its bottom, so the log stays contiguous. No layer may end above its
    // start: an end depth above the start depth, or below the end of the next
    // layer that has a thickness (empty layers in between move down with it),
    // or a name GBK cannot hold, is refused with a message and nothing
    // changes.
    bool leaveField(const SurveyLogFields &fields);

    // A new pattern selection: only the selected layer's pattern changes.
    bool changePattern(int patternEntry);

    // "添加层": appends an empty layer starting and ending at the last bottom
    // (0 for an empty log) and selects it. Adding alone does not flag the
    // survey modified (an empty layer is no edit yet); it is announced.
    bool addLayer();

    // "删除层": removes the selected layer; the layer that moves up takes its
    // top (the gap closes downward). Selects the layer now at that place, or
    // the new last one.
    bool deleteLayer();

    static const char *const kBottomRangeMessage;
    static const char *const kNextBottomMessage; // %1 layer, %2 its end, %3 the end typed

private:
    SurveyData &m_survey;
    common::Messenger &m_messenger;
    int m_selected = -1;
};

// "土层 %d" entries for `count` layers.
QStringList layerEntries(int count);

} // namespace talvex
