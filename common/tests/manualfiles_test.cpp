#include "common/manualfiles.h"
#include "common/messenger.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace common;

namespace {

bool touchFile(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

} // namespace

TEST(ManualFiles, BesideTheProgramThenTheInstalledFolder)
{
    QTemporaryDir root;
    const QString bin = root.filePath("usr/bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    const QStringList folders = manualFolders(bin);
    // Outside the build tree: the program's folder and the documentation folder beside it.
    ASSERT_EQ(folders.size(), 2);
    EXPECT_EQ(folders.first(), bin);
    EXPECT_TRUE(folders.last().startsWith(root.filePath("usr/share/doc"))) << folders.last().toStdString();

    common::RecordingMessenger messenger;
    QStringList opened;
    const auto open = [&](const QString &path) {
        opened << path;
        return true;
    };
    EXPECT_FALSE(openManual("SEDRA", ManualForm::Html, bin, open, messenger));
    EXPECT_TRUE(messenger.last().contains(QDir(bin).filePath("SEDRA/index.html")));

    const QString installed = QDir(folders.last()).filePath("SEDRA/index.html");
    ASSERT_TRUE(touchFile(installed));
    EXPECT_EQ(findManual("SEDRA", ManualForm::Html, bin), installed);
    EXPECT_TRUE(findManual("SEDRA", ManualForm::Pdf, bin).isEmpty());
    ASSERT_TRUE(touchFile(QDir(bin).filePath("SEDRA/index.html")));
    EXPECT_EQ(findManual("SEDRA", ManualForm::Html, bin), QDir(bin).filePath("SEDRA/index.html"));

    EXPECT_TRUE(openManual("SEDRA", ManualForm::Html, bin, open, messenger));
    EXPECT_EQ(opened, QStringList{QDir(bin).filePath("SEDRA/index.html")});
    EXPECT_FALSE(openManual(
        "SEDRA", ManualForm::Html, bin, [](const QString &) { return false; }, messenger));
    EXPECT_TRUE(messenger.last().startsWith(QStringLiteral("没有可以打开文件")));
}
