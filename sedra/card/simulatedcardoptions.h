#pragma once
// Switches of the simulated acquisition card, as given in the environment
// variable SEDRA_SIM: a comma-separated list such as
// "freq=2.0/3.5/6.0,noise=0.2,seed=7,never-ready,absent,ready-every=3".
//
// A list that begins with "hv:" selects the microtremor model of a site with
// one resonance instead of the per-channel tones, e.g.
// "hv:f0=2.0,a0=4,damping=0.15,transients=4,seed=1,fast" (see HvModel).

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace sedra {

// Ambient noise of a site with one resonance: channels 1 and 2 are the
// horizontals (north, east), channel 3 the vertical, channel 4 another
// vertical. Each channel is its own white noise; the horizontals go through
// 1 + (a0 - 1)·B(f), B a band-pass of unit peak at f0 with damping ratio
// `damping`, so that their spectra over the flat vertical's peak at a0 at
// f0 and tend to 1 away from it. Transient bursts (a few seconds of a
// strong 6 Hz wave on every channel) come at `burstsAt` seconds of the
// stream, or, when none are given, at `transients` times drawn from the seed
// within the first `span` seconds. The stream goes on from one acquisition
// to the next (the seconds of a delay are skipped), as a site's noise does
// while the card is restarted.
struct HvModel {
    float f0 = 2.0f; // Hz
    float a0 = 4.0f; // peak of the horizontal over the vertical spectrum
    float damping = 0.15f;
    int transients = 0;
    std::vector<float> burstsAt; // s
    float span = 1200.0f; // s
    float burstSeconds = 4.0f;
};

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
    // The microtremor model; paced by the clock unless `fast` (ready at every
    // poll, so that 20 simulated minutes take seconds).
    std::optional<HvModel> hv;
    bool fast = false;

    // Parses the switch list; an empty text gives the defaults. Returns
    // nothing, with the reason in `*error`, on an unknown switch or a bad value.
    static std::optional<SimulatedCardOptions> parse(const QString &text, QString *error);
};

} // namespace sedra
