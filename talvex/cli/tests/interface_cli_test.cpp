// One interface across talvex-cli: how every subcommand parses its command
// line, what it prints and which exit status it ends with.

#include "clirunner.h"

#include <QFile>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using clitest::cli;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class InterfaceCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        survey = dir.filePath("s.qsw");
        records = dir.filePath("rec");
        ASSERT_EQ(clitest::makeImportedSurvey(survey, records, 6).toStdString(), "");
    }

    QTemporaryDir dir;
    QString survey;
    QString records;
};

} // namespace

TEST_F(InterfaceCli, EverySubcommandParsesAlike)
{
    const QByteArray before = readAll(survey);
    const QList<std::pair<int, QStringList>> runs = {
        {2, {"pick", survey, "--point", "2", "--sample", "250", "--point", "3"}}, // repeated
        {2, {"pick", survey, "--point", "2", "--sample", "250", "--bogus"}}, // unknown
        {2, {"pick", survey, "extra", "--point", "2", "--sample", "250"}}, // extra word
        {2, {"pick", survey, "--point", "2", "--sample"}}, // value missing
        {2, {"pick", survey, "--point", "two", "--sample", "250"}}, // not a number
        {2, {"points", survey, survey}},
        {2, {"info", survey, "--traces"}}, // arrays only in JSON
        {2, {"import-folder", survey, records, "--channel", "4"}},
        {2, {"frobnicate", survey}},
        {1, {"info", dir.filePath("missing.qsw")}},
    };
    for (const auto &[status, args] : runs) {
        const auto r = cli(args);
        EXPECT_EQ(r.exitCode, status) << args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_FALSE(r.err.isEmpty()) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args.join(' ').toStdString();
    }
    EXPECT_TRUE(QString::fromUtf8(cli(runs[0].second).err).contains(QString::fromUtf8("只能给一次")));
    EXPECT_TRUE(QString::fromUtf8(cli(runs[6].second).err).contains("--json"));
    EXPECT_EQ(readAll(survey), before);

    // --opt=value is the same as --opt value.
    auto r = cli({"pick", survey, "--point=2", "--sample=250"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(cli({"info", survey, "--json"}).json()["points"].toArray()[1].toObject()["sArrival"].toInt(), 250);

    // Point numbers out of range read the same everywhere.
    const QString record = records + "/ZK1&2A.cwd";
    for (const QStringList &args :
         QList<QStringList>{{"pick", survey, "--point", "9", "--sample", "250"},
                            {"process", survey, "--point", "9", "--trace", "positive", "invert"},
                            {"spectrum", survey, "--point", "9", "--trace", "positive"},
                            {"import-record", survey, record, "--point", "9", "--channel", "1", "--as", "positive"},
                            {"point", survey, "--point", "9", "--depth", "1"},
                            {"delete-point", survey, "--point", "9"},
                            {"render", survey, dir.filePath("x.png"), "--mode", "0", "--point", "9"}}) {
        r = cli(args);
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(QString::fromUtf8(r.err).endsWith(QString::fromUtf8("测点序号 9 超出范围 1～6\n")))
            << args.join(' ').toStdString() << ": " << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("x.png")));
}

TEST_F(InterfaceCli, HelpAndVersion)
{
    auto r = cli({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QByteArray("talvex-cli " PROJECT_VERSION "\n"));
    r = cli({"--help"});
    ASSERT_EQ(r.exitCode, 0);
    // Every subcommand's help names every option of its synopsis with a meaning.
    const QRegularExpression command(QStringLiteral("^  ([a-z][a-z-]*)  "), QRegularExpression::MultilineOption);
    QStringList names;
    for (auto it = command.globalMatch(QString::fromUtf8(r.out)); it.hasNext();)
        names << it.next().captured(1);
    ASSERT_GE(names.size(), 20);
    const QRegularExpression option(QStringLiteral("--([a-z-]+)"));
    for (const QString &name : names) {
        const auto help = cli({name, "--help"});
        EXPECT_EQ(help.exitCode, 0) << name.toStdString();
        const QString text = QString::fromUtf8(help.out);
        const QString synopsis = text.section(QLatin1Char('\n'), 0, 0);
        EXPECT_TRUE(synopsis.startsWith(QString::fromUtf8("用法：talvex-cli ") + name)) << synopsis.toStdString();
        const QString options = text.section(QString::fromUtf8("选项："), 1);
        for (auto it = option.globalMatch(synopsis); it.hasNext();) {
            const QString o = it.next().captured(0);
            EXPECT_TRUE(QRegularExpression(QStringLiteral("\\n  %1 .*\\S").arg(QRegularExpression::escape(o)))
                            .match(options)
                            .hasMatch())
                << name.toStdString() << " " << o.toStdString();
        }
    }
}

TEST_F(InterfaceCli, PlainOutputReadsWellAndReadingChangesNothing)
{
    const QByteArray before = readAll(survey);
    auto r = cli({"points", survey});
    ASSERT_EQ(r.exitCode, 0);
    const QStringList lines = QString::fromUtf8(r.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7);
    EXPECT_TRUE(lines[0].startsWith(QString::fromUtf8("测点"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(QString::fromUtf8("走时(ms)")));
    EXPECT_TRUE(lines[3].trimmed().startsWith(QString::fromUtf8("3      3.00"))) << lines[3].toStdString();

    // A survey without names prints no gaps where they would be.
    r = cli({"info", survey});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(r.out),
              QString::fromUtf8(
                  "Tlv13.01 文件：单孔法，测孔深度 6 米，测点间隔 1 米\n6 个测点，0 个速度分层，0 个工勘土层\n"));
    r = cli({"record-info", records + "/ZK1&2A.cwd"});
    EXPECT_TRUE(QString::fromUtf8(r.out).startsWith(QString::fromUtf8("v2 格式记录："))) << r.out.toStdString();
    EXPECT_EQ(readAll(survey), before);

    // Commands that change the file say what in one line.
    r = cli({"process", survey, "--point", "2", "--trace", "negative", "invert"});
    EXPECT_EQ(QString::fromUtf8(r.out), QString::fromUtf8("第 2 个测点的反向数据：已反相\n"));
}

TEST_F(InterfaceCli, RenderWritesEveryModeAndNothingOnARefusal)
{
    for (int mode = 0; mode <= 5; ++mode) {
        const QString png = dir.filePath(QStringLiteral("m%1.png").arg(mode));
        const auto r = cli({"render", survey, png, "--mode", QString::number(mode), "--point", "2", "--record",
                            records + "/ZK1&2A.cwd", "--scale", "0.5"});
        ASSERT_EQ(r.exitCode, 0) << mode << r.err.toStdString();
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        EXPECT_TRUE(readAll(png).startsWith("\x89PNG")) << mode;
    }
    const QString png = dir.filePath("bad.png");
    EXPECT_EQ(cli({"render", survey, png, "--mode", "6"}).exitCode, 2);
    EXPECT_EQ(cli({"render", survey, png, "--mode", "0", "--scale", "0"}).exitCode, 2);
    EXPECT_EQ(cli({"render", survey, png, "--mode", "2", "--record", dir.filePath("none.cwd")}).exitCode, 1);
    EXPECT_FALSE(QFile::exists(png));
}
