#pragma once
// Vertical placement of the labels of one column (depths, velocities, trace
// names), so that labels of thin layers or crowded rows never print over
// each other or over the column's heading.
//
// Each label keeps the position it asks for unless it would overlap another
// label or leave the allowed band; then the labels that collide are moved
// as a group the least distance that clears them (the group is centred on
// where its labels asked to be, in the least-squares sense), one label
// height apart. Units are those of the caller (0.01 mm, pixels, view
// units). Pure C++, no Qt.

#include <vector>

namespace talvex::charts {

// The tops of labels of height `height` (> 0) that ask for tops `wanted`
// (any order), each kept within [lowest, highest] where the band has room
// for all of them (otherwise they start at `lowest`, one height apart).
// Returns one top per label, in the order given.
std::vector<int> spreadLabels(const std::vector<int> &wanted, int height, int lowest, int highest);

} // namespace talvex::charts
