#include "kivaro/core/safename.h"

namespace kivaro {

bool isSafeEntryName(const QString &name)
{
    // Only a name of dots alone ("." "..", also with blanks around it, which
    // some systems drop) points outside the folder; "A..CWD" is an ordinary name.
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || trimmed.count(QLatin1Char('.')) == trimmed.size())
        return false;
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c == u':' || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return true;
}

} // namespace kivaro
