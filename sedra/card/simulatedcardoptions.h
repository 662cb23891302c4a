#pragma once
// Switches of the simulated acquisition card, as given in the environment
// variable SEDRA_SIM: a comma-separated list such as
// "freq=2.0/3.5/6.0,noise=0.2,seed=7,never-ready,absent,ready-every=3".

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace sedra {

struct SimulatedCardOptions {
    // Predominant frequency per channel, Hz; channels past the list take
    // its last value.
    std::vector<float> frequencies{2.0f, 3.5f, 6.0f, 8.0f};
    float noise = 0.2f; // broadband noise, relative to the tremor's amplitude
    float amplitude = 600.0f; // tremor amplitude at gain 1, codes
    std::uint32_t seed = 1; // noise and phases follow from it
    bool absent = false; // identification reads all ones
    bool neverReady = false; // the ready bit never comes
    int readyEvery = 1; // ready only on every k-th status poll
    bool realtime = false; // ready bit paced by the clock (delay, then one set per interval)

    // Parses the switch list; an empty text gives the defaults. Returns
    // nothing, with the reason in `*error`, on an unknown switch or a bad value.
    static std::optional<SimulatedCardOptions> parse(const QString &text, QString *error);
};

} // namespace sedra
