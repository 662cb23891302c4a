// talvex-cli batch over a folder of holes, run as a user would run it.

#include "clirunner.h"
#include "common/tests/workbookreader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using clitest::cli;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The rows of a summary written with a UTF-8 BOM and CR LF line ends.
std::vector<QStringList> csvRows(const QByteArray &bytes)
{
    std::vector<QStringList> rows;
    for (const QString &line : QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        rows.push_back(line.split(QLatin1Char(',')));
    return rows;
}

class BatchCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        holes = dir.filePath("holes");
        out = dir.filePath("out");
    }

    void makeHole(const QString &name, const QString &depth, const QString &model)
    {
        const auto r = clitest::run(QStringLiteral(SAMPLEGEN),
                                    {"--out", holes + "/" + name, "--hole", name, "--depth", depth, "--model", model});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    }

    void makeBrokenHole(const QString &name)
    {
        ASSERT_TRUE(QDir().mkpath(holes + "/" + name));
        for (const char *blow : {"A", "B"}) {
            QFile f(holes + "/" + name + "/" + name + "&1" + blow + ".cwd");
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("not a record");
        }
    }

    QTemporaryDir dir;
    QString holes;
    QString out;
};

} // namespace

TEST_F(BatchCli, ThreeHolesOneBrokenFinishTheOthersAndReportIt)
{
    makeHole("ZK2", "12", "0:6:150:400,6:12:400:900");
    makeBrokenHole("ZK3");
    makeHole("ZK10", "14", "0:14:200:500");

    const auto r = cli({"batch", holes, out, "--jobs", "2"});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString() << r.err.toStdString();
    const QString text = QString::fromUtf8(r.out);
    for (const char *progress : {"[1/3] ", "[2/3] ", "[3/3] "})
        EXPECT_TRUE(text.contains(QString::fromLatin1(progress))) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8("ZK3：失败：找到相应文件2个，但都不能读取"))) << text.toStdString();

    const QByteArray summary = readAll(out + "/summary.csv");
    ASSERT_TRUE(summary.startsWith("\xEF\xBB\xBF"));
    const auto rows = csvRows(summary);
    ASSERT_EQ(rows.size(), 4u) << summary.toStdString();
    EXPECT_EQ(rows[0].value(0), QString::fromUtf8("孔号"));
    // Folder order with the numbers read as numbers, not completion order.
    EXPECT_EQ(rows[1].value(0), "ZK2");
    EXPECT_EQ(rows[2].value(0), "ZK3");
    EXPECT_EQ(rows[3].value(0), "ZK10");
    EXPECT_EQ(rows[1].value(1), QString::fromUtf8("完成"));
    EXPECT_EQ(rows[2].value(1), QString::fromUtf8("失败"));
    EXPECT_EQ(rows[3].value(1), QString::fromUtf8("完成"));
    // Points, points without a suggestion, automatic picks; vse and Vs30
    // with one decimal, d0 with two.
    EXPECT_EQ(rows[1].mid(2, 3), QStringList({"12", "0", "12"}));
    EXPECT_EQ(rows[3].mid(2, 3), QStringList({"14", "0", "14"}));
    EXPECT_EQ(rows[2].value(2), QString());
    // One soft layer of 200 m/s down to 14 m and below.
    EXPECT_NEAR(rows[3].value(5).toDouble(), 200.0, 10.0);
    // d0: the overburden of the hole parameters (20 m), deeper than the hole.
    EXPECT_EQ(rows[3].value(6), "20.00");
    EXPECT_EQ(rows[3].value(7), "II");
    EXPECT_EQ(rows[3].value(9), "D");
    EXPECT_EQ(rows[3].value(5).section('.', 1).size(), 1);

    // The workbook beside it: the same rows, numbers as numbers with their decimals.
    const workbooktest::Sheet book = workbooktest::readSheet(out + "/summary.xlsx");
    ASSERT_TRUE(book.ok);
    EXPECT_EQ(book.cells.at("A1").text, QString::fromUtf8("孔号"));
    EXPECT_EQ(book.cells.at("A4").text, "ZK10");
    EXPECT_EQ(book.cells.at("B3").text, QString::fromUtf8("失败"));
    EXPECT_EQ(book.cells.at("C4").number, 14.0);
    EXPECT_EQ(book.cells.at("G4").number, 20.0);
    EXPECT_EQ(book.cells.at("G4").numberFormat, "0.00");
    EXPECT_EQ(book.cells.at("H4").text, "II");

    for (const QString &hole : {QStringLiteral("ZK2"), QStringLiteral("ZK10")}) {
        const QString base = out + "/" + hole + "/" + hole;
        for (const QString &suffix : QStringList{".qsw", "-waveforms.txt", "-points.xls", "-layers.xls", "-report.pdf",
                                                 "-波速直方图.bmp", "-原始波形图0.bmp"})
            EXPECT_TRUE(QFile::exists(base + suffix)) << (base + suffix).toStdString();
        const QByteArray review = readAll(out + "/" + hole + "/autopick.csv");
        EXPECT_EQ(review.count(QString::fromUtf8("已采用，待复核").toUtf8()), hole == "ZK2" ? 12 : 14);
    }
    // The stored survey has its points and the suggested layers.
    const auto info = cli({"info", out + "/ZK2/ZK2.qsw"});
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(info.out).contains(QString::fromUtf8("12 个测点，2 个速度分层")))
        << info.out.toStdString();
    EXPECT_FALSE(QFile::exists(out + "/ZK3/ZK3.qsw"));
    EXPECT_TRUE(readAll(out + "/ZK3/batch.log").contains("ZK3&1A.cwd"));
}

