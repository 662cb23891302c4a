#include "sedra/core/cdeploydlgmodel.h"

namespace sedra {

namespace {
bool parseInRange(const QString &text, const ParameterRange &range, long long &out)
{
    bool ok = false;
    out = text.trimmed().toLongLong(&ok);
    return ok && range.contains(out);
}

QString rangeMessage(const QString &field, const ParameterRange &range)
{
    return QStringLiteral("请输入 %1 到 %2 之间的整数。（%3）").arg(range.low).arg(range.high).arg(field);
}
} // namespace

CDeployDlgModel::CDeployDlgModel(const SedraParameters &p)
    : siteName(p.projectName),
      testPoint(p.testSit),
      gainIndex(p.opamtime == 10        ? 1
                    : p.opamtime == 100 ? 2
                                        : 0),
      lengthIndex(p.samplenth == 2048       ? 1
                      : p.samplenth == 4096 ? 2
                                            : 0),
      intervalText(QString::number(p.sampinterval)),
      delayText(QString::number(p.delayTime))
{
}

QStringList CDeployDlgModel::gainTexts()
{
    return {QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("100")};
}

QStringList CDeployDlgModel::lengthTexts()
{
    return {QStringLiteral("1024"), QStringLiteral("2048"), QStringLiteral("4096")};
}

QString CDeployDlgModel::validate() const
{
    long long v = 0;
    if (!parseInRange(intervalText, kIntervalRange, v))
        return rangeMessage(QStringLiteral("采样间隔(us)"), kIntervalRange);
    if (!parseInRange(delayText, kDelayRange, v))
        return rangeMessage(QStringLiteral("延迟时间(ms)"), kDelayRange);
    return {};
}

SedraParameters CDeployDlgModel::accept(const SedraParameters &previous) const
{
    SedraParameters p = previous;
    p.opamtime = gainTexts().value(gainIndex, QStringLiteral("1")).toInt();
    p.samplenth = lengthTexts().value(lengthIndex, QStringLiteral("1024")).toInt();
    p.testSit = cutToGbkBytes(testPoint, kTestPointBytes - 1);
    p.projectName = cutToGbkBytes(siteName, kSiteNameBytes - 1);
    long long v = 0;
    if (parseInRange(intervalText, kIntervalRange, v))
        p.sampinterval = std::uint16_t(v);
    if (parseInRange(delayText, kDelayRange, v))
        p.delayTime = std::uint16_t(v);
    return p;
}

} // namespace sedra
