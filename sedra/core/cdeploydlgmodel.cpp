#include "sedra/core/cdeploydlgmodel.h"

namespace sedra {

namespace {
bool parseWhole(const QString &text, long long &out)
{
    bool ok = false;
    out = text.trimmed().toLongLong(&ok);
    return ok;
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
    if (!parseWhole(intervalText, v))
        return QStringLiteral("请输入一个整数。（采样间隔(us)）");
    if (!parseWhole(delayText, v))
        return QStringLiteral("请输入一个整数。（延迟时间(ms)）");
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
    if (parseWhole(intervalText, v))
        p.sampinterval = std::uint16_t(std::uint64_t(v) & 0xFFFF);
    if (parseWhole(delayText, v))
        p.delayTime = std::uint16_t(std::uint64_t(v) & 0xFFFF);
    return p;
}

} // namespace sedra
