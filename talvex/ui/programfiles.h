#pragma once
// The help file and the user manual that ship beside the program, and the
// messages shown when one of them is missing.

#include <QString>
#include <functional>

namespace common {
class Messenger;
}

namespace talvex {

// File names of the documents beside the program. 帮助主题 (F1) opens the
// help file when it is there, else the manual as HTML (the form this suite
// builds); 用户手册 opens the PDF manual.
extern const char *const kHelpFileName; // "Qelvorntalvex.chm"
extern const char *const kHelpManualFileName; // "Vantorel用户手册.html"
extern const char *const kManualFileName; // "Vantorel用户手册.pdf"

// The web page that 网上技术支持 opens.
extern const char *const kSupportAddress;

enum class ProgramDocument { Help, Manual };

// Full path of the document in `programFolder` (the folder of the program
// file): for Help the help file.
QString programDocumentPath(ProgramDocument document, const QString &programFolder);

// The message for a missing document at `path`: "帮助文件 " / "用户手册 ", the
// path and the request to copy the file or run the installation again.
QString missingDocumentMessage(ProgramDocument document, const QString &path);

// Opens the document with `open` (the desktop's default viewer) when it
// exists: for Help the help file, or the HTML manual when the help file is
// missing or the desktop cannot open it; when neither is beside the program,
// the manual built with the suite (common/manualfiles.h: talvex/index.html
// for Help, talvex.pdf for the manual). Shows the missing-document message
// (naming the help file for Help) when none exists, or a message when the
// desktop has no viewer for it. Returns whether it was opened.
bool openProgramDocument(ProgramDocument document, const QString &programFolder,
                         const std::function<bool(const QString &path)> &open, common::Messenger &messenger);

} // namespace talvex
