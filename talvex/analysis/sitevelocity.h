#pragma once
// The site's equivalent shear-wave velocity over the computation depth d0:
// d0 divided by the vertical time (s) down to d0 through the point
// intervals (each from the previous list element's depth, 0 for the first,
// down to the point, at the point's velocity). The result charts compute it
// when they draw the site results and store it into header.siteVelocity.

namespace talvex {

class SurveyData;

// The velocity in m/s; 0 when no point reaches d0, when there are no
// points, or when the time is 0 or not finite (an interval at velocity 0).
float ComputeSiteVelocity(const SurveyData &survey);

// Stores ComputeSiteVelocity into header.siteVelocity when the overburden
// is positive; returns whether it was stored. As a result the charts
// refresh, it does not mark the survey modified; a value that differs from
// the stored one is announced (notifyChanged), an equal one is not, so a
// chart that stores it while it draws is not asked to draw again.
bool UpdateSiteVelocity(SurveyData &survey);

} // namespace talvex
