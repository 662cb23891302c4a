#include "clirunner.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using clitest::cli;

namespace {

class ReportCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // The stored page setup of this run: none, so the defaults apply.
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
        survey = dir.filePath(QStringLiteral("s.qsw"));
        const QString records = dir.filePath(QStringLiteral("rec"));
        ASSERT_EQ(clitest::makeImportedSurvey(survey, records, 6).toStdString(), "");
    }

    QStringList outFiles() const { return QDir(dir.filePath(QStringLiteral("out"))).entryList(QDir::Files); }

    QTemporaryDir dir;
    QString survey;
};

} // namespace

TEST_F(ReportCli, PagesFollowTheOptions)
{
    auto r = cli({"pages", survey, "--rows", "2", "--columns", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = QString::fromUtf8(r.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7) << r.out.toStdString(); // 6 points: 3 + 3 waveform pages
    EXPECT_EQ(lines[0], QStringLiteral("6"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("1 velocity")));
    EXPECT_TRUE(lines[6].startsWith(QStringLiteral("6 waveforms"))) << lines[6].toStdString();
    EXPECT_TRUE(lines[6].endsWith(QStringLiteral("5-6")));

    r = cli({"pages", survey, "--no-velocity", "--no-table"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith("1\n1 waveforms")) << r.out.toStdString();
}

TEST_F(ReportCli, FiguresAndReportAreWrittenAndTheSurveyIsNot)
{
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("out"))));
    const QByteArray before = [&] {
        QFile f(survey);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    auto r = cli({"figures", survey, dir.filePath(QStringLiteral("out/a")), "--footer-style", "3"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(outFiles().size(), 5); // three velocity figures, the table, one waveform figure
    r = cli({"report", survey, dir.filePath(QStringLiteral("out/r.pdf")), "--header", "某工地"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_GT(QFileInfo(dir.filePath(QStringLiteral("out/r.pdf"))).size(), 1000);
    QFile f(survey);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

TEST_F(ReportCli, BadOverridesAreRefusedAndNothingIsWritten)
{
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("out"))));
    const QString base = dir.filePath(QStringLiteral("out/a"));
    const QString pdf = dir.filePath(QStringLiteral("out/r.pdf"));
    for (const QStringList &bad : {QStringList{"--columns", "5"}, QStringList{"--rows", "0"},
                                   QStringList{"--footer-style", "x"}, QStringList{"--first-page", "10001"}}) {
        auto r = cli(QStringList{"figures", survey, base} + bad);
        EXPECT_EQ(r.exitCode, 2) << bad.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
        r = cli(QStringList{"report", survey, pdf} + bad);
        EXPECT_EQ(r.exitCode, 2);
    }
    EXPECT_EQ(cli({"report", survey, dir.filePath(QStringLiteral("out/r.png"))}).exitCode, 2);
    // Nothing selected: refused, nothing written.
    EXPECT_EQ(cli({"report", survey, pdf, "--no-velocity", "--no-table", "--no-waveforms"}).exitCode, 1);
    EXPECT_TRUE(outFiles().isEmpty()) << outFiles().join(' ').toStdString();
    // A folder that does not exist: every figure reported, exit status 1.
    const auto r = cli({"figures", survey, dir.filePath(QStringLiteral("nowhere/a"))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QStringLiteral("5 个图形文件不能写出"))) << r.err.toStdString();
}
