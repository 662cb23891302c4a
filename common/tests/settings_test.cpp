#include "common/settingsstore.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace common;

TEST(SettingsStore, DefaultsWhenMissingAndValuesPersist)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("s.ini");
    {
        SettingsStore s(file);
        EXPECT_EQ(s.readInt(QString::fromUtf8("Settings"), QString::fromUtf8("视图比例"), 75), 75);
        EXPECT_EQ(s.readText(QString::fromUtf8("打印设置"), QString::fromUtf8("页眉标注"), "t"), "t");
        s.writeInt(QString::fromUtf8("Settings"), QString::fromUtf8("视图比例"), 120);
        s.writeText(QString::fromUtf8("打印设置"), QString::fromUtf8("页眉标注"), QString::fromUtf8("剪切波"));
        s.sync();
    }
    SettingsStore again(file);
    EXPECT_EQ(again.readInt(QString::fromUtf8("Settings"), QString::fromUtf8("视图比例"), 75), 120);
    EXPECT_EQ(again.readText(QString::fromUtf8("打印设置"), QString::fromUtf8("页眉标注"), "t"),
              QString::fromUtf8("剪切波"));
    // A value that is not a number falls back to the default.
    again.writeText("Settings", "n", "abc");
    EXPECT_EQ(again.readInt("Settings", "n", 5), 5);
}
