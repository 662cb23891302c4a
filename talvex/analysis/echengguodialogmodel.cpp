#include "talvex/analysis/echengguodialogmodel.h"

#include "common/numberformat.h"
#include "talvex/analysis/siteclass.h"
#include "talvex/analysis/siteuncertainty.h"
#include "talvex/survey/surveydata.h"

#include <cmath>

namespace talvex {

const char *const EChengGuoDialogModel::kNoPeriodText = "--(秒)";

QString EChengGuoDialogModel::heading()
{
    return QStringLiteral("孔深（米）    等效剪切波速（m/s）    卓越周期（秒）");
}

QStringList EChengGuoDialogModel::lines(const SurveyData &survey)
{
    QStringList list;
    for (const TlvOne &p : survey.points) {
        const float h = p.depth;
        const float v = p.equivVelocity;
        QString line = QString::fromStdString(common::formatFixed(h, 1)) + QStringLiteral("(米)") + QString(16, u' ');
        line += QString::fromStdString(common::formatFixed(v, 1)) + QStringLiteral("(m/s)") + QString(22, u' ');
        const float period = 4.0f * h / v;
        if (v != 0.0f && std::isfinite(period))
            line += QString::fromStdString(common::formatFixed(period, 4)) + QStringLiteral("(秒)");
        else
            line += QString::fromUtf8(kNoPeriodText);
        list.append(line);
    }
    return list;
}

QStringList EChengGuoDialogModel::siteLines(const SurveyData &survey)
{
    return siteClassLines(ClassifySiteWithBounds(survey));
}

} // namespace talvex
