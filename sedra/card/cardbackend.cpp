#include "sedra/card/cardbackend.h"

#include "sedra/card/simulatedcard.h"
#ifdef Q_OS_WIN
#include "sedra/card/winioportio.h"
#else
#include "sedra/card/linuxportio.h"
#endif

#include <QCoreApplication>

namespace sedra {

std::optional<CardBackend> parseCardBackend(const QString &text)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("ports"))
        return CardBackend::Ports;
    if (t == QLatin1String("sim"))
        return CardBackend::Simulated;
    if (t == QLatin1String("none"))
        return CardBackend::None;
    return std::nullopt;
}

QString cardBackendName(CardBackend backend)
{
    switch (backend) {
    case CardBackend::Ports: return QStringLiteral("ports");
    case CardBackend::Simulated: return QStringLiteral("sim");
    case CardBackend::None: break;
    }
    return QStringLiteral("none");
}

std::optional<CardSelection> selectCard(const QString &setting, QString *error)
{
    CardSelection selection;
    selection.backend = parseCardBackend(setting).value_or(CardBackend::Ports);
    if (qEnvironmentVariableIsSet("SEDRA_CARD")) {
        const QString env = qEnvironmentVariable("SEDRA_CARD");
        const auto chosen = parseCardBackend(env);
        if (!chosen) {
            if (error)
                *error = QCoreApplication::translate("sedra", "SEDRA_CARD 的值“%1”无效（应为 ports、sim 或 none）")
                             .arg(env);
            return std::nullopt;
        }
        selection.backend = *chosen;
    }
    selection.simulation = qEnvironmentVariable("SEDRA_SIM");
    return selection;
}

std::unique_ptr<PortIo> openCard(const CardSelection &selection, const QString &programFolder, QString *note)
{
    switch (selection.backend) {
    case CardBackend::None:
        // Chosen by the user: nothing to explain.
        return nullptr;
    case CardBackend::Simulated: {
        const auto options = SimulatedCardOptions::parse(selection.simulation, note);
        if (!options)
            return nullptr;
        return std::make_unique<SimulatedCard>(*options);
    }
    case CardBackend::Ports: break;
    }
#ifdef Q_OS_WIN
    return WinIoPortIo::load(programFolder, note);
#else
    (void)programFolder;
    return LinuxPortIo::open(note);
#endif
}

} // namespace sedra
