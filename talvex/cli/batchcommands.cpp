// talvex-cli batch: a folder of holes (one sub-folder of field records per
// hole) processed in one run. Every hole gets a new survey sized to its
// deepest record, the folder import, the automatic arrival suggestions
// (applied and flagged for review), recalculated velocities, suggested
// layers, the three exports and, unless switched off, the PDF report and the
// figures, all in OUT/<hole>/. OUT/summary.csv lists one row per hole,
// OUT/summary.xlsx holds the same table as a workbook.
//
// Holes run in parallel on a thread pool. Each hole has its own survey,
// messenger and soil pattern set; nothing the per-hole work calls touches
// process-wide state except the built-in pattern pictures (drawn once under
// std::call_once) and Qt's font database, which is set up on the main
// thread before the pool starts.

#include "common/datatable.h"
#include "common/fileio.h"
#include "common/messenger.h"
#include "talvex/analysis/autopick.h"
#include "talvex/analysis/ceditchanshudialogmodel.h"
#include "talvex/analysis/ceditdaodialogmodel.h"
#include "talvex/analysis/intervalcheck.h"
#include "talvex/analysis/layersuggest.h"
#include "talvex/analysis/pointvelocity.h"
#include "talvex/analysis/siteclass.h"
#include "talvex/analysis/siteuncertainty.h"
#include "talvex/analysis/sitevelocity.h"
#include "talvex/charts/soilpatterns.h"
#include "common/cli/command.h"
#include "talvex/cli/commands.h"
#include "talvex/report/figureexport.h"
#include "talvex/report/pdfreport.h"
#include "talvex/survey/exports.h"
#include "records/fieldrecord.h"
#include "talvex/survey/folderimport.h"
#include "talvex/survey/newsurvey.h"
#include "talvex/survey/surveyfile.h"
#include "talvex/settings/talvexsettings.h"
#include "talvex/survey/undosnapshot.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMutex>
#include <QPainter>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>
#include <memory>
#include <optional>

using namespace talvex;

namespace cli {

namespace {

// Quality an automatic pick needs to be applied (as autopick --apply).
constexpr double kBatchMinQuality = 0.5;
constexpr int kMaxJobs = 64;

// Done only when every point has an accepted arrival and the interval check
// flags none; Review otherwise. Incomplete and Failed are for records that
// could not be read or written and for holes that could not be processed.
enum class HoleStatus { Done, Review, Incomplete, Failed };

QString statusText(HoleStatus status)
{
    switch (status) {
    case HoleStatus::Done: return QStringLiteral("完成");
    case HoleStatus::Review: return QStringLiteral("待复核");
    case HoleStatus::Incomplete: return QStringLiteral("不完整");
    case HoleStatus::Failed: return QStringLiteral("失败");
    }
    return {};
}

struct BatchSettings {
    HoleParameters hole; // every hole's parameters but its number and depth
    PrintSettings print;
    int personnelLabel = 1;
    bool report = true;
    bool figures = true;
    QString programFolder;
};

struct HoleJob {
    QString name;
    QString input;
    QString output;

