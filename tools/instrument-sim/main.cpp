// instrument-sim: plays the field instrument for KIVARO and kivaro-cli on a
// serial device or a pseudo-terminal. It serves projects from a folder,
// answers the download and upgrade exchanges, keeps an uploaded image, and
// can be told to misbehave.

#include "tools/instrument-sim/siminstrument.h"
#include "tools/instrument-sim/simline.h"

#include "common/fileio.h"
#include "common/gbk.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace instrumentsim;

namespace {

volatile std::sig_atomic_t g_stop = 0;
void onSignal(int)
{
    g_stop = 1;
}

void out(const QString &line)
{
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

void err(const QString &line)
{
    std::fprintf(stderr, "instrument-sim: %s\n", line.toUtf8().constData());
    std::fflush(stderr);
}

// How replies go out: late, in pieces, garbled, cut short or not at all.
struct Misbehaviour {
    int delayMs = 0;
    int splitBytes = 0;
    int splitGapMs = 20;
    int garbageReply = 0; // 1-based reply that gets junk appended
    int shortReply = 0; // 1-based reply whose last byte is dropped
    int silentAfter = -1; // replies sent before falling silent; -1: never
};

int intValue(const QCommandLineParser &parser, const QString &name, int fallback)
{
    bool ok = false;
    const int v = parser.value(name).toInt(&ok);
    return parser.isSet(name) && ok ? v : fallback;
}

// A number option that is given but is not a whole number, so that a typing
// mistake does not quietly play another instrument than the one asked for.
QString badNumber(const QCommandLineParser &parser)
{
    for (const char *name : {"baud", "instrument-version", "delay-ms", "split", "split-gap-ms", "garbage-reply",
                             "short-reply", "silent-after"}) {
        const QString key = QLatin1String(name);
        bool ok = false;
        if (parser.isSet(key) && (parser.value(key).toInt(&ok), !ok))
            return QStringLiteral("--%1 takes a whole number, not \"%2\"").arg(key, parser.value(key));
    }
    return QString();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("instrument-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Plays the instrument on a serial device (--device) or on a new pseudo-terminal (--pty,\n"
                       "whose device is printed as \"PTY <path>\" on the first line of output).\n"
                       "In download mode it serves one project per sub-folder of --projects; in upgrade mode it\n"
                       "reports --instrument-version and keeps an uploaded image in --image-out."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {"device", "Serial device to answer on.", "PATH"},
        {"pty", "Create a pseudo-terminal and answer on it."},
        {"link", "With --pty: also make PATH a symbolic link to the pseudo-terminal.", "PATH"},
        {"baud", "Baud rate of --device (default 19200).", "B", "19200"},
        {"mode", "download (transfer key) or upgrade (upgrade key); default download.", "MODE", "download"},
        {"projects", "Folder with one sub-folder per project.", "DIR"},
        {"number", "Instrument number (at most 9 bytes).", "TEXT", "SIM-0001"},
        {"instrument-version", "Program version reported, in hundredths (default 100).", "N", "100"},
        {"image-out", "File that receives an uploaded image.", "FILE"},
        {"delay-ms", "Answer every reply this late.", "MS"},
        {"split", "Send replies in pieces of at most N bytes.", "N"},
        {"split-gap-ms", "Pause between pieces (default 20).", "MS"},
        {"garbage-reply", "Append junk bytes to the K-th reply.", "K"},
        {"short-reply", "Drop the last byte of the K-th reply.", "K"},
        {"silent-after", "Fall silent after K replies.", "K"},
        {"verbose", "Log every command on standard error."},
    });
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        err(QStringLiteral("unexpected word \"%1\"").arg(parser.positionalArguments().first()));
        return 2;
    }
    if (const QString bad = badNumber(parser); !bad.isEmpty()) {
        err(bad);
        return 2;
    }

