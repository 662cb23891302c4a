// Feeds arbitrary bytes to the SAC reader (binary in either byte order and
// alphanumeric). A trace it reads has a positive interval and finite
// samples, and written again it reads back to the same samples.

#include "records/sacrecord.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    talvex::SacTrace trace;
    if (!talvex::parseSacTrace(std::span<const std::uint8_t>(data, size), trace).isEmpty())
        return 0;
    if (!(trace.delta > 0.0) || trace.samples.empty())
        std::abort();
    for (const double v : trace.samples)
        if (!std::isfinite(v))
            std::abort();
    // Samples of the binary form are 32-bit floats; the text form may hold
    // values a float rounds or cannot hold, so compare as floats.
    bool fits = true;
    for (const double v : trace.samples)
        fits = fits && std::isfinite(float(v));
    if (!fits || !std::isfinite(float(trace.delta)) || float(trace.delta) <= 0.0f)
        return 0;
    const QByteArray bytes = talvex::encodeSacTrace(trace);
    talvex::SacTrace again;
    if (!talvex::parseSacTrace({reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())},
                               again)
             .isEmpty())
        std::abort();
    if (again.samples.size() != trace.samples.size())
        std::abort();
    for (std::size_t i = 0; i < trace.samples.size(); ++i)
        if (again.samples[i] != double(float(trace.samples[i])))
            std::abort();
    return 0;
}