    HoleStatus status = HoleStatus::Done;
    QStringList notes; // what the engineer should know, in order
    int points = 0;
    int withoutSuggestion = 0;
    int autoPicks = 0; // applied automatically, not reviewed
    int picked = 0; // points with an S arrival at the end
    int notApplied = 0; // suggestions found but below the quality applied
    std::vector<int> flagged; // points (1-based) the interval check flags
    std::optional<SiteClassification> site;
};

// The path with every existing part resolved (links, "..") and the parts
// that do not exist yet appended as they are.
QString resolvedPath(const QString &path)
{
    QString rest;
    QFileInfo info(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    while (!info.exists() && !info.isRoot()) {
        rest = rest.isEmpty() ? info.fileName() : info.fileName() + QLatin1Char('/') + rest;
        const QString parent = info.path();
        if (parent == info.filePath())
            break;
        info = QFileInfo(parent);
    }
    QString base = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    if (rest.isEmpty())
        return base;
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return QDir::cleanPath(base + rest);
}

bool isSameOrInside(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

// Why a sub-folder's name cannot name the hole's output files (empty when
// it can): it must read back as the same bytes, hold no control or
// reserved characters, not start with "-" or a space, not end in a space
// or ".", not be a device name and stay short enough for the file names
// made from it.
QString holeNameProblem(const QString &name)
{
    if (name.isEmpty() || QFile::decodeName(QFile::encodeName(name)) != name || name.contains(QChar(0xFFFD)))
        return QStringLiteral("文件夹名不是有效的文字");
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || QStringLiteral("\\/:*?\"<>|").contains(c))
            return QStringLiteral("文件夹名含有不能用于文件名的字符");
    }
    if (name.startsWith(QLatin1Char('-')) || name.startsWith(QLatin1Char(' ')) || name.endsWith(QLatin1Char(' '))
        || name.endsWith(QLatin1Char('.')))
        return QStringLiteral("文件夹名不能以“-”或空格开头，不能以空格或“.”结尾");
    static const QStringList devices{QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                     QStringLiteral("NUL")};
    const QString stem = name.section(QLatin1Char('.'), 0, 0).toUpper();
    const bool numberedDevice = stem.size() == 4
        && (stem.startsWith(QStringLiteral("COM")) || stem.startsWith(QStringLiteral("LPT")))
        && stem[3] >= QLatin1Char('1') && stem[3] <= QLatin1Char('9');
    if (devices.contains(stem) || numberedDevice)
        return QStringLiteral("文件夹名是设备名，不能用作文件名");
    if (QFile::encodeName(name).size() > 100)
        return QStringLiteral("文件夹名太长（最多 100 字节）");
    return {};
}

// Folder order as an engineer reads it: digit runs compare as numbers
// ("ZK2" before "ZK10"), the rest by character, then the plain order.
bool holeOrder(const QString &a, const QString &b)
{
    const auto digit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            qsizetype ei = i;
            qsizetype ej = j;
            while (ei < a.size() && digit(a[ei]))
                ++ei;
            while (ej < b.size() && digit(b[ej]))
                ++ej;
            QString na = a.mid(i, ei - i);
            QString nb = b.mid(j, ej - j);
            while (na.size() > 1 && na.startsWith(QLatin1Char('0')))
                na.remove(0, 1);
            while (nb.size() > 1 && nb.startsWith(QLatin1Char('0')))
                nb.remove(0, 1);
            if (na.size() != nb.size())
                return na.size() < nb.size();
            if (na != nb)
                return na < nb;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j))
        return (a.size() - i) < (b.size() - j);
    return a < b;
}

// A message of several lines as one line for the summary and the progress
// line.
QString oneLine(const QString &text)
{
    QString line;
    for (const QString &part : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString piece = part.trimmed();
        if (piece.isEmpty())
            continue;
        if (!line.isEmpty() && !line.endsWith(QStringLiteral("！")) && !line.endsWith(QStringLiteral("：")))
            line += QStringLiteral("；");
        line += piece;
    }
    return line;
}

using common::csvText;

// What the interval check says of point `index`: 不一致 when a flagged pair
// names it, 一致 when a pair of it was compared, else 未比较.
QString intervalWord(const IntervalCheck &check, std::size_t index)
{
    if (index < check.flaggedPoints.size() && check.flaggedPoints[index])
        return QStringLiteral("不一致");
    for (const IntervalPair &pair : check.pairs) {
        if (pair.compared && (std::size_t(pair.upper) == index || std::size_t(pair.lower) == index))
            return QStringLiteral("一致");
    }
    return QStringLiteral("未比较");
}

QString pointList(const std::vector<int> &points, const QString &separator)
{
    QStringList numbers;
    for (const int point : points)
        numbers << QString::number(point);
    return numbers.join(separator);
}

// The counts that decide between 完成 and 待复核, as one line.
QString reviewCounts(const HoleJob &job)
{
    QString text = QStringLiteral("测点 %1 个，已拾取 %2 个，建议未采用 %3 个，相关检查不一致 %4 个")
                       .arg(job.points)
                       .arg(job.picked)
                       .arg(job.notApplied)
                       .arg(job.flagged.size());
    if (!job.flagged.empty())
        text += QStringLiteral("（测点 %1）").arg(pointList(job.flagged, QStringLiteral("、")));
    return text;
}

