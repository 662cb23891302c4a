#pragma once
// Windows: a window is found by its exact title and sent a close message; a
// program is started with the shell's default action.

#include "common/platform/programwindows.h"

namespace platform {

class WinProgramWindows : public ProgramWindows {
public:
    bool closeWindow(const QString &title, QString *note) override;
    bool startProgram(const QString &program, const QString &folder, QString *note) override;
};

} // namespace platform
