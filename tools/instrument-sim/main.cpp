// instrument-sim: plays the field instrument for KIVARO and kivaro-cli on a
// serial device or a pseudo-terminal. It serves projects from a folder,
// answers the download and upgrade exchanges, keeps an uploaded image, and
// can be told to misbehave.

#include "tools/instrument-sim/siminstrument.h"
#include "tools/instrument-sim/simline.h"

#include "common/cli/program.h"
#include "common/fileio.h"
#include "common/gbk.h"

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

std::vector<cli::OptionSpec> options()
{
    const auto option = [](const char *name, const char *value, const char *meaning) {
        return cli::OptionSpec{QLatin1String(name), QLatin1String(value), QLatin1String(meaning)};
    };
    return {
        option("device", "PATH", "Serial device to answer on."),
        option("pty", "", "Create a pseudo-terminal and answer on it."),
        option("link", "PATH", "With --pty: also make PATH a symbolic link to the pseudo-terminal."),
        option("baud", "B", "Baud rate of --device (default 19200)."),
        option("mode", "MODE", "download (transfer key) or upgrade (upgrade key); default download."),
        option("projects", "DIR", "Folder with one sub-folder per project."),
        option("number", "TEXT", "Instrument number, at most 9 bytes of GBK (default SIM-0001)."),
        option("instrument-version", "N", "Program version reported, in hundredths (default 100)."),
        option("image-out", "FILE", "File that receives an uploaded image."),
        option("delay-ms", "MS", "Answer every reply this late, ms (default 0)."),
        option("split", "N", "Send replies in pieces of at most N bytes (default 0: whole)."),
        option("split-gap-ms", "MS", "Pause between pieces, ms (default 20)."),
        option("garbage-reply", "K", "Append junk bytes to the K-th reply."),
        option("short-reply", "K", "Drop the last byte of the K-th reply."),
        option("silent-after", "K", "Fall silent after K replies."),
        option("verbose", "", "Log every command on standard error."),
    };
}

// A whole-number option within low...high, or `fallback` when not given: a
// typing mistake is a usage error rather than another instrument than the
// one asked for.
int wholeOption(const cli::Args &args, const char *name, int low, int high, int fallback)
{
    return args.integerIn(QLatin1String(name), low, high).value_or(fallback);
}

int run(const cli::Args &args)
{
    const QString mode = args.choice(QStringLiteral("mode"), {QStringLiteral("download"), QStringLiteral("upgrade")})
                             .value_or(QStringLiteral("download"));
    const int baud = wholeOption(args, "baud", 1, 4000000, 19200);
    const int version = wholeOption(args, "instrument-version", -32768, 32767, 100);
    Misbehaviour mis;
    mis.delayMs = wholeOption(args, "delay-ms", 0, 600000, 0);
    mis.splitBytes = wholeOption(args, "split", 0, 1 << 20, 0);
    mis.splitGapMs = wholeOption(args, "split-gap-ms", 0, 600000, 20);
    mis.garbageReply = wholeOption(args, "garbage-reply", 0, 1 << 30, 0);
    mis.shortReply = wholeOption(args, "short-reply", 0, 1 << 30, 0);
    mis.silentAfter = wholeOption(args, "silent-after", 0, 1 << 30, -1);
    const bool verbose = args.flag(QStringLiteral("verbose"));
    const bool pty = args.flag(QStringLiteral("pty"));
    const std::optional<QString> link = args.text(QStringLiteral("link"));
    const std::optional<QString> device = args.text(QStringLiteral("device"));
    const std::optional<QString> imageOut = args.text(QStringLiteral("image-out"));
    if (!pty && !device)
        throw cli::Failure(QStringLiteral("give --device PATH or --pty"), cli::kExitUsage);

    SimInstrument instrument(mode == u"upgrade" ? SimInstrument::Mode::Upgrade : SimInstrument::Mode::Download);
    const auto number = common::encodeGbk(args.textOr(QStringLiteral("number"), QStringLiteral("SIM-0001")));
    if (!number || number->size() > 9)
        throw cli::Failure(QStringLiteral("--number must fit 9 bytes of GBK"), cli::kExitUsage);
    instrument.setNumber(*number);
    instrument.setVersion(qint16(version));
    if (const auto folder = args.text(QStringLiteral("projects"))) {
        QString error;
        const auto projects = SimInstrument::loadProjects(*folder, error);
        if (!projects)
            throw cli::Failure(error, cli::kExitUsage);
        instrument.setProjects(*projects);
    }

    SimLine line;
    QString error;
    if (pty) {
        if (!line.openPty(error))
            throw cli::Failure(error);
        out(QStringLiteral("PTY %1").arg(line.peerPath()));
        if (link) {
            const QByteArray linkName = QFile::encodeName(*link);
            ::unlink(linkName.constData());
            if (::symlink(QFile::encodeName(line.peerPath()).constData(), linkName.constData()) != 0)
                err(QStringLiteral("cannot link %1").arg(*link));
        }
    } else if (!line.openDevice(*device, baud, error)) {
        throw cli::Failure(error);
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
        if (failed)
            throw cli::Failure(QStringLiteral("the line is gone"));
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
            if (imageOut) {
                const auto result = common::writeFileAtomically(*imageOut, *image);
                if (!result.ok)
                    err(result.message);
            }
            // Announced once the image is kept, so a watcher may read it at once.
            out(QStringLiteral("UPLOADED %1 bytes").arg(image->size()));
        }
    }
    if (link)
        ::unlink(QFile::encodeName(*link).constData());
    return cli::kExitOk;
}

} // namespace

int main(int argc, char *argv[])
{
    cli::Command command;
    command.synopsis = QStringLiteral("(--device PATH | --pty) [options]");
    command.summary = QStringLiteral("Plays the field instrument on a serial device or a new pseudo-terminal.");
    command.details
        = QStringLiteral("With --pty the device is printed as \"PTY <path>\" on the first line of output.\n"
                         "In download mode it serves one project per sub-folder of --projects; in upgrade mode it\n"
                         "reports --instrument-version and keeps an uploaded image in --image-out.");
    command.options = options();
    command.run = run;
    const cli::Program program(QStringLiteral("instrument-sim"), QStringLiteral(PROJECT_VERSION), {command},
                               cli::Program::Punctuation::Ascii);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("instrument-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    return program.run(argc, argv);
}
