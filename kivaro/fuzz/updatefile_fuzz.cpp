// Random .update files: the reader must never read outside the file, and a
// file it accepts must hold every image byte that its size announces.

#include "kivaro/core/updatefile.h"
#include "kivaro/core/updateplan.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const kivaro::UpdateFile file = kivaro::UpdateFile::fromBytes(bytes);
    if (file.isValid()) {
        if (file.header().size < 0 || file.header().size > file.image().size())
            std::abort();
        if (kivaro::UpdateFile::imageSum(file.image()) != std::uint32_t(file.header().checksum))
            std::abort();
        const auto plan
            = kivaro::UpdatePlan::fromShownText(file.sizeText(), file.versionText(), file.checksumText(), file.image());
        if (plan.size != file.header().size || plan.checksum != file.header().checksum)
            std::abort();
    }
    if (size >= 64 && file.image().size() != qsizetype(size - 64))
        std::abort();
    return 0;
}
