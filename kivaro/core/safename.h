#pragma once
// Names that the instrument sends (project names, file names) become folder
// and file names on the PC. They are not trusted: a name that is empty after
// trimming, that is "." or holds "..", that holds a path separator ("/" or
// "\"), a drive or stream colon, or a control character could create or
// overwrite something outside the project's folder, or nothing sensible at
// all, and is refused.

#include <QString>

namespace kivaro {

bool isSafeEntryName(const QString &name);

} // namespace kivaro
