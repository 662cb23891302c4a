// The test parameters of the microtremor program, persisted per user under
// the section "SEDRA试验参数" of the store "Qelvorn-地脉动", and the card
// backend setting. This class is the only code that touches those keys.
#pragma once

#include "common/settingsstore.h"

#include <QString>
#include <array>
#include <optional>
#include <cstdint>

namespace sedra {

inline constexpr int kSiteNameBytes = 80; // record field; 79 bytes of text kept
inline constexpr int kTestPointBytes = 40; // record field; 39 bytes of text kept

// Ranges of the numeric test parameters. The sampling parameter dialog,
// sedra-cli and the settings loader use the same ones: an interval of 0
// would make the 1000 Hz low-pass of the conditioning zero every sample,
// and values above 65535 do not fit the card's 16-bit registers.
struct ParameterRange {
    int low;
    int high;
    bool contains(long long v) const { return v >= low && v <= high; }
};
inline constexpr ParameterRange kIntervalRange{1, 65535}; // sample interval, us
inline constexpr ParameterRange kDelayRange{0, 65535}; // delay time, ms
inline constexpr ParameterRange kChannelRange{1, 4}; // channel count

struct SedraParameters {
    int channel = 4; // channel count C, 1..4
    QString projectName; // site name "工地名称"
    std::uint16_t delayTime = 0; // ms
    int opamtime = 1; // gain 1, 10 or 100
    std::uint16_t sampinterval = 8000; // us
    int samplenth = 1024; // samples per channel: 1024, 2048 or 4096
    int keyboard = 1; // start the on-screen keyboard before text entry
    QString testSit; // test point "测试点号"

    bool operator==(const SedraParameters &) const = default;
};

class SedraSettings {
public:
    static QString company(); // "Qelvorn-地脉动"
    static QString application();
    static QString section(); // "SEDRA试验参数"

    // Every key with its default when missing; a channel count outside 1..4
    // counts as 4, an interval or delay outside its range as its default.
    // Texts are cut to what their record fields hold.
    static SedraParameters load(const common::SettingsStore &store);
    static void save(common::SettingsStore &store, const SedraParameters &parameters);

    // The card backend: "ports", "sim" or "none" (section "采集卡", key
    // "backend", default "ports"); the environment variable SEDRA_CARD wins.
    static QString cardBackend(const common::SettingsStore &store);
    static void setCardBackend(common::SettingsStore &store, const QString &backend);

    // The card channels (1-based) recorded as north, east and vertical in a
    // three-component recording (section "三分量", key "channels", text
    // "1,2,3"). A value that is not three different channels 1...4 counts as
    // the default 1, 2, 3.
    static std::array<int, 3> componentChannels(const common::SettingsStore &store);
    static void setComponentChannels(common::SettingsStore &store, const std::array<int, 3> &channels);
};

// Three different card channels 1...4 from text such as "1,2,3" (north,
// east, vertical); nothing when the text is not that.
std::optional<std::array<int, 3>> parseComponentChannels(const QString &text);

// `text` cut to at most `maxBytes` bytes of GBK, never inside a character.
QString cutToGbkBytes(const QString &text, int maxBytes);

} // namespace sedra
