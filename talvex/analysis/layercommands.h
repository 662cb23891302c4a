#pragma once
// Commands of the velocity histogram that change the velocity layers. They
// work at the view's depth cursor, a histogram y coordinate:
// y = 100 + trunc(50 × depth in m) (depthToCursorY). The layers stay in
// top-down order and contiguous. Every change ends with markModified; no
// undo snapshot is taken. Refusals show their message and change nothing.

#include <optional>

#include <cstddef>
#include <vector>

namespace common {
class Messenger;
}

namespace talvex {

class SurveyData;
struct DiChengOne;
struct ViewState;

// Units of the depth cursor within which a new boundary is refused (0.5 m).
inline constexpr int kMinLayerSpacingUnits = 25;
// Units a dragged boundary stays inside its neighbours (0.2 m).
inline constexpr int kDragMarginUnits = 10;

extern const char *const kLayersTooCloseMessage; // "两次分层离得太近了，小于了0.5m"
extern const char *const kNoLayerSelectedMessage; // "没有层被选中，请将光标移到要删除的层的中间部分"
extern const char *const kLayerAtSurfaceMessage; // "不能在地面处分层，请将光标移到地面以下"

// Insert and delete layer are enabled while the histogram is shown and the
// survey has points.
bool layerCommandsEnabled(const SurveyData &survey, const ViewState &view);

// "插入一个土层" at the depth cursor y, depth d = (y - 100) / 50:
// - refused with kLayerAtSurfaceMessage at or above depth 0 (a layer there
//   would have no thickness), and with kLayersTooCloseMessage when y lies
//   within 25 units of any layer's top or bottom;
// - inside a layer (last match when several): split it into a new layer from
//   its top to d (empty description, pattern and reserved bytes kept),
//   inserted before it, and the old layer from d down;
// - outside every layer: a new layer from the boundary just above the cursor
//   (the last bottom above it, or 0) down to d, inserted in depth order. For
//   an empty list this is the layer 0...d; below the last layer it extends
//   the list from the last bottom.
// The new and changed layers get their velocities computed.
bool InsertLayer(SurveyData &survey, const ViewState &view, common::Messenger &messenger);

// The one rule for removing a layer, of the velocity layers or of the
// survey log: layer `index` (< layers.size()) is erased and the layer that
// moves up into its place takes its top, so the column keeps no gap.
// Returns whether a layer moved up (whose velocity, where the list has
// computed velocities, the caller recomputes); marks nothing modified.
bool RemoveLayerClosingGap(std::vector<DiChengOne> &layers, std::size_t index);

// "删除一个土层": removes the layer the depth cursor lies inside (last match;
// kNoLayerSelectedMessage when none). The layer that moves up takes the
// removed layer's top and gets its velocity recomputed.
bool DeleteLayer(SurveyData &survey, const ViewState &view, common::Messenger &messenger);

// Layer `index` (0-based) gets bottom := `depth`, the next layer top :=
// `depth`; both velocities are recomputed. The caller clamps the depth
// (boundaryDragRange). Returns false for an index outside the list.
bool MoveLayerBoundary(SurveyData &survey, int index, float depth);

// Range of cursor y the bottom of layer `index` may be dragged to:
// [y(top) + 10, y(next bottom) - 10], or up to y(holeDepth) for the last
// layer. Nothing when the index is outside the list or the range is empty.
struct CursorRange {
    int lowest = 0;
    int highest = 0;
};
std::optional<CursorRange> boundaryDragRange(const SurveyData &survey, int index);

// Names a layer by the soil type of its velocity (ClassifySoil), replacing
// its description; a velocity without a soil type leaves it.
void nameLayerBySoilType(DiChengOne &layer);

// What the layer dialog does for a layer it shows without a velocity or a
// description: layer `index` gets cleared reserved bytes, its velocity
// computed from the points and its soil-type name; the next layer's top
// follows its bottom and its velocity is recomputed. Marks the layers
// modified. Nothing for an index outside the list.
void FillLayerFromPoints(SurveyData &survey, std::size_t index);

// "导入工勘资料" as a whole: the survey log becomes the velocity layers
// (ImportSurveyLog, with its message and question), and every layer gets
// its velocity and soil type (FillLayerFromPoints, top down). False when
// nothing was imported.
bool LayersFromSurveyLog(SurveyData &survey, common::Messenger &messenger);

// The boundary drag of the histogram: clamps the release y to
// boundaryDragRange and moves the boundary to (y - 100) / 50.
bool DragLayerBoundary(SurveyData &survey, int index, int releaseY);

} // namespace talvex