TEST_F(BatchCli, BadCommandLinesAreRefusedWithNothingWritten)
{
    makeHole("ZK1", "6", "0:6:200:500");
    const QStringList before = QDir(holes).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const std::vector<QStringList> refused{
        {"batch", holes, out, "--jobs", "0"},
        {"batch", holes, out, "--jobs", "65"},
        {"batch", holes, out, "--jobs", "two"},
        {"batch", holes, out, "--no-report", "--no-figures", "--rows", "0"},
        {"batch", holes, out, "--hole-depth", "20"},
        {"batch", holes, holes + "/out"},
        {"batch", holes, holes + "/ZK1/deeper"},
        {"batch", holes, holes},
        {"batch", holes, holes + "/../holes/."},
    };
    for (const QStringList &args : refused) {
        const auto r = cli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString() << r.err.toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_EQ(QDir(holes).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    EXPECT_EQ(QDir(holes + "/ZK1").entryList(QDir::Files).size(), 12);

    // A folder without holes is refused (1) before OUT is made.
    ASSERT_TRUE(QDir().mkpath(dir.filePath("empty")));
    EXPECT_EQ(cli({"batch", dir.filePath("empty"), out}).exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST_F(BatchCli, HoleNamesThatCannotNameFilesAreRefusedForThatHole)
{
    makeHole("ZK1", "6", "0:6:200:500");
    makeHole("a:b", "6", "0:6:200:500");
    const auto r = cli({"batch", holes, out, "--no-report", "--no-figures", "--jobs", "1"});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    const auto rows = csvRows(readAll(out + "/summary.csv"));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].mid(0, 3), QStringList({"ZK1", QString::fromUtf8("完成"), "6"}));
    EXPECT_EQ(rows[2].mid(0, 2), QStringList({"a:b", QString::fromUtf8("失败")}));
    EXPECT_FALSE(QFileInfo::exists(out + "/a:b"));
    EXPECT_TRUE(QFile::exists(out + "/ZK1/ZK1.qsw"));
    EXPECT_FALSE(QFile::exists(out + "/ZK1/ZK1-report.pdf"));
}

TEST_F(BatchCli, ANoisyHoleIsLeftForReviewNeverComplete)
{
    makeHole("ZK1", "8", "0:8:200:500");
    // S/N 1.5: many points get no suggestion good enough to apply.
    const auto made = clitest::run(
        QStringLiteral(SAMPLEGEN),
        {"--out", holes + "/ZK2", "--hole", "ZK2", "--depth", "8", "--model", "0:8:200:500", "--snr", "1.5"});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();

    const auto r = cli({"batch", holes, out, "--no-report", "--no-figures"});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    EXPECT_TRUE(QString::fromUtf8(r.out).contains(QString::fromUtf8("1 个完成，1 个待复核，0 个不完整，0 个失败")))
        << r.out.toStdString();

    const auto rows = csvRows(readAll(out + "/summary.csv"));
    ASSERT_EQ(rows.size(), 3u);
    const QStringList &heading = rows[0];
    const qsizetype picked = heading.indexOf(QString::fromUtf8("已拾取测点数"));
    ASSERT_GT(picked, 0);
    EXPECT_EQ(heading.mid(picked, 4),
              QStringList({QString::fromUtf8("已拾取测点数"), QString::fromUtf8("建议未采用"),
                           QString::fromUtf8("相关检查不一致"), QString::fromUtf8("不一致测点")}));
    EXPECT_EQ(rows[1].value(1), QString::fromUtf8("完成"));
    EXPECT_EQ(rows[1].mid(picked, 4), QStringList({"8", "0", "0", ""}));
    EXPECT_EQ(rows[2].value(1), QString::fromUtf8("待复核"));
    // Every point is either picked or counted as not picked, with the reason.
    const int notPicked = 8 - rows[2].value(picked).toInt();
    EXPECT_GT(notPicked, 0);
    EXPECT_EQ(rows[2].value(picked + 1).toInt() + rows[2].value(3).toInt(), notPicked);
    EXPECT_TRUE(rows[2].join(',').contains(QString::fromUtf8("%1 个测点没有初至").arg(notPicked)));

    // The hole's review list ends with the same counts and says per point
    // what the interval check found.
    const QString review = QString::fromUtf8(readAll(out + "/ZK2/autopick.csv"));
    EXPECT_TRUE(review.contains(QString::fromUtf8("测点 8 个，已拾取 %1 个").arg(8 - notPicked)))
        << review.toStdString();
    EXPECT_TRUE(review.contains(QString::fromUtf8("相关检查"))) << review.toStdString();
    EXPECT_TRUE(readAll(out + "/ZK2/batch.log").contains(QString::fromUtf8("孔 ZK2：待复核").toUtf8()));
}

TEST_F(BatchCli, SummarySiteFiguresLeaveOutUnpickedPointsAndCarryBounds)
{
    makeHole("ZK1", "12", "0:12:200:500");
    // Points 3 and 7 recorded with the same blow twice: no reversal, so no
    // suggestion and no pick.
    for (const char *depth : {"3", "7"}) {
        const QString a = QStringLiteral("%1/ZK1/ZK1&%2A.cwd").arg(holes, QString::fromLatin1(depth));
        const QString b = QStringLiteral("%1/ZK1/ZK1&%2B.cwd").arg(holes, QString::fromLatin1(depth));
        ASSERT_TRUE(QFile::remove(b));
        ASSERT_TRUE(QFile::copy(a, b));
    }
    makeHole("ZK2", "12", "0:12:200:500");
    cli({"batch", holes, out, "--no-report", "--no-figures", "--jobs", "1"});
    const auto rows = csvRows(readAll(out + "/summary.csv"));
    ASSERT_EQ(rows.size(), 3u);
    const QStringList &head = rows[0];
    const auto cell = [&head](const QStringList &row, const char *name) {
        const int c = int(head.indexOf(QString::fromUtf8(name)));
        EXPECT_GE(c, 0) << name;
        return row.value(c);
    };
    for (const QStringList &row : {rows[1], rows[2]}) {
        const double vse = cell(row, "vse(m/s)").toDouble();
        // One layer of 200 m/s: the picked points alone give it.
        EXPECT_NEAR(vse, 200.0, 5.0) << row.join(',').toStdString();
        EXPECT_LE(cell(row, "vse 16%(m/s)").toDouble(), vse);
        EXPECT_GE(cell(row, "vse 84%(m/s)").toDouble(), vse);
        const double vs30 = cell(row, "Vs30(m/s)").toDouble();
        EXPECT_LE(cell(row, "Vs30 16%(m/s)").toDouble(), vs30);
        EXPECT_GE(cell(row, "Vs30 84%(m/s)").toDouble(), vs30);
    }
    EXPECT_EQ(cell(rows[1], "未拾取未计入测点数"), "2");
    EXPECT_TRUE(cell(rows[1], "说明").contains(QString::fromUtf8("2 个测点未拾取初至，未计入")))
        << rows[1].join(',').toStdString();
    EXPECT_EQ(cell(rows[2], "未拾取未计入测点数"), "0");
}
