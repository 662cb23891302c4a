// The sample part of a microtremor record: what filtering needs of it. The
// card fills it during an acquisition, the core keeps and filters it.
#pragma once

#include <array>
#include <cstdint>

namespace sedra {

inline constexpr int kRecordChannels = 4;
inline constexpr int kRecordSamples = 4096;

using RecordChannel = std::array<std::int16_t, kRecordSamples>;

struct RecordChannels {
    int channelCount = 0; // channels acquired or loaded, 0..4
    int sampleInterval = 0; // us
    int sampleCount = 0; // samples per channel, 0..4096
    // Shown, filtered, printed and exported.
    std::array<RecordChannel, kRecordChannels> working{};
    // As acquired or loaded; the source of every re-filtering.
    std::array<RecordChannel, kRecordChannels> unfiltered{};
};

} // namespace sedra
