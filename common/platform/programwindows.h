#pragma once
// Other programs' windows and starting a program: closing the window of a
// program by its title, and starting a program in a given folder. Each
// platform has its own backend; where the platform offers no way, the call
// does nothing and says so in `note`.

#include <QString>
#include <memory>

namespace platform {

class ProgramWindows {
public:
    virtual ~ProgramWindows();

    // Asks the top-level window titled exactly `title` to close. Returns
    // true when such a window was found and asked; otherwise false, with the
    // reason in `*note` (no such window, or no way on this platform).
    virtual bool closeWindow(const QString &title, QString *note) = 0;

    // Starts `program` (a name without extension is looked for with the
    // platform's executable extension) with `folder` as working directory,
    // without waiting for it. It is looked for in `folder` first, then on the
    // search path. Returns false with the reason in `*note`.
    virtual bool startProgram(const QString &program, const QString &folder, QString *note) = 0;
};

// The backend of the platform the program runs on.
std::unique_ptr<ProgramWindows> createProgramWindows();

} // namespace platform
