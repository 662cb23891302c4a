#pragma once
// The help file and the user manual that ship beside the program, and the
// messages shown when one of them is missing.

#include <QString>
#include <functional>

namespace common {
class Messenger;
}

namespace talvex {

// File names of the two documents beside the program.
extern const char *const kHelpFileName; // the help that 帮助主题 (F1) opens
extern const char *const kManualFileName; // "Vantorel用户手册.pdf"

// The web page that 网上技术支持 opens.
extern const char *const kSupportAddress;

enum class ProgramDocument { Help, Manual };

// Full path of the document in `programFolder` (the folder of the program
// file).
QString programDocumentPath(ProgramDocument document, const QString &programFolder);

// The message for a missing document at `path`: "帮助文件 " / "用户手册 ", the
// path and the request to copy the file or run the installation again.
QString missingDocumentMessage(ProgramDocument document, const QString &path);

// Opens the document with `open` (the desktop's default viewer) when it
// exists; shows the missing-document message otherwise, or a message when
// the desktop has no viewer for it. Returns whether it was opened.
bool openProgramDocument(ProgramDocument document, const QString &programFolder,
                         const std::function<bool(const QString &path)> &open, common::Messenger &messenger);

} // namespace talvex
