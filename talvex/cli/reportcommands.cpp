// talvex-cli figures, report and pages: the printed report of a survey as
// bitmap figures, as a PDF file, and its page plan. The page setup is the
// one the window keeps; options change it for one run and are not stored.
// Drawing the heading table computes the site velocity, which stays in
// memory: the survey file is not written.

#include "common/messenger.h"
#include "talvex/charts/soilpatterns.h"
#include "common/cli/command.h"
#include "talvex/cli/commands.h"
#include "talvex/report/figureexport.h"
#include "talvex/report/pdfreport.h"
#include "talvex/report/reportpages.h"
#include "talvex/survey/surveydata.h"
#include "talvex/settings/talvexsettings.h"

#include <QCoreApplication>

using namespace talvex;

namespace cli {

namespace {

struct Job {
    common::ConsoleMessenger messenger;
    SurveyData survey;
    charts::SoilPatternSet patterns{QCoreApplication::applicationDirPath(), &messenger};
    report::ReportContext context{survey, PrintSettings(), 1, &patterns, {}};
};

// Checks the options, then reads the survey.
void prepare(Job &job, const Args &args)
{
    const TalvexSettings store;
    job.context.settings = pageSetup(args, store);
    job.context.personnelLabel = store.personnelLabel();
    loadSurveyOrFail(job.survey, args.word(0, QStringLiteral("测试文件 FILE.qsw")), job.messenger);
}

int runFigures(const Args &args)
{
    const QString base = args.word(1, QStringLiteral("图形文件名 BASE"));
    Job job;
    prepare(job, args);
    const auto figures = report::figureList(base, job.context.settings, int(job.survey.points.size()));
    if (figures.empty())
        throw Failure(QStringLiteral("没有要输出的图形：页面设置中没有选择波速直方图、时距深度表或原始波形图"));
    const report::FigureExportResult result = report::ExportFigures(base, job.context);
    for (const QString &path : result.written)
        printLine(QStringLiteral("已写出 %1").arg(path));
    if (!result.failed.isEmpty()) {
        QString text = QStringLiteral("以下 %1 个图形文件不能写出：").arg(result.failed.size());
        for (int i = 0; i < result.failed.size(); ++i)
            text += QStringLiteral("\n  %1：%2").arg(result.failed[i], result.reasons[i]);
        throw Failure(text);
    }
    return 0;
}

int runReport(const Args &args)
{
    const QString out = args.word(1, QStringLiteral("输出文件 OUT.pdf"));
    if (!out.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        throw Failure(QStringLiteral("输出文件的名称应以 .pdf 结尾：%1").arg(out), kExitUsage);
    Job job;
    prepare(job, args);
    QString error;
    if (!report::WritePdfReport(out, job.context, &error))
        throw Failure(error);
    const auto pages = report::reportPages(job.context.settings, int(job.survey.points.size()));
    printLine(QStringLiteral("已写出 %1（%2 页）").arg(out).arg(pages.size()));
    return 0;
}

int runPages(const Args &args)
{
    Job job;
    prepare(job, args);
    const PrintSettings &s = job.context.settings;
    const int count = int(job.survey.points.size());
    const auto pages = report::reportPages(s, count);
    printLine(QString::number(pages.size()));
    const int perPage = s.rowsPerPage * s.columnsPerPage;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        QString line = QStringLiteral("%1 %2 %3")
                           .arg(i + 1)
                           .arg(report::pageKindKey(pages[i].kind), report::pageName(pages[i].kind));
        if (pages[i].kind == report::PageKind::Waveforms) {
            const int first = pages[i].waveformPage * perPage + 1;
            line += QStringLiteral(" %1-%2").arg(first).arg(std::min(count, first + perPage - 1));
        }
        printLine(line);
    }
    return 0;
}

} // namespace

std::vector<OptionSpec> pageOptions()
{
    return {
        {QStringLiteral("no-waveforms"), QString(), QStringLiteral("不输出原始波形图")},
        {QStringLiteral("no-table"), QString(), QStringLiteral("不输出时距深度表")},
        {QStringLiteral("no-velocity"), QString(), QStringLiteral("不输出波速直方图和时距曲线图")},
        {QStringLiteral("no-site-class"), QString(), QStringLiteral("表头不列场地类别和 Vs30")},
        {QStringLiteral("rows"), QStringLiteral("R"), QStringLiteral("每页波形行数 1～50")},
        {QStringLiteral("columns"), QStringLiteral("C"), QStringLiteral("每页波形列数 1～3")},
        {QStringLiteral("footer-style"), QStringLiteral("S"),
         QStringLiteral("页脚：0 “1.”，1 “.1.”，2 “-1-”，3 “第1页”，4 审核人签字行")},
        {QStringLiteral("first-page"), QStringLiteral("N"), QStringLiteral("起始页码 0～10000")},
        {QStringLiteral("header"), QStringLiteral("TEXT"), QStringLiteral("页眉标注（各页再加页名）")},
    };
}

// The stored page setup with the options of this run applied (a value
// outside the page setup's range is a usage error, exit status 2).
PrintSettings pageSetup(const Args &args, const TalvexSettings &store)
{
    PrintSettings s = store.printSettings();
    if (args.flag(QStringLiteral("no-waveforms")))
        s.printWaveforms = 0;
    if (args.flag(QStringLiteral("no-table")))
        s.printTable = 0;
    if (args.flag(QStringLiteral("no-velocity")))
        s.printVelocity = 0;
    if (args.flag(QStringLiteral("no-site-class")))
        s.printSiteClass = 0;
    s.rowsPerPage = args.integerIn(QStringLiteral("rows"), kRowsPerPageRange.minimum, kRowsPerPageRange.maximum)
                        .value_or(s.rowsPerPage);
    s.columnsPerPage
        = args.integerIn(QStringLiteral("columns"), kColumnsPerPageRange.minimum, kColumnsPerPageRange.maximum)
              .value_or(s.columnsPerPage);
    s.footerStyle = args.integerIn(QStringLiteral("footer-style"), kFooterStyleRange.minimum, kFooterStyleRange.maximum)
                        .value_or(s.footerStyle);
    s.firstPageNumber
        = args.integerIn(QStringLiteral("first-page"), kFirstPageNumberRange.minimum, kFirstPageNumberRange.maximum)
              .value_or(s.firstPageNumber);
    if (const auto header = args.text(QStringLiteral("header")))
        s.headerText = *header;
    return s;
}

void addReportCommands(std::vector<Command> &commands)
{
    const QString overrides
        = QStringLiteral("页面设置取自程序保存的设置（与窗口的“页面设置”相同）；选项只对本次有效，不会保存。\n"
                         "不改动测试文件（等效波速只在本次计算）。");
    commands.push_back(
        {QStringLiteral("figures"), QStringLiteral("figures FILE.qsw BASE [页面选项]"),
         QStringLiteral("把成果报告输出为 BMP 图形文件（646 × 925，16 位）"),
         QStringLiteral("文件名为 BASE 加上“-波速直方图.bmp”、“-时距曲线图.bmp”、“-时距波速综合曲线图.bmp”、"
                        "“-时距深度表.bmp”和“-原始波形图0.bmp”…\n")
             + overrides,
         pageOptions(), 2, 2, runFigures, /*needsGui=*/true});
    commands.push_back({QStringLiteral("report"), QStringLiteral("report FILE.qsw OUT.pdf [页面选项]"),
                        QStringLiteral("把打印的成果报告写成 PDF 文件（A4）"), overrides, pageOptions(), 2, 2,
                        runReport, /*needsGui=*/true});
    commands.push_back({QStringLiteral("pages"), QStringLiteral("pages FILE.qsw [页面选项]"),
                        QStringLiteral("列出打印报告的页：先是页数，再每页一行（页码、种类、页名）"), overrides,
                        pageOptions(), 1, 1, runPages});
}

} // namespace cli
