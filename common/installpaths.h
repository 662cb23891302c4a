#pragma once
// Where the programs look for the files that ship with them (user manuals,
// translations): beside the program, as in the build folder, and where the
// installed package puts them, found from the program's own folder so that
// any installation prefix works (<prefix>/bin → <prefix>/share/…).

#include <QString>
#include <QStringList>

namespace common {

// Folders that may hold the user manuals, in the order they are tried: the
// program's folder, then the package's documentation folder
// (<prefix>/share/doc/<package>).
QStringList documentFolders(const QString &programFolder);

// Folders that may hold translation catalogues, in the order they are tried:
// "translations" beside the program, the package's data folder
// (<prefix>/share/<package>/translations), then Qt's own translations folder.
QStringList translationFolders(const QString &programFolder);

// The path of `fileName` in the first of `folders` that holds it as a file;
// empty when none does.
QString findInFolders(const QStringList &folders, const QString &fileName);

} // namespace common
