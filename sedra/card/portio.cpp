#include "sedra/card/portio.h"

namespace sedra {

PortIo::~PortIo() = default;

} // namespace sedra
