// Application of the filter chosen in the dialog to a microtremor record.
#pragma once

#include "sedra/core/filtersettings.h"
#include "sedra/card/recordchannels.h"

namespace sedra {

// Applies a pending filter; does nothing and returns false when none is
// pending. Channels 1 to 3 of the working data are first restored from the
// unfiltered copy, so successive filters never accumulate; then each ticked
// channel (channelMask bits 0..2) is filtered with the record's interval and
// sample count; the pending flag is cleared. Unticked channels end up
// unfiltered; channel 4 is neither restored nor filtered. A stored kind out
// of range restores without filtering.
//
// Returns true when the working data were rebuilt: the caller then computes
// the spectra of channels 1 to 3 from the working data and afterwards
// smooths those three channels with SmoothWave, window 3.
bool ApplyPendingFilter(RecordChannels &record, FilterSettings &settings);

} // namespace sedra
