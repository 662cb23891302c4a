#pragma once
// Linux and other X11 desktops: windows are closed through `wmctrl` when it
// is installed; without it closing is a no-op with a note.

#include "common/platform/programwindows.h"

namespace platform {

class WmctrlProgramWindows : public ProgramWindows {
public:
    // `wmctrl` is the tool's path; empty means look it up on the search path.
    explicit WmctrlProgramWindows(const QString &wmctrl = QString());

    bool closeWindow(const QString &title, QString *note) override;
    bool startProgram(const QString &program, const QString &folder, QString *note) override;

private:
    QString m_wmctrl;
};

} // namespace platform
