#include "sedra/card/simulatedcardoptions.h"

#include <QCoreApplication>
#include <QStringList>

namespace sedra {

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("sedra", text);
}
} // namespace

std::optional<SimulatedCardOptions> SimulatedCardOptions::parse(const QString &text, QString *error)
{
    SimulatedCardOptions options;
    const auto fail = [&](const QString &why) -> std::optional<SimulatedCardOptions> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    for (const QString &raw : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString item = raw.trimmed();
        const qsizetype eq = item.indexOf(QLatin1Char('='));
        const QString name = eq < 0 ? item : item.left(eq).trimmed();
        const QString value = eq < 0 ? QString() : item.mid(eq + 1).trimmed();
        bool ok = true;
        if (name == QLatin1String("absent") && eq < 0) {
            options.absent = true;
        } else if (name == QLatin1String("never-ready") && eq < 0) {
            options.neverReady = true;
        } else if (name == QLatin1String("realtime") && eq < 0) {
            options.realtime = true;
        } else if (name == QLatin1String("freq") && eq >= 0) {
            options.frequencies.clear();
            for (const QString &f : value.split(QLatin1Char('/'))) {
                const float hz = f.toFloat(&ok);
                if (!ok || !(hz >= 0.0f) || hz > 100000.0f)
                    return fail(tr("SEDRA_SIM 中的频率“%1”无效").arg(f));
                options.frequencies.push_back(hz);
            }
        } else if (name == QLatin1String("noise") && eq >= 0) {
            options.noise = value.toFloat(&ok);
            if (!ok || !(options.noise >= 0.0f) || options.noise > 100.0f)
                return fail(tr("SEDRA_SIM 中的噪声“%1”无效").arg(value));
        } else if (name == QLatin1String("amplitude") && eq >= 0) {
            options.amplitude = value.toFloat(&ok);
            if (!ok || !(options.amplitude >= 0.0f) || options.amplitude > 8191.0f)
                return fail(tr("SEDRA_SIM 中的振幅“%1”无效").arg(value));
        } else if (name == QLatin1String("seed") && eq >= 0) {
            options.seed = value.toUInt(&ok);
            if (!ok)
                return fail(tr("SEDRA_SIM 中的种子“%1”无效").arg(value));
        } else if (name == QLatin1String("ready-every") && eq >= 0) {
            options.readyEvery = value.toInt(&ok);
            if (!ok || options.readyEvery < 1)
                return fail(tr("SEDRA_SIM 中的 ready-every“%1”无效").arg(value));
        } else {
            return fail(tr("SEDRA_SIM 中有未知的开关“%1”").arg(item));
        }
    }
    return options;
}

} // namespace sedra
