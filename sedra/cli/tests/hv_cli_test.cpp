// sedra-cli hv end to end on a generated three-column text record with a
// known resonance and bursts in chosen windows: f0, the windows rejected,
// the curve file and the PDF, and the refusals that leave nothing behind.

#include "sedra/core/threecomponentwriter.h"
#include "sedra/tests/hvtestrecord.h"
#include "talvex/analysis/siteclass.h"
#include "talvex/analysis/siteuncertainty.h"
#include "talvex/analysis/tests/analysistestutil.h"
#include "talvex/survey/surveyfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>

namespace {

struct HvRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

HvRun hv(const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SEDRA_CLI), QStringList{"hv"} + args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

class SedraCliHv : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new QTemporaryDir;
        hvtest::RecordSpec s;
        s.seconds = 900;
        s.burstWindows = {2, 9};
        const sedra::ThreeComponentRecord r = hvtest::makeRecord(s);
        QFile f(dir_->filePath("rec.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray text("# generated: resonance at 2 Hz, bursts in windows 2 and 9\n# dt = 0.01\n");
        for (std::size_t i = 0; i < r.sampleCount(); ++i)
            text += QByteArray::number(r.components[0][i], 'g', 7) + ' '
                + QByteArray::number(r.components[1][i], 'g', 7) + ' ' + QByteArray::number(r.components[2][i], 'g', 7)
                + '\n';
        f.write(text);
    }
    static void TearDownTestSuite()
    {
        delete dir_;
        dir_ = nullptr;
    }
    static QString record() { return dir_->filePath("rec.txt"); }
    QTemporaryDir out;
    QString path(const QString &name) const { return out.filePath(name); }
    static QTemporaryDir *dir_;
};

QTemporaryDir *SedraCliHv::dir_ = nullptr;

TEST_F(SedraCliHv, JsonGivesTheResonanceTheBurstWindowsAndTheDepth)
{
    const HvRun r = hv({record(), "--json", "--vs", "200", "--curve", path("c.csv"), "--pdf", path("hv.pdf")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    ASSERT_FALSE(o.isEmpty()) << r.out.toStdString();
    EXPECT_NEAR(o["f0"].toDouble(), 2.0, 0.1);
    EXPECT_NEAR(o["t0"].toDouble(), 1.0 / o["f0"].toDouble(), 1e-9);
    EXPECT_GT(o["a0"].toDouble(), 2.5);
    EXPECT_NEAR(o["f0Windows"].toObject()["median"].toDouble(), 2.0, 0.1);
    EXPECT_GT(o["f0Windows"].toObject()["sigmaLn"].toDouble(), 0.0);

    const QJsonObject windows = o["windows"].toObject();
    EXPECT_EQ(windows["count"].toInt(), 15);
    // The burst windows by the anti-trigger, and nothing else by it; the
    // frequency-domain rejection may take a few more.
    std::set<int> triggered;
    int rejected = 0;
    for (const auto &w : windows["rejected"].toArray()) {
        const QString reason = w.toObject()["reason"].toString();
        ++rejected;
        if (reason.startsWith("antitrigger:"))
            triggered.insert(w.toObject()["index"].toInt());
        else
            EXPECT_EQ(reason, "fdwra");
    }
    EXPECT_EQ(triggered, (std::set<int>{2, 9}));
    EXPECT_LE(rejected, 6);
    EXPECT_EQ(windows["used"].toInt(), 15 - rejected);

    const QJsonObject sesame = o["sesame"].toObject();
    ASSERT_EQ(sesame["reliable"].toArray().size(), 3);
    ASSERT_EQ(sesame["clear"].toArray().size(), 6);
    EXPECT_TRUE(sesame["isReliable"].toBool());
    for (const auto &c : sesame["reliable"].toArray())
        EXPECT_TRUE(c.toObject().contains("value") && c.toObject().contains("threshold")
                    && c.toObject()["pass"].toBool());
    EXPECT_FALSE(o["peaks"].toArray().isEmpty());

    const QJsonObject depth = o["depth"].toObject();
    EXPECT_NEAR(depth["h"].toDouble(), 200.0 / (4 * o["f0"].toDouble()), 1e-6);
    EXPECT_LT(depth["low"].toDouble(), depth["h"].toDouble());
    EXPECT_GT(depth["high"].toDouble(), depth["h"].toDouble());

    QFile csv(path("c.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 201); // header and 200 frequencies
    EXPECT_TRUE(lines[0].startsWith("frequency(Hz),mean H/V,"));
    EXPECT_EQ(lines[1].split(',').size(), 6);
    EXPECT_NEAR(lines[1].split(',')[0].toDouble(), 0.2, 1e-9);
    QFile pdf(path("hv.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
}

TEST_F(SedraCliHv, TextPutsBothF0SideBySide)
{
    const HvRun r = hv({record(), "--peak-range", "0.5,10", "--fdwra", "off", "--antitrigger", "fixed"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString text = QString::fromUtf8(r.out);
    EXPECT_TRUE(text.contains(QStringLiteral("f0（平均曲线的峰）")));
    EXPECT_TRUE(text.contains(QStringLiteral("f0（各窗口峰的中值）")));
    EXPECT_TRUE(text.contains(QStringLiteral("窗口 2（120.0 s 起）剔除：STA/LTA 反触发")));
    EXPECT_TRUE(text.contains(QStringLiteral("可靠曲线（3 条全部满足）：可靠")));
    EXPECT_TRUE(text.contains(QStringLiteral("峰值搜索范围 0.500～10.0 Hz")));
}

TEST_F(SedraCliHv, RefusalsWriteNothing)
{
    const QStringList outputs{"--json", "--curve", path("c.csv"), "--pdf", path("p.pdf")};
    const auto nothingWritten = [&] { return QDir(out.path()).entryList(QDir::Files).isEmpty(); };
    // Wrong command lines: exit status 2.
    for (const QStringList &args :
         {QStringList{record(), "--window", "abc"}, QStringList{record(), "--window", "-5"},
          QStringList{record(), "--combine", "median"}, QStringList{record(), "--ratio", "0.2"},
          QStringList{record(), "--peak-range", "5,1"}, QStringList{record(), "--vs", "200", "--survey", "x.qsw"},
          QStringList{record(), record(), record(), record()}, QStringList{}}) {
        const HvRun r = hv(args + outputs);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_TRUE(nothingWritten());
    }
    // Files that cannot be used, options the record does not allow: 1.
    QFile junk(dir_->filePath("junk.bin"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(3000, '\x07'));
    junk.close();
    for (const QStringList &args :
         {QStringList{path("missing.txt")}, QStringList{junk.fileName()}, QStringList{record(), "--fmax", "60"},
          QStringList{record(), "--window", "2000"}, QStringList{record(), "--survey", path("none.qsw")}}) {
        const HvRun r = hv(args + outputs);
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString() << r.err.toStdString();
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(nothingWritten());
    }
    junk.remove();
}

TEST_F(SedraCliHv, VelocityFromASurveyIsTalvexsEquivalentVelocity)
{
    // 0-10 m at 200 m/s, 10-30 m at 400 m/s: the equivalent velocity over
    // the top 20 m, as talvex works it out.
    talvex::SurveyData survey = talvex::testing::pickedProfile({{10.0f, 200.0f}, {30.0f, 400.0f}, {35.0f, 100.0f}});
    const QString qsw = out.filePath("site.qsw");
    ASSERT_TRUE(talvex::StoreSurvey(survey, qsw).ok);
    const talvex::SiteClassification site = talvex::ClassifySiteWithBounds(survey);
    ASSERT_TRUE(site.ok());
    ASSERT_GT(site.vse, 0.0f);
    QFile file(qsw);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    const HvRun r = hv({record(), "--json", "--survey", qsw, "--vs-sigma-ln", "0.1"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    const QJsonObject depth = o["depth"].toObject();
    EXPECT_NEAR(depth["vs"].toDouble(), double(site.vse), 1e-3);
    EXPECT_NEAR(depth["h"].toDouble(), double(site.vse) / (4 * o["f0"].toDouble()), 1e-3);
    EXPECT_EQ(depth["vsSurvey"].toString(), qsw);
    EXPECT_NEAR(depth["vsOverDepth"].toDouble(), double(site.d0), 1e-6);
    EXPECT_DOUBLE_EQ(depth["vsSigmaLn"].toDouble(), 0.1); // the value typed in wins
    // The survey file is only read.
    QFile after(qsw);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
}

TEST_F(SedraCliHv, ReadsMiniSeedThroughTheSameReader)
{
    hvtest::RecordSpec s;
    s.seconds = 600;
    s.f0 = 3.0;
    sedra::ThreeComponentRecord r = hvtest::makeRecord(s);
    // Counts, as a recorder stores them.
    for (auto &c : r.components)
        for (double &v : c)
            v = std::round(v * 1000.0);
    r.network = "XX";
    r.station = "HV1";
    r.location = "00";
    r.start = QDateTime(QDate(2024, 5, 1), QTime(8, 0), Qt::UTC);
    const QString file = out.filePath("rec.mseed");
    ASSERT_TRUE(sedra::writeThreeComponentMseed(file, r).ok);
    const HvRun run = hv({file, "--json", "--peak-range", "1,10"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(run.out).object();
    EXPECT_NEAR(o["f0"].toDouble(), 3.0, 0.15);
    EXPECT_EQ(o["windows"].toObject()["count"].toInt(), 10);
    EXPECT_DOUBLE_EQ(o["peakRange"].toArray()[0].toDouble(), 1.0);
}

TEST_F(SedraCliHv, HelpGivesUnitsAndDefaults)
{
    const HvRun r = hv({"--help"});
    ASSERT_EQ(r.exitCode, 0);
    const QString help = QString::fromUtf8(r.out);
    for (const char *s : {"--window", "单位 s。默认：60", "--fdwra", "--survey", "--dt", "默认：0.2,2.5"})
        EXPECT_TRUE(help.contains(QString::fromUtf8(s))) << s;
}

} // namespace