// The review list of the automatic picks: every point with its suggestion,
// what became of it and what the interval check says of it, then the
// counts of the hole.
QByteArray autoPickList(const SurveyData &survey, const std::vector<ArrivalSuggestion> &all,
                        const std::vector<bool> &applied, const IntervalCheck &check, const HoleJob &job)
{
    std::vector<QStringList> rows{{QStringLiteral("测点"), QStringLiteral("深度(米)"),
                                   QStringLiteral("建议初至(采样点)"), QStringLiteral("初至(ms)"),
                                   QStringLiteral("质量"), QStringLiteral("信噪比"), QStringLiteral("说明")}};
    rows.front() << QStringLiteral("相关检查");
    for (std::size_t i = 0; i < all.size() && i < survey.points.size(); ++i) {
        const ArrivalSuggestion &s = all[i];
        const TlvOne &p = survey.points[i];
        QStringList row{QString::number(i + 1), fixed(p.depth, 2)};
        if (s.found) {
            row << QString::number(s.sample)
                << fixed(CEditDaoDialogModel::arrivalMs(std::int16_t(s.sample), p.interval), 3)
                << QString::number(s.quality, 'f', 2) << QString::number(s.snr, 'f', 1)
                << (applied[i] ? QStringLiteral("已采用，待复核")
                               : QStringLiteral("质量低于 %1，未采用").arg(kBatchMinQuality, 0, 'f', 2));
        } else {
            row << QString() << QString() << QString() << QString::number(s.snr, 'f', 1) << s.reason;
        }
        row << intervalWord(check, i);
        rows.push_back(row);
    }
    rows.push_back({QStringLiteral("合计"), QString(), QString(), QString(), QString(), QString(), reviewCounts(job)});
    return csvText(rows);
}

void fail(HoleJob &job, const QString &why)
{
    job.status = HoleStatus::Failed;
    job.notes << why;
}

void incomplete(HoleJob &job, const QString &why)
{
    if (job.status == HoleStatus::Done || job.status == HoleStatus::Review)
        job.status = HoleStatus::Incomplete;
    job.notes << why;
}

void toReview(HoleJob &job, const QString &why)
{
    if (job.status == HoleStatus::Done)
        job.status = HoleStatus::Review;
    job.notes << why;
}

