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
    QString list = text.trimmed();
    if (list == QLatin1String("hv") || list.startsWith(QLatin1String("hv:"))) {
        options.hv = HvModel{};
        list = list.mid(3);
    }
    const auto fail = [&](const QString &why) -> std::optional<SimulatedCardOptions> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    // A number of the model with its range; false when bad.
    const auto number = [](const QString &value, float low, float high, float &out) {
        bool ok = false;
        const float v = value.toFloat(&ok);
        if (!ok || !(v >= low) || !(v <= high))
            return false;
        out = v;
        return true;
    };
    for (const QString &raw : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString item = raw.trimmed();
        const qsizetype eq = item.indexOf(QLatin1Char('='));
        const QString name = eq < 0 ? item : item.left(eq).trimmed();
        const QString value = eq < 0 ? QString() : item.mid(eq + 1).trimmed();
        bool ok = true;
        // The site model has no tones: their switches would silently do nothing.
        if (options.hv && (name == QLatin1String("freq") || name == QLatin1String("noise")))
            return fail(tr("SEDRA_SIM 中的“%1”不用于 hv 场地模型").arg(item));
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
        } else if (name == QLatin1String("fast") && eq < 0 && options.hv) {
            options.fast = true;
        } else if (name == QLatin1String("f0") && eq >= 0 && options.hv) {
            if (!number(value, 0.01f, 1000.0f, options.hv->f0))
                return fail(tr("SEDRA_SIM 中的 f0“%1”无效（应为 0.01 到 1000 Hz）").arg(value));
        } else if (name == QLatin1String("a0") && eq >= 0 && options.hv) {
            if (!number(value, 1.0f, 100.0f, options.hv->a0))
                return fail(tr("SEDRA_SIM 中的 a0“%1”无效（应为 1 到 100）").arg(value));
        } else if (name == QLatin1String("damping") && eq >= 0 && options.hv) {
            if (!number(value, 0.01f, 1.0f, options.hv->damping))
                return fail(tr("SEDRA_SIM 中的 damping“%1”无效（应为 0.01 到 1）").arg(value));
        } else if (name == QLatin1String("transients") && eq >= 0 && options.hv) {
            options.hv->transients = value.toInt(&ok);
            if (!ok || options.hv->transients < 0 || options.hv->transients > 1000)
                return fail(tr("SEDRA_SIM 中的 transients“%1”无效（应为 0 到 1000）").arg(value));
        } else if (name == QLatin1String("span") && eq >= 0 && options.hv) {
            if (!number(value, 10.0f, 86400.0f, options.hv->span))
                return fail(tr("SEDRA_SIM 中的 span“%1”无效（应为 10 到 86400 s）").arg(value));
        } else if (name == QLatin1String("bursts-at") && eq >= 0 && options.hv) {
            options.hv->burstsAt.clear();
            for (const QString &t : value.split(QLatin1Char('/'))) {
                float at = 0.0f;
                if (!number(t, 0.0f, 86400.0f, at))
                    return fail(tr("SEDRA_SIM 中的瞬态时刻“%1”无效（应为 0 到 86400 s）").arg(t));
                options.hv->burstsAt.push_back(at);
            }
        } else {
            return fail(tr("SEDRA_SIM 中有未知的开关“%1”").arg(item));
        }
    }
    if (options.hv && options.fast && options.realtime)
        return fail(tr("SEDRA_SIM 中的 fast 与 realtime 不能同时使用"));
    // The model runs at the card's pace unless told to be fast.
    if (options.hv && !options.fast)
        options.realtime = true;
    return options;
}

} // namespace sedra
