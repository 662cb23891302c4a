#pragma once
// Runs the command-line programs for end-to-end tests.

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

namespace clitest {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }
};

inline Run run(const QString &program, const QStringList &args,
               const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(environment);
    p.start(program, args);
    p.waitForFinished(60000);
    Run r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

inline Run cli(const QStringList &args,
               const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    return run(QStringLiteral(TALVEX_CLI), args, environment);
}

#ifdef SAMPLEGEN
// The starting point of most end-to-end tests: generated records of a hole
// `depth` m deep in the folder `records`, a new survey at `survey` (with
// `newOptions` given to new) and the folder imported into it. Returns an
// empty text when every step went well, else the step and what it said.
inline QString makeImportedSurvey(const QString &survey, const QString &records, int depth,
                                  const QStringList &newOptions = {})
{
    const QString metres = QString::number(depth);
    const auto failed = [](const char *step, const Run &r) {
        return QStringLiteral("%1: exit %2: %3").arg(QLatin1String(step)).arg(r.exitCode).arg(QString::fromUtf8(r.err));
    };
    Run r = run(QStringLiteral(SAMPLEGEN), {QStringLiteral("--out"), records, QStringLiteral("--depth"), metres});
    if (r.exitCode != 0)
        return failed("samplegen", r);
    r = cli(QStringList{QStringLiteral("new"), survey, QStringLiteral("--hole-depth"), metres} + newOptions);
    if (r.exitCode != 0)
        return failed("new", r);
    r = cli({QStringLiteral("import-folder"), survey, records});
    if (r.exitCode != 0)
        return failed("import-folder", r);
    return {};
}
#endif

} // namespace clitest