// The hole's own record of the run: the notes, then every message the
// survey code showed.
void writeHoleLog(HoleJob &job, const common::RecordingMessenger &messenger)
{
    QString text = QStringLiteral("孔 %1：%2\r\n").arg(job.name, statusText(job.status));
    for (const QString &note : job.notes)
        text += note + QStringLiteral("\r\n");
    if (!messenger.messages.isEmpty()) {
        text += QStringLiteral("\r\n程序的提示：\r\n");
        for (const QString &m : messenger.messages)
            text += QString(m).replace(QLatin1Char('\n'), QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    }
    const common::FileError e = common::writeFileAtomically(job.output + QStringLiteral("/batch.log"), text.toUtf8());
    if (!e.ok)
        job.notes << QStringLiteral("不能写出 batch.log：%1").arg(e.message);
}

void processHoleSteps(HoleJob &job, const BatchSettings &settings, common::RecordingMessenger &messenger)
{
    const RecordFolderIndex index(QFile::encodeName(job.input));
    if (index.size() == 0)
        return fail(job, QStringLiteral("没有数据文件（文件名应为“孔号&深度A.cwd”和“孔号&深度B.cwd”）"));
    const int deepest = index.deepestMetres(kMaxRecordCount);
    if (deepest == 0)
        return fail(job, QStringLiteral("数据文件名中没有大于 0 米的深度"));

    SurveyData survey;
    UndoSnapshot undo;
    CEditChanShuDialogModel model(survey, undo, messenger);
    HoleParameters parameters = settings.hole;
    if (!model.setText(parameters, HoleText::HoleNumber, job.name))
        job.notes << QStringLiteral("孔编号没有设为文件夹名");
    parameters.holeDepth = float(deepest);
    NewSurvey(survey, parameters);
    if (survey.points.empty())
        return fail(job, QStringLiteral("测孔深度 %1 米小于测点间隔，没有测点").arg(deepest));

    auto record = std::make_unique<FieldRecord>();
    const FolderImportResult imported = ImportFolder(survey, *record, index, 1, messenger);
    if (imported.filesTaken == 0)
        return fail(job, oneLine(messenger.last()));
    job.points = int(survey.points.size());
    if (!imported.unreadable.isEmpty())
        incomplete(job, QStringLiteral("%1 个数据文件不能读取").arg(imported.unreadable.size()));
    if (!imported.pointsWithoutRecord.empty())
        incomplete(job, QStringLiteral("%1 个测点没有数据文件").arg(imported.pointsWithoutRecord.size()));
    if (!imported.shortFiles.isEmpty())
        job.notes << QStringLiteral("%1 个数据文件不完整（缺少的采样点为 0）").arg(imported.shortFiles.size());

    const std::vector<ArrivalSuggestion> suggestions = SuggestArrivals(survey);
    std::vector<bool> applied(suggestions.size(), false);
    for (std::size_t i = 0; i < suggestions.size(); ++i) {
        applied[i] = ApplyArrivalSuggestion(survey, int(i), suggestions[i], kBatchMinQuality);
        job.autoPicks += applied[i] ? 1 : 0;
        job.withoutSuggestion += suggestions[i].found ? 0 : 1;
        job.notApplied += suggestions[i].found && !applied[i] ? 1 : 0;
    }
    RecalculateAllVelocities(survey);

    // The hole is complete only when every point has an arrival and the
    // waveforms confirm the picked interval times.
    const IntervalCheck intervals = CheckIntervals(survey, PickUncertaintiesMs(survey, suggestions));
    for (std::size_t i = 0; i < survey.points.size(); ++i) {
        job.picked += survey.points[i].sArrival > 0 ? 1 : 0;
        if (intervals.flaggedPoints[i])
            job.flagged.push_back(int(i + 1));
    }
    if (job.picked < job.points)
        toReview(job,
                 QStringLiteral("%1 个测点没有初至（建议未采用 %2 个，没有建议 %3 个）")
                     .arg(job.points - job.picked)
                     .arg(job.notApplied)
                     .arg(job.withoutSuggestion));
    if (!job.flagged.empty())
        toReview(job,
                 QStringLiteral("测点 %1 的拾取与波形相关的层间时间不一致")
                     .arg(pointList(job.flagged, QStringLiteral("、"))));

    const LayerSuggestion layers = SuggestLayers(survey);
    if (!layers.ok())
        job.notes << QStringLiteral("没有建议分层：") + layers.problem;
    else if (!AcceptLayerSuggestion(survey, layers, messenger))
        job.notes << QStringLiteral("建议分层没有采用");
    UpdateSiteVelocity(survey);

    const QString base = job.output + QLatin1Char('/') + job.name;
    const common::FileError stored = StoreSurvey(survey, base + QStringLiteral(".qsw"));
    if (!stored.ok)
        return fail(job, QStringLiteral("不能保存 %1.qsw：%2").arg(job.name, stored.message));
    const common::FileError list = common::writeFileAtomically(
        job.output + QStringLiteral("/autopick.csv"), autoPickList(survey, suggestions, applied, intervals, job));
    if (!list.ok)
        incomplete(job, QStringLiteral("不能写出 autopick.csv：%1").arg(list.message));

    using Export = common::FileError (*)(const SurveyData &, const QString &, QString *);
    const std::pair<Export, const char *> exports[]
        = {{ExportWaveforms, "-waveforms"}, {ExportPointTable, "-points"}, {ExportLayerTable, "-layers"}};
    for (const auto &[write, suffix] : exports) {
        QString written;
        const common::FileError e = write(survey, base + QString::fromLatin1(suffix), &written);
        if (!e.ok)
            incomplete(job, QStringLiteral("不能写出 %1：%2").arg(QFileInfo(written).fileName(), e.message));
    }

    // From the picked points only, with the bounds of their uncertainties.
    const SiteClassification site = ClassifySiteWithBounds(survey, suggestions);
    if (site.ok())
        job.site = site;
    else if (job.picked < job.points)
        // Too few picks: the hole waits for review of its arrivals, which
        // is what to do about it; its data are not incomplete.
        toReview(job, QStringLiteral("不能确定场地类别：") + site.problem);
    else
        incomplete(job, QStringLiteral("不能确定场地类别：") + site.problem);

    if (!settings.report && !settings.figures)
        return;
    charts::SoilPatternSet patterns(settings.programFolder, &messenger);
    report::ReportContext context{survey, settings.print, settings.personnelLabel, &patterns, {}};
    if (settings.report) {
        QString error;
        if (!report::WritePdfReport(base + QStringLiteral("-report.pdf"), context, &error))
            incomplete(job, QStringLiteral("没有写出成果报告：") + oneLine(error));
    }
    if (settings.figures && !report::figureList(base, context.settings, job.points).empty()) {
        const report::FigureExportResult figures = report::ExportFigures(base, context);
        if (!figures.failed.isEmpty())
            incomplete(job, QStringLiteral("%1 个图形文件不能写出").arg(figures.failed.size()));
    }
}

void processHole(HoleJob &job, const BatchSettings &settings)
{
    if (job.status == HoleStatus::Failed)
        return; // refused before the run (its name or place)
    if (!QDir().mkpath(job.output))
        return fail(job, QStringLiteral("不能建立输出文件夹 %1").arg(job.output));
    common::RecordingMessenger messenger;
    try {
        processHoleSteps(job, settings, messenger);
    } catch (const std::exception &e) {
        fail(job, QStringLiteral("处理中出错：%1").arg(QString::fromLocal8Bit(e.what())));
    }
    writeHoleLog(job, messenger);
}

// "，vse 240.0（239.5～240.6）m/s，场地类别 II 类，在误差范围内可能为 III 类，
// Vs30 …": the site figures of a hole with their 16...84 % bounds.
QString siteFiguresText(const SiteClassification &s)
{
    const auto range = [](const std::optional<SiteBounds> &b, ValueBounds SiteBounds::*member) {
        return b && ((*b).*member).known()
            ? QStringLiteral("（%1～%2）").arg(fixed(((*b).*member).low, 1), fixed(((*b).*member).high, 1))
            : QString();
    };
    return QStringLiteral("，vse %1%2 m/s，场地类别 %3，Vs30 %4%5 m/s")
        .arg(fixed(s.vse, 1), range(s.bounds, &SiteBounds::vse), categoryWithBounds(s), fixed(s.vs30, 1),
             range(s.bounds, &SiteBounds::vs30));
}

QString progressLine(const HoleJob &job)
{
    if (job.status == HoleStatus::Failed)
        return QStringLiteral("%1：失败：%2").arg(job.name, job.notes.join(QStringLiteral("；")));
    QString line = QStringLiteral("%1：%2 个测点，自动初至 %3 个（待复核），%4 个没有建议")
                       .arg(job.name)
                       .arg(job.points)
                       .arg(job.autoPicks)
                       .arg(job.withoutSuggestion);
    if (job.site)
        line += siteFiguresText(*job.site);
    if (!job.notes.isEmpty())
        line += QStringLiteral("；") + job.notes.join(QStringLiteral("；"));
    return line;
}

// The site figures' bounds, after the notes: 16 and 84 % of vse and Vs30,
// the classes other than the hole's that lie within them ("III", "C/D"),
// and the points the figures leave out for want of a pick.
const QStringList kSiteBoundColumns{QStringLiteral("vse 16%(m/s)"),         QStringLiteral("vse 84%(m/s)"),
                                    QStringLiteral("Vs30 16%(m/s)"),        QStringLiteral("Vs30 84%(m/s)"),
                                    QStringLiteral("误差内可能的场地类别"), QStringLiteral("误差内可能的 NEHRP"),
                                    QStringLiteral("误差内可能的 EC8"),     QStringLiteral("未拾取未计入测点数")};

QStringList siteBoundCells(const HoleJob &job)
{
    if (!job.site || !job.site->bounds)
        return QStringList(kSiteBoundColumns.size(), QString());
    const SiteClassification &s = *job.site;
    const SiteBounds &b = *s.bounds;
    const auto value
        = [](const ValueBounds &v, bool high) { return v.known() ? fixed(high ? v.high : v.low, 1) : QString(); };
    const auto names = [](const auto &classes, auto nameOf) {
        QStringList list;
        for (const auto c : classes)
            list << QString::fromLatin1(nameOf(c));
        return list.join(u'/');
    };
    return {value(b.vse, false),
            value(b.vse, true),
            value(b.vs30, false),
            value(b.vs30, true),
            names(b.otherCategories, siteCategoryName),
            names(b.otherNehrp, nehrpClassName),
            names(b.otherEc8, ec8GroundName),
            QString::number(s.unpickedPoints)};
}

std::vector<QStringList> summaryRows(const std::vector<HoleJob> &jobs)
{
    std::vector<QStringList> rows{{QStringLiteral("孔号"), QStringLiteral("状态"), QStringLiteral("测点数"),
                                   QStringLiteral("无建议测点数"), QStringLiteral("自动初至待复核"),
                                   QStringLiteral("vse(m/s)"), QStringLiteral("d0(m)"), QStringLiteral("场地类别"),
                                   QStringLiteral("Vs30(m/s)"), QStringLiteral("NEHRP"), QStringLiteral("EC8"),
                                   QStringLiteral("说明")}};
    // What decided between 完成 and 待复核, then the bounds of the site
    // figures, after the notes.
    rows.front() << QStringLiteral("已拾取测点数") << QStringLiteral("建议未采用") << QStringLiteral("相关检查不一致")
                 << QStringLiteral("不一致测点");
    rows.front() << kSiteBoundColumns;
    for (const HoleJob &job : jobs) {
        QStringList row{job.name, statusText(job.status)};
        if (job.status == HoleStatus::Failed) {
            row << QString() << QString() << QString();
        } else {
            row << QString::number(job.points) << QString::number(job.withoutSuggestion)
                << QString::number(job.autoPicks);
        }
        QStringList notes = job.notes;
        if (job.site) {
            const SiteClassification &s = *job.site;
            row << fixed(s.vse, 1) << fixed(s.d0, 2) << QString::fromLatin1(siteCategoryName(s.category))
                << fixed(s.vs30, 1) << QString::fromLatin1(nehrpClassName(s.nehrp))
                << QString::fromLatin1(ec8GroundName(s.ec8));
            if (s.vseExtrapolated)
                notes << QStringLiteral("vse 外推");
            if (s.vs30Extrapolated)
                notes << QStringLiteral("Vs30 外推");
            if (s.bounds && !s.bounds->otherCategories.empty())
                notes << QStringLiteral("场地类别 %1").arg(categoryWithBounds(s));
            notes << leftOutLines(s);
            if (s.bounds && s.bounds->excessScatterMs > 0.0f)
                notes << QStringLiteral("拾取走时离散约 %1 ms，大于拾取误差，误差范围可能偏窄")
                             .arg(fixed(s.bounds->excessScatterMs, 2));
        } else {
            row << QString() << QString() << QString() << QString() << QString() << QString();
        }
        row << notes.join(QStringLiteral("；"));
        if (job.status != HoleStatus::Failed)
            row << QString::number(job.picked) << QString::number(job.notApplied) << QString::number(job.flagged.size())
                << pointList(job.flagged, QStringLiteral(" "));
        else
            row << QString() << QString() << QString() << QString();
        row << siteBoundCells(job);
        rows.push_back(row);
    }
    return rows;
}

// The summary as a workbook: the same rows, the numbers as numbers.
common::DataTable summaryTable(const std::vector<QStringList> &rows)
{
    common::DataTable table;
    table.sheetName = QStringLiteral("汇总");
    table.headings = rows.front();
    for (std::size_t r = 1; r < rows.size(); ++r) {
        std::vector<common::TableCell> cells;
        // The hole's name is a name even when it is made of digits ("001").
        for (qsizetype c = 0; c < rows[r].size(); ++c)
            cells.push_back(c == 0 ? common::TableCell::ofText(rows[r][c]) : common::TableCell::fromText(rows[r][c]));
        table.rows.push_back(std::move(cells));
    }
    table.headerCenter = QStringLiteral("波速测试汇总表");
    return table;
}

// Qt's font database and the fallback fonts are set up once here, before
// any thread draws text.
void prepareFonts()
{
    QImage image(64, 32, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.drawText(QRectF(0, 0, 64, 32), QStringLiteral("波速 Vs 0.5"));
}

int runBatch(const Args &args)
{
    const QString folderWord = args.word(0, QStringLiteral("孔的文件夹 FOLDER"));
    const QString outWord = args.word(1, QStringLiteral("输出文件夹 OUT"));
    const int jobs = args.integerIn(QStringLiteral("jobs"), 1, kMaxJobs)
                         .value_or(std::clamp(QThread::idealThreadCount(), 1, kMaxJobs));
    for (const char *fixedByHole : {"hole", "hole-depth"}) {
        if (args.has(QString::fromLatin1(fixedByHole)))
            throw Failure(QStringLiteral("batch 中不能给 --%1：孔编号取文件夹名，测孔深度取最深的数据文件")
                              .arg(QString::fromLatin1(fixedByHole)),
                          kExitUsage);
    }

    const QFileInfo folderInfo(folderWord);
    if (!folderInfo.isDir())
        throw Failure(QStringLiteral("没有文件夹 %1").arg(folderWord));
    const QString folder = folderInfo.canonicalFilePath();
    const QString out = resolvedPath(outWord);
    if (isSameOrInside(out, folder))
        throw Failure(QStringLiteral("输出文件夹 %1 不能是孔的文件夹 %2 或在其中").arg(outWord, folderWord),
                      kExitUsage);
    if (QFileInfo::exists(out) && !QFileInfo(out).isDir())
        throw Failure(QStringLiteral("%1 不是文件夹").arg(outWord));

    BatchSettings settings;
    {
        common::RecordingMessenger quiet;
        SurveyData survey;
        UndoSnapshot undo;
        CEditChanShuDialogModel model(survey, undo, quiet);
        settings.hole = newSurveyDefaults(survey, QDate::currentDate());
        applyHoleOptions(args, settings.hole, model);
    }
    settings.report = !args.flag(QStringLiteral("no-report"));
    settings.figures = !args.flag(QStringLiteral("no-figures"));
    {
        // The page options are checked even when nothing is drawn.
        const TalvexSettings store;
        settings.print = pageSetup(args, store);
        settings.personnelLabel = store.personnelLabel();
        settings.programFolder = QCoreApplication::applicationDirPath();
    }

    QStringList names = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end(), holeOrder);
    if (names.isEmpty())
        throw Failure(
            QStringLiteral("文件夹 %1 中没有孔的子文件夹（每个孔一个子文件夹，放该孔的数据文件）").arg(folderWord));

    if (!QDir().mkpath(out))
        throw Failure(QStringLiteral("不能建立输出文件夹 %1").arg(outWord));

    std::vector<HoleJob> holes;
    for (const QString &name : names) {
        HoleJob job;
        job.name = name;
        job.input = folder + QLatin1Char('/') + name;
        job.output = out + QLatin1Char('/') + name;
        const QString problem = holeNameProblem(name);
        if (!problem.isEmpty())
            fail(job, problem);
        else if (isSameOrInside(folder, resolvedPath(job.output)))
            fail(job, QStringLiteral("输出文件夹 %1 是孔的文件夹或包含它").arg(job.output));
        holes.push_back(std::move(job));
    }

    if ((settings.report || settings.figures) && qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        prepareFonts();
    else
        settings.report = settings.figures = false;

    QMutex printing;
    int finished = 0;
    const int total = int(holes.size());
    QThreadPool pool;
    pool.setMaxThreadCount(jobs);
    QtConcurrent::blockingMap(&pool, holes, [&](HoleJob &job) {
        processHole(job, settings);
        const QString line = progressLine(job);
        const QMutexLocker lock(&printing);
        ++finished;
        printLine(QStringLiteral("[%1/%2] %3").arg(finished).arg(total).arg(line));
        std::fflush(stdout);
    });

    const QString summary = out + QStringLiteral("/summary.csv");
    const std::vector<QStringList> rows = summaryRows(holes);
    const common::FileError e = common::writeFileAtomically(summary, csvText(rows));
    if (!e.ok)
        throw Failure(QStringLiteral("不能写出汇总表 %1：%2").arg(summary, e.message));
    // The same table as a workbook beside it.
    const QString workbook = out + QStringLiteral("/summary.xlsx");
    const common::FileError w = common::writeWorkbook(workbook, {summaryTable(rows)});
    if (!w.ok)
        throw Failure(QStringLiteral("不能写出汇总表 %1：%2").arg(workbook, w.message));

    int counts[4] = {0, 0, 0, 0};
    for (const HoleJob &job : holes)
        ++counts[int(job.status)];
    printLine(QStringLiteral("已处理 %1 个孔：%2 个完成，%3 个待复核，%4 个不完整，%5 个失败；汇总表 %6")
                  .arg(total)
                  .arg(counts[int(HoleStatus::Done)])
                  .arg(counts[int(HoleStatus::Review)])
                  .arg(counts[int(HoleStatus::Incomplete)])
                  .arg(counts[int(HoleStatus::Failed)])
                  .arg(summary));
    return counts[int(HoleStatus::Done)] < total ? kExitRefused : 0;
}

} // namespace

void addBatchCommands(std::vector<Command> &commands)
{
    std::vector<OptionSpec> options{
        {QStringLiteral("jobs"), QStringLiteral("N"),
         QStringLiteral("同时处理的孔数，1～%1（默认本机的处理器数）").arg(kMaxJobs)},
        {QStringLiteral("no-report"), QString(), QStringLiteral("不写 PDF 成果报告")},
        {QStringLiteral("no-figures"), QString(), QStringLiteral("不写 BMP 图形文件")},
    };
    for (OptionSpec &o : holeOptions(true))
        options.push_back(std::move(o));
    for (OptionSpec &o : pageOptions())
        options.push_back(std::move(o));
    commands.push_back(
        {QStringLiteral("batch"),
         QStringLiteral("batch FOLDER OUT [--jobs N] [--no-report] [--no-figures] [测孔参数选项] [页面设置选项]"),
         QStringLiteral(
             "批量处理：FOLDER 中每个子文件夹是一个孔的数据文件，逐孔建立测试、导入、自动初至、分层、导出和报告"),
         QStringLiteral(
             "每个孔：按最深的数据文件建立新测试（孔编号取文件夹名），导入数据文件，采用质量不低于 %1 的自动初至\n"
             "（标为待复核，列在 OUT/孔号/autopick.csv），重新计算波速，采用建议分层，写出 孔号.qsw、\n"
             "三个导出文件、PDF 成果报告和 BMP 图形，都放在 OUT/孔号/ 中；处理经过记在 OUT/孔号/batch.log。\n"
             "最后写出 OUT/summary.csv（UTF-8，带 BOM），每孔一行，按文件夹顺序；同一表格的 Excel 工作簿为 "
             "OUT/summary.xlsx。\n"
             "每个测点都有初至、且相邻测点拾取的层间时间与波形互相关的一致（见 intervals）的孔才算完成；\n"
             "否则为待复核，汇总表和 autopick.csv 列出测点数、已拾取、建议未采用和不一致的测点。\n"
             "测孔参数选项对每个孔都有效（--hole 和 --hole-depth 除外）；页面设置选项（同 "
             "report）只用于这次的报告和图形。\n"
             "退出状态：所有孔都完成为 0；有孔待复核、不完整或失败为 1（其余孔照常处理）。")
             .arg(kBatchMinQuality, 0, 'f', 1),
         options, 2, 2, runBatch, /*needsGui=*/true});
}

} // namespace cli
