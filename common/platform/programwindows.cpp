#include "common/platform/programwindows.h"

#ifdef Q_OS_WIN
#include "common/platform/winprogramwindows.h"
#else
#include "common/platform/wmctrlprogramwindows.h"
#endif

namespace platform {

ProgramWindows::~ProgramWindows() = default;

std::unique_ptr<ProgramWindows> createProgramWindows()
{
#ifdef Q_OS_WIN
    return std::make_unique<WinProgramWindows>();
#else
    return std::make_unique<WmctrlProgramWindows>();
#endif
}

} // namespace platform
