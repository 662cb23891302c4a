// The 800 x 600 bitmap snapshots of the record: image 0 shows the three
// channels with their cursor lines, image k (1..3) only the two bands of
// channel k at their usual place, without cursor lines.
#pragma once

#include "sedra/core/sedradocument.h"

#include <QImage>
#include <QStringList>

namespace sedra {

class SnapshotRenderer {
public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 600;
    static QRectF bandArea() { return QRectF(37, 85, 603, 478); }

    static QImage render(const SedraDocument &document, int index);

    // Writes the four images under the names SedraDocument::snapshotFileNames
    // gives for `chosen`. A file that cannot be written is skipped; returns
    // the names that could not be written.
    static QStringList writeAll(const SedraDocument &document, const QString &chosen);
};

} // namespace sedra
