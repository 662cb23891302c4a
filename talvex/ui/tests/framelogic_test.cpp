// The recent-file list and the documents beside the program.

#include "common/messenger.h"
#include "talvex/settings/talvexsettings.h"
#include "talvex/ui/programfiles.h"
#include "talvex/ui/recentfilelist.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace talvex;

TEST(RecentFileList, NewestFirstEachOnceAtMostFive)
{
    QTemporaryDir dir;
    const auto file = [&](int i) { return dir.filePath(QStringLiteral("f%1.qsw").arg(i)); };
    RecentFileList list;
    for (int i = 1; i <= 6; ++i)
        list.add(file(i));
    ASSERT_EQ(list.entries().size(), 5);
    EXPECT_EQ(list.entries().first(), file(6));
    EXPECT_EQ(list.entries().last(), file(2));

    // Opening one again moves it up, also when spelled another way.
    list.add(dir.path() + QStringLiteral("/sub/../f4.qsw"));
    EXPECT_EQ(list.entries().first(), file(4));
    EXPECT_EQ(list.entries().size(), 5);
    list.remove(file(4));
    EXPECT_FALSE(list.entries().contains(file(4)));

    // Kept in the settings between runs, in order.
    const QString ini = dir.filePath(QStringLiteral("settings.ini"));
    TalvexSettings(ini).setRecentFiles(list.entries());
    EXPECT_EQ(RecentFileList(TalvexSettings(ini).recentFiles()).entries(), list.entries());
}

TEST(RecentFileList, MenuTextKeepsAmpersandsOfRecordNames)
{
    EXPECT_EQ(RecentFileList::menuText(0, QStringLiteral("/data/ZK1&5.qsw")),
              QStringLiteral("&1 ") + QDir::toNativeSeparators(QStringLiteral("/data/ZK1&&5.qsw")));
}

TEST(ProgramDocuments, MissingFileShowsItsMessageAndOpensNothing)
{
    QTemporaryDir dir;
    common::RecordingMessenger messenger;
    int opened = 0;
    const auto open = [&](const QString &) { return ++opened > 0; };

    EXPECT_FALSE(openProgramDocument(ProgramDocument::Manual, dir.path(), open, messenger));
    const QString manual = programDocumentPath(ProgramDocument::Manual, dir.path());
    EXPECT_EQ(messenger.last(),
              QString::fromUtf8("用户手册 ") + QDir::toNativeSeparators(manual)
                  + QString::fromUtf8(" 不存在，请将此文件拷贝到程序所在的子目录或者重新执行一遍安装程序！"));
    EXPECT_FALSE(openProgramDocument(ProgramDocument::Help, dir.path(), open, messenger));
    EXPECT_TRUE(messenger.last().startsWith(QString::fromUtf8("帮助文件 ")));
    EXPECT_EQ(opened, 0);

    QFile file(manual);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    messenger.clear();
    EXPECT_TRUE(openProgramDocument(ProgramDocument::Manual, dir.path(), open, messenger));
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(messenger.messages.isEmpty());
    EXPECT_TRUE(manual.endsWith(QString::fromUtf8("Vantorel用户手册.pdf")));
}

TEST(ProgramDocuments, HelpIsTheHelpFileFirstThenTheHtmlManual)
{
    QTemporaryDir dir;
    common::RecordingMessenger messenger;
    QStringList opened;
    bool canOpenHelpFile = true;
    const auto open = [&](const QString &path) {
        if (path.endsWith(QStringLiteral(".chm")) && !canOpenHelpFile)
            return false;
        opened << QFileInfo(path).fileName();
        return true;
    };
    const auto touch = [&](const char *name) {
        QFile file(dir.filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    };
    const QString helpFile = dir.filePath(QStringLiteral("Qelvorntalvex.chm"));
    EXPECT_EQ(programDocumentPath(ProgramDocument::Help, dir.path()), helpFile);

    // Neither there: the message names the help file.
    EXPECT_FALSE(openProgramDocument(ProgramDocument::Help, dir.path(), open, messenger));
    EXPECT_EQ(messenger.last(), missingDocumentMessage(ProgramDocument::Help, helpFile));

    // The HTML manual stands in for a missing help file.
    touch("Vantorel用户手册.html");
    EXPECT_TRUE(openProgramDocument(ProgramDocument::Help, dir.path(), open, messenger));
    // The help file comes first when it is there ...
    touch("Qelvorntalvex.chm");
    EXPECT_TRUE(openProgramDocument(ProgramDocument::Help, dir.path(), open, messenger));
    // ... and the manual is opened when the desktop cannot show it.
    canOpenHelpFile = false;
    EXPECT_TRUE(openProgramDocument(ProgramDocument::Help, dir.path(), open, messenger));
    EXPECT_EQ(opened,
              (QStringList{QString::fromUtf8("Vantorel用户手册.html"), QStringLiteral("Qelvorntalvex.chm"),
                           QString::fromUtf8("Vantorel用户手册.html")}));
}

TEST(ProgramDocuments, AnInstalledProgramFindsItsDocumentsInThePackageFolder)
{
    // <prefix>/bin/talvex with its documents in <prefix>/share/doc/<package>.
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString docs = root.filePath(QStringLiteral("share/doc/site-seismic-suite"));
    ASSERT_TRUE(QDir().mkpath(bin));
    ASSERT_TRUE(QDir().mkpath(docs));
    common::RecordingMessenger messenger;
    QStringList opened;
    const auto open = [&](const QString &path) {
        opened << path;
        return true;
    };
    const auto touch = [](const QString &folder, const char *name) {
        QFile file(QDir(folder).filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    };

    // Nothing installed yet: the message names the file where the package puts it.
    EXPECT_FALSE(openProgramDocument(ProgramDocument::Manual, bin, open, messenger));
    EXPECT_EQ(messenger.last(),
              missingDocumentMessage(ProgramDocument::Manual,
                                     QDir(docs).filePath(QString::fromUtf8("Vantorel用户手册.pdf"))));

    touch(docs, "Vantorel用户手册.pdf");
    touch(docs, "Vantorel用户手册.html");
    EXPECT_TRUE(openProgramDocument(ProgramDocument::Manual, bin, open, messenger));
    EXPECT_TRUE(openProgramDocument(ProgramDocument::Help, bin, open, messenger));
    // A copy beside the program (as in the build folder) comes first.
    touch(bin, "Vantorel用户手册.pdf");
    EXPECT_TRUE(openProgramDocument(ProgramDocument::Manual, bin, open, messenger));
    EXPECT_EQ(opened,
              (QStringList{QDir(docs).filePath(QString::fromUtf8("Vantorel用户手册.pdf")),
                           QDir(docs).filePath(QString::fromUtf8("Vantorel用户手册.html")),
                           QDir(bin).filePath(QString::fromUtf8("Vantorel用户手册.pdf"))}));
}
