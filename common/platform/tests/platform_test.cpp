#include "common/platform/onscreenkeyboard.h"
#include "common/platform/singleinstance.h"
#ifndef Q_OS_WIN
#include "common/platform/wmctrlprogramwindows.h"
#endif

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

class PlatformTest : public QObject {
    Q_OBJECT

    static QString uniqueName() { return "suite-test-" + QUuid::createUuid().toString(QUuid::Id128); }

#ifndef Q_OS_WIN
    // A script standing in for a tool: records its arguments and ends with `code`.
    static QString writeScript(const QTemporaryDir &dir, const QString &name, int code)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(QStringLiteral("#!/bin/sh\necho \"$@\" > \"%1.args\"\npwd > \"%1.pwd\"\nexit %2\n")
                    .arg(path)
                    .arg(code)
                    .toUtf8());
        f.close();
        f.setPermissions(f.permissions() | QFile::ExeOwner);
        return path;
    }
    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed() : QByteArray();
    }
#endif

private slots:
    void secondCopyIsRefusedAndWakesTheFirst()
    {
        const QString name = uniqueName();
        platform::SingleInstance first(name);
        QVERIFY(!platform::SingleInstance::isRunning(name));
        QVERIFY(first.claim());
        QSignalSpy woken(&first, &platform::SingleInstance::activationRequested);
        QVERIFY(platform::SingleInstance::isRunning(name));

        platform::SingleInstance second(name);
        QVERIFY(!second.claim());
        QVERIFY(!second.isClaimed());
        QTRY_COMPARE(woken.count(), 1);

        // Once the first lets go, a new copy may run.
        first.release();
        QVERIFY(!platform::SingleInstance::isRunning(name));
        QVERIFY(second.claim());
    }

    void otherNamesDoNotInterfere()
    {
        platform::SingleInstance a(uniqueName());
        platform::SingleInstance b(uniqueName());
        QVERIFY(a.claim());
        QVERIFY(b.claim());
    }

    void missingKeyboardSaysWhy()
    {
        QString error;
        QVERIFY(!platform::startOnScreenKeyboard(QStringLiteral("no-such-keyboard-program"), &error));
        QVERIFY(error.contains(QStringLiteral("no-such-keyboard-program")));
    }

#ifndef Q_OS_WIN
    void closeWindowUsesExactTitle()
    {
        QTemporaryDir dir;
        const QString tool = writeScript(dir, QStringLiteral("wmctrl"), 0);
        platform::WmctrlProgramWindows windows(tool);
        QString note;
        QVERIFY(windows.closeWindow(QStringLiteral("Voltora"), &note));
        QCOMPARE(readAll(tool + ".args"), QByteArray("-F -c Voltora"));

        const QString failing = writeScript(dir, QStringLiteral("wmctrl-fails"), 1);
        platform::WmctrlProgramWindows none(failing);
        QVERIFY(!none.closeWindow(QStringLiteral("Voltora"), &note));
        QVERIFY(note.contains(QStringLiteral("Voltora")));
    }

    void startProgramInItsFolder()
    {
        QTemporaryDir dir;
        const QString program = writeScript(dir, QStringLiteral("Voltora"), 0);
        platform::WmctrlProgramWindows windows(QStringLiteral("/nonexistent/wmctrl"));
        QString note;
        QVERIFY(windows.startProgram(QStringLiteral("Voltora"), dir.path(), &note));
        QTRY_VERIFY(QFile::exists(program + ".pwd"));
        QTRY_COMPARE(readAll(program + ".pwd"), QFile::encodeName(dir.path()));

        QVERIFY(!windows.startProgram(QStringLiteral("NoSuchVoltora"), dir.path(), &note));
        QVERIFY(note.contains(QStringLiteral("NoSuchVoltora")));
    }
#endif
};

QTEST_GUILESS_MAIN(PlatformTest)
#include "platform_test.moc"
