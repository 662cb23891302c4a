#include "talvex/settings/printsettings.h"

#include <algorithm>

namespace talvex {

namespace {
int clampTo(int value, PrintSettingRange range)
{
    return std::clamp(value, range.minimum, range.maximum);
}

int flag(int value)
{
    return value > 0 ? 1 : 0;
}
} // namespace

PrintSettings clampedToDialogRanges(PrintSettings settings)
{
    settings.footerStyle = clampTo(settings.footerStyle, kFooterStyleRange);
    settings.firstPageNumber = clampTo(settings.firstPageNumber, kFirstPageNumberRange);
    settings.marginTop = clampTo(settings.marginTop, kMarginTopRange);
    settings.marginBottom = clampTo(settings.marginBottom, kMarginBottomRange);
    settings.marginLeft = clampTo(settings.marginLeft, kMarginLeftRange);
    settings.marginRight = clampTo(settings.marginRight, kMarginRightRange);
    settings.rowsPerPage = clampTo(settings.rowsPerPage, kRowsPerPageRange);
    settings.columnsPerPage = clampTo(settings.columnsPerPage, kColumnsPerPageRange);
    settings.printWaveforms = flag(settings.printWaveforms);
    settings.printTable = flag(settings.printTable);
    settings.printVelocity = flag(settings.printVelocity);
    settings.printTwoCurves = flag(settings.printTwoCurves);
    settings.printOverburden = flag(settings.printOverburden);
    settings.printSiteClass = flag(settings.printSiteClass);
    settings.curveName = flag(settings.curveName);
    return settings;
}

} // namespace talvex
