// Feeds arbitrary bytes to the miniSEED reader. Channels it reads have a
// positive rate and finite samples; written again they read back the same.

#include "records/mseedrecord.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::vector<talvex::MseedTrace> traces;
    if (!talvex::parseMseed(std::span<const std::uint8_t>(data, size), traces).isEmpty()) {
        if (!traces.empty())
            std::abort();
        return 0;
    }
    if (traces.empty())
        std::abort();
    for (const talvex::MseedTrace &t : traces) {
        if (!(t.sampleRate > 0.0) || t.samples.empty())
            std::abort();
        for (const double v : t.samples)
            if (!std::isfinite(v))
                std::abort();
    }
    QString error;
    const QByteArray bytes = talvex::encodeMseed(traces, &error);
    if (bytes.isEmpty())
        return 0; // codes the writer does not take (blank or too long)
    std::vector<talvex::MseedTrace> again;
    if (!talvex::parseMseed({reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())},
                            again)
             .isEmpty())
        std::abort();
    if (again.size() != traces.size())
        std::abort();
    for (std::size_t k = 0; k < traces.size(); ++k)
        if (again[k].samples != traces[k].samples)
            std::abort();
    return 0;
}
