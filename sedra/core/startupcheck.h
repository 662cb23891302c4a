// The start-up refusals of the microtremor program: it does not run beside
// the shear-wave acquisition program, and a second start hands over to the
// running one.
#pragma once

#include <QString>

namespace common {
class Messenger;
}
namespace platform {
class SingleInstance;
}

namespace sedra {

enum class StartupDecision {
    Run, // this copy is the running one
    ShearWaveHeld, // the shear-wave acquisition program runs: message shown
    HandedOver, // another copy runs and was asked to come to the front
};

// `shearWaveName` is the name the shear-wave acquisition program holds
// ("TLVProgram"); `instance` the single instance of this program.
StartupDecision checkStartup(platform::SingleInstance &instance, const QString &shearWaveName,
                             common::Messenger &messenger);

} // namespace sedra
