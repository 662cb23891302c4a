#pragma once
// The toolbar pictures of the window's commands, drawn by code at the
// buttons' size of 16 x 15 pixels, each showing what its command does.

#include <QIcon>
#include <QImage>

namespace talvex {

inline constexpr int kToolButtonWidth = 16;
inline constexpr int kToolButtonHeight = 15;

// The picture named `name` (CommandInfo::icon); a null image for an unknown
// name.
QImage commandPicture(const QString &name);
// The same as an icon (empty for an unknown name).
QIcon commandIcon(const QString &name);

} // namespace talvex
