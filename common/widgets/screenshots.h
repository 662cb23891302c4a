#pragma once
// Pictures of the programs' real windows and dialogs for their user manuals,
// drawn offscreen at build time so that the manuals never show an old
// window. Each program's screenshot tool drives its own window with these.

#include <QString>
#include <functional>

class QWidget;

namespace common {

// Saves `widget` as drawn now to `path` (PNG). Returns an error text, empty
// when the picture was written.
QString saveScreenshot(QWidget &widget, const QString &path);

// Runs `open`, which shows a modal dialog and returns when it is closed;
// saves the first modal dialog that appears (other than `under`, the modal
// window it opens over, if any) to `path` once `prepare` (may be empty) has
// set it up, then closes it with Cancel, or with OK when `accept` is set.
// Returns an error text, empty when the picture was written; no dialog
// within five seconds is an error.
QString screenshotModal(const std::function<void()> &open, const QString &path,
                        const std::function<void(QWidget &)> &prepare = {}, bool accept = false,
                        QWidget *under = nullptr);

} // namespace common
