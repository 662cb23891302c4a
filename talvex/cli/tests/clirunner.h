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

} // namespace clitest
