#pragma once
// Choice of the card's port backend: the real ports, the simulated card or
// none. The environment variable SEDRA_CARD ("ports", "sim", "none")
// overrides the program's setting; the simulated card takes its switches
// from SEDRA_SIM.

#include "sedra/card/portio.h"

#include <QString>
#include <memory>
#include <optional>

namespace sedra {

enum class CardBackend { Ports, Simulated, None };

std::optional<CardBackend> parseCardBackend(const QString &text);
QString cardBackendName(CardBackend backend);

struct CardSelection {
    CardBackend backend = CardBackend::Ports;
    QString simulation; // switches of the simulated card
};

// The backend named by SEDRA_CARD when set, else by `setting` (an unknown
// setting counts as "ports"); the switches from SEDRA_SIM. An unknown
// SEDRA_CARD value gives nothing, with the reason in `*error`.
std::optional<CardSelection> selectCard(const QString &setting, QString *error);

// Opens the selected backend. Returns null when there is no card to talk
// to: backend "none" (no note), ports refused (not root, no WinIo library)
// or bad simulation switches (`*note` then says why, once, for the user).
// `programFolder` is where the WinIo library is looked for.
std::unique_ptr<PortIo> openCard(const CardSelection &selection, const QString &programFolder, QString *note);

} // namespace sedra
