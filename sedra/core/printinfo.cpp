#include "sedra/core/printinfo.h"

namespace sedra {

PrintInfo applyPrintSet(const PrintInfo &current, const PrintInfo &edited, bool confirmed)
{
    PrintInfo out = current;
    if (confirmed) {
        out.header = edited.header;
        out.siteName = edited.siteName;
        out.testPoint = edited.testPoint;
        out.testDate = edited.testDate;
    }
    out.showRightValues = edited.showRightValues;
    return out;
}

} // namespace sedra
