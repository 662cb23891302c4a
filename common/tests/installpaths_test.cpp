// Where the programs look for their manuals and translations: beside the
// program first, then where the installed package keeps them.

#include "common/installpaths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTemporaryDir>

namespace {

void touch(const QString &path)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

} // namespace

TEST(InstallPaths, ProgramFolderFirstThenThePackageFoldersBelowItsPrefix)
{
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("bin"));
    EXPECT_EQ(common::documentFolders(bin),
              (QStringList{bin, root.filePath(QStringLiteral("share/doc/site-seismic-suite"))}));
    // A trailing separator or a relative part does not change the folders.
    EXPECT_EQ(common::documentFolders(bin + QStringLiteral("/../bin/")), common::documentFolders(bin));

    const QStringList translations = common::translationFolders(bin);
    ASSERT_EQ(translations.size(), 3);
    EXPECT_EQ(translations.at(0), root.filePath(QStringLiteral("bin/translations")));
    EXPECT_EQ(translations.at(1), root.filePath(QStringLiteral("share/site-seismic-suite/translations")));
    EXPECT_EQ(translations.at(2), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

TEST(InstallPaths, TheFirstFolderHoldingTheFileWins)
{
    QTemporaryDir root;
    const QStringList folders{root.filePath(QStringLiteral("a")), root.filePath(QStringLiteral("b")),
                              root.filePath(QStringLiteral("c"))};
    const QString name = QString::fromUtf8("用户手册.pdf");
    EXPECT_TRUE(common::findInFolders(folders, name).isEmpty());

    touch(QDir(folders.at(2)).filePath(name));
    EXPECT_EQ(common::findInFolders(folders, name), QDir(folders.at(2)).filePath(name));
    // A folder of that name is not the file.
    ASSERT_TRUE(QDir().mkpath(QDir(folders.at(0)).filePath(name)));
    EXPECT_EQ(common::findInFolders(folders, name), QDir(folders.at(2)).filePath(name));
    touch(QDir(folders.at(1)).filePath(name));
    EXPECT_EQ(common::findInFolders(folders, name), QDir(folders.at(1)).filePath(name));
}
