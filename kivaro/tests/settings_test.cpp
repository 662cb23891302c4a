#include "kivaro/core/kivarosettings.h"
#include "kivaro/core/safename.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kivaro::KivaroSettings;
using kivaro::LinkSettings;

TEST(KivaroSettings, DefaultsRoundTripAndRange)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("kivaro.ini");
    {
        common::SettingsStore store(ini);
        KivaroSettings settings(store);
        // First start: downloads go to a folder in the user's documents, not the working folder.
        EXPECT_EQ(settings.load(), (LinkSettings{0, 1, KivaroSettings::defaultSavePath()}));
        EXPECT_TRUE(QDir::isAbsolutePath(KivaroSettings::defaultSavePath()));
        EXPECT_TRUE(KivaroSettings::defaultSavePath().endsWith(QDir::separator()));
        settings.save(LinkSettings{2, 3, QStringLiteral("/data/")});
    }
    common::SettingsStore store(ini);
    KivaroSettings settings(store);
    EXPECT_EQ(settings.load(), (LinkSettings{2, 3, QStringLiteral("/data/")}));
    EXPECT_EQ(store.readInt("Settings", QStringLiteral("通讯口"), -1), 2);
    EXPECT_EQ(store.readInt("Settings", QStringLiteral("波特率"), -1), 3);

    store.writeInt("Settings", QStringLiteral("通讯口"), 8);
    store.writeInt("Settings", QStringLiteral("波特率"), -1);
    EXPECT_EQ(settings.load().portIndex, 0);
    EXPECT_EQ(settings.load().baudIndex, 1);

    EXPECT_EQ(KivaroSettings::baudRate(3), 57600);
    EXPECT_EQ(KivaroSettings::portNames().size(), 8);
    EXPECT_EQ(KivaroSettings::portNames().at(2), "COM 3");
    EXPECT_EQ(KivaroSettings::baudNames(), (QStringList{"9600", "19200", "38400", "57600", "115200"}));
}

TEST(KivaroSettings, PortsMapToDevices)
{
    QTemporaryDir dir;
    common::SettingsStore store(dir.filePath("kivaro.ini"));
    KivaroSettings settings(store);
#ifndef Q_OS_WIN
    EXPECT_EQ(settings.devicePath(1), "/dev/ttyS0");
    EXPECT_EQ(settings.devicePath(4), "/dev/ttyS3");
    EXPECT_EQ(settings.devicePath(5), "/dev/ttyUSB0");
#endif
    settings.setDevicePath(3, "/dev/pts/7");
    EXPECT_EQ(settings.devicePath(3), "/dev/pts/7");
}

TEST(SafeName, RefusesNamesThatCouldLeaveTheFolder)
{
    for (const char *bad : {"", "   ", ".", "..", " .. ", "...", "../x", "a/b", "a\\b", "C:", "a\tb"})
        EXPECT_FALSE(kivaro::isSafeEntryName(QString::fromLatin1(bad))) << bad;
    for (const char *good : {"1&3A.cwd", "P1", "a.b", " lead", "A..CWD", "x..y"})
        EXPECT_TRUE(kivaro::isSafeEntryName(QString::fromLatin1(good))) << good;
    EXPECT_TRUE(kivaro::isSafeEntryName(QStringLiteral("工地一")));
}
