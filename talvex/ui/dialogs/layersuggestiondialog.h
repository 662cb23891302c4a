#pragma once
// "建议分层": the velocity layers suggested from the breaks of the
// travel-time curve (SuggestLayers), each with its depths, velocity and
// point count, and the quality of the fit. 采用 accepts (the caller then
// inserts them through AcceptLayerSuggestion), 取消 leaves the survey alone.
// Shows only; changes nothing.

#include <QDialog>

class QLabel;
class QTableWidget;

namespace talvex {

struct LayerSuggestion;

class LayerSuggestionDialog : public QDialog {
    Q_OBJECT
public:
    // `existingLayers`: how many velocity layers the survey has now (a note
    // says they would be replaced).
    LayerSuggestionDialog(const LayerSuggestion &suggestion, int existingLayers, QWidget *parent = nullptr);

    // The fit line, e.g. "拟合 20 个测点，残差均方根 0.012ms，最大 0.031ms".
    static QString fitText(const LayerSuggestion &suggestion);

private:
    QTableWidget *m_table = nullptr;
};

} // namespace talvex
