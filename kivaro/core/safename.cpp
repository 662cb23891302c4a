#include "kivaro/core/safename.h"

namespace kivaro {

bool isSafeEntryName(const QString &name)
{
    if (name.trimmed().isEmpty() || name == QLatin1String(".") || name.contains(QLatin1String("..")))
        return false;
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c == u':' || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return true;
}

} // namespace kivaro