    const bool upgrade = parser.value("mode") == u"upgrade";
    if (!upgrade && parser.value("mode") != u"download") {
        err(QStringLiteral("--mode is download or upgrade"));
        return 2;
    }
    SimInstrument instrument(upgrade ? SimInstrument::Mode::Upgrade : SimInstrument::Mode::Download);
    const auto number = common::encodeGbk(parser.value("number"));
    if (!number || number->size() > 9) {
        err(QStringLiteral("--number must fit 9 bytes of GBK"));
        return 2;
    }
    instrument.setNumber(*number);
    instrument.setVersion(qint16(intValue(parser, "instrument-version", 100)));
    if (parser.isSet("projects")) {
        QString error;
        const auto projects = SimInstrument::loadProjects(parser.value("projects"), error);
        if (!projects) {
            err(error);
            return 2;
        }
        instrument.setProjects(*projects);
    }

    Misbehaviour mis;
    mis.delayMs = intValue(parser, "delay-ms", 0);
    mis.splitBytes = intValue(parser, "split", 0);
    mis.splitGapMs = intValue(parser, "split-gap-ms", 20);
    mis.garbageReply = intValue(parser, "garbage-reply", 0);
    mis.shortReply = intValue(parser, "short-reply", 0);
    mis.silentAfter = intValue(parser, "silent-after", -1);
    const bool verbose = parser.isSet("verbose");

    SimLine line;
    QString error;
    if (parser.isSet("pty")) {
        if (!line.openPty(error)) {
            err(error);
            return 1;
        }
        out(QStringLiteral("PTY %1").arg(line.peerPath()));
        if (parser.isSet("link")) {
            const QByteArray link = QFile::encodeName(parser.value("link"));
            ::unlink(link.constData());
            if (::symlink(QFile::encodeName(line.peerPath()).constData(), link.constData()) != 0)
                err(QStringLiteral("cannot link %1").arg(parser.value("link")));
        }
    } else if (parser.isSet("device")) {
        if (!line.openDevice(parser.value("device"), intValue(parser, "baud", 19200), error)) {
            err(error);
            return 1;
        }
    } else {
        err(QStringLiteral("give --device PATH or --pty"));
        return 2;
    }

    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);

    int replies = 0;
    const auto send = [&](QByteArray reply) {
        ++replies;
        if (mis.silentAfter >= 0 && replies > mis.silentAfter) {
            if (verbose)
                err(QStringLiteral("silent: reply %1 dropped").arg(replies));
            return;
        }
        if (mis.delayMs > 0)
            QThread::msleep(ulong(mis.delayMs));
        if (replies == mis.shortReply)
            reply.chop(1);
        if (replies == mis.garbageReply)
            reply.append("\xEE\x5A\xA5");
        if (mis.splitBytes <= 0) {
            line.write(reply);
            return;
        }
        for (qsizetype at = 0; at < reply.size(); at += mis.splitBytes) {
            if (at > 0)
                QThread::msleep(ulong(mis.splitGapMs));
            line.write(reply.mid(at, mis.splitBytes));
        }
    };

    while (!g_stop) {
        bool failed = false;
        const QByteArray bytes = line.read(30, failed);
        if (failed) {
            err(QStringLiteral("the line is gone"));
            return 1;
        }
        const QList<QByteArray> answers = bytes.isEmpty()
            ? (instrument.hasPending() ? instrument.quiet() : QList<QByteArray>())
            : instrument.feed(bytes);
        for (const QString &entry : instrument.takeLog()) {
            if (verbose)
                err(entry);
        }
        for (const QByteArray &answer : answers)
            send(answer);
        if (auto image = instrument.takeUpload()) {
            if (parser.isSet("image-out")) {
                const auto result = common::writeFileAtomically(parser.value("image-out"), *image);
                if (!result.ok)
                    err(result.message);
            }
            // Announced once the image is kept, so a watcher may read it at once.
            out(QStringLiteral("UPLOADED %1 bytes").arg(image->size()));
        }
    }
    if (parser.isSet("link"))
        ::unlink(QFile::encodeName(parser.value("link")).constData());
    return 0;
}
