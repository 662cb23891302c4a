// sedra-cli hv: the H/V spectral-ratio analysis of a three-component
// recording read from any of the formats SEDRA reads.
#pragma once

#include "common/cli/command.h"

#include <vector>

namespace sedra {

void addHvCommand(std::vector<cli::Command> &commands);

} // namespace sedra
