#pragma once
// Where a program finds its user manual: <program>.pdf and the HTML page
// <program>/index.html (with its pictures beside it), beside the program,
// in the build tree's manual folder when it runs from there, or in the
// installed documentation folder.

#include <QString>
#include <QStringList>
#include <functional>

namespace common {

class Messenger;

enum class ManualForm { Pdf, Html };

// The folders looked in, in order, for a program in `programFolder`: that
// folder, the build tree's manual folder (only for a program inside the build
// tree), the installed documentation folder beside the program's.
QStringList manualFolders(const QString &programFolder);

// The manual's name inside such a folder: "<program>.pdf" or
// "<program>/index.html".
QString manualFileName(const QString &program, ManualForm form);

// The first existing manual of `program` in `form`; empty when there is none.
QString findManual(const QString &program, ManualForm form, const QString &programFolder);

// Opens the manual with `open` (the desktop's viewer). Says through
// `messenger` that it is missing (naming where it was looked for first) or
// that nothing could open it. Returns whether it was opened.
bool openManual(const QString &program, ManualForm form, const QString &programFolder,
                const std::function<bool(const QString &path)> &open, Messenger &messenger);

} // namespace common
