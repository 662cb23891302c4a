#pragma once

#include <QString>

namespace platform {

// Starts the on-screen keyboard without waiting for it. An empty `program`
// means the platform's own keyboard: "osk.exe" on Windows, "onboard"
// elsewhere. Returns false and sets `*error` (when given) to a message text
// when the program cannot be started.
bool startOnScreenKeyboard(const QString &program, QString *error);

} // namespace platform
