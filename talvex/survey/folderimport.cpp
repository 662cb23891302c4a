#include "talvex/survey/folderimport.h"

#include "common/messenger.h"
#include "common/numberformat.h"
#include "talvex/survey/recordtraces.h"
#include "talvex/survey/surveydata.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace talvex {

namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// The key of a record file name ("ZK1&12A.cwd" -> "12a"), or empty when the
// name does not end in "&", a whole number, "A" or "B" and one of the record
// extensions: ".cwd", or ".dat" and ".sg2" as seismographs name SEG-2 files.
std::string keyOf(const QString &name)
{
    const qsizetype size = name.size();
    if (size < 7)
        return {};
    const auto at = [&name](qsizetype i) {
        const char16_t c = name.at(i).unicode();
        return c < 128 ? lowerAscii(char(c)) : '\0';
    };
    const auto endsWith = [&at, size](const char *suffix) {
        for (qsizetype i = 0; i < 4; ++i) {
            if (at(size - 4 + i) != suffix[i])
                return false;
        }
        return true;
    };
    if (!endsWith(".cwd") && !endsWith(".dat") && !endsWith(".sg2"))
        return {};
    const char blow = at(size - 5);
    if (blow != 'a' && blow != 'b')
        return {};
    const qsizetype end = size - 5; // one past the digits
    qsizetype start = end;
    while (start > 0 && at(start - 1) >= '0' && at(start - 1) <= '9')
        --start;
    if (start == end)
        return {};
    // A minus sign belongs to the number ("&-1A.cwd" is the pattern for -1 m).
    if (start > 0 && at(start - 1) == '-')
        --start;
    if (start == 0 || at(start - 1) != '&')
        return {};
    return name.mid(start, end - start).toStdString() + blow;
}

// The key of a name's bytes: the name decoded as UTF-8 when it is valid
// UTF-8, otherwise as GBK (names copied from the instrument's PC).
std::string keyOfNative(const QByteArray &name)
{
    return keyOf(shownFileName(name));
}

// "第16～20点（16～20米）" for runs of consecutive point numbers.
QString pointRuns(const SurveyData &survey, const std::vector<int> &points)
{
    QStringList runs;
    const auto depth = [&survey](int k) {
        return QString::fromStdString(common::formatShortest(survey.points[std::size_t(k - 1)].depth));
    };
    for (std::size_t i = 0; i < points.size();) {
        std::size_t j = i;
        while (j + 1 < points.size() && points[j + 1] == points[j] + 1)
            ++j;
        if (i == j)
            runs << QString::fromUtf8("第%1点（%2米）").arg(points[i]).arg(depth(points[i]));
        else
            runs << QString::fromUtf8("第%1～%2点（%3～%4米）")
                        .arg(points[i])
                        .arg(points[j])
                        .arg(depth(points[i]), depth(points[j]));
        i = j + 1;
    }
    return runs.join(QString::fromUtf8("、"));
}

// At most `most` lines of a list, then how many more there are.
QString someLines(const QStringList &lines, int most = 10)
{
    QStringList shown = lines.mid(0, most);
    if (lines.size() > most)
        shown << QString::fromUtf8("……另有%1个").arg(lines.size() - most);
    return shown.join(QLatin1Char('\n'));
}

QString resultMessage(const SurveyData &survey, const FolderImportResult &r, bool automatic)
{
    QString text;
    if (r.cancelled)
        text = QString::fromUtf8("导入已取消，已成功导入数据文件%1个").arg(r.filesTaken);
    else if (r.filesTaken > 0)
        text = QString::fromUtf8("共成功导入数据文件%1个").arg(r.filesTaken);
    else if (r.filesFound > 0)
        text = QString::fromUtf8("找到相应文件%1个，但都不能读取！").arg(r.filesFound);
    else
        return QString::fromUtf8("未找到相应文件！\n请确认该目录下的文件或查看文件命名规范！");
    if (!r.unreadable.isEmpty())
        text += QString::fromUtf8("\n不能读取的文件%1个：\n").arg(r.unreadable.size()) + someLines(r.unreadable);
    if (!r.shortFiles.isEmpty())
        text += QString::fromUtf8("\n数据不完整的文件%1个（文件比其文件头所记的短，缺少的采样点为0）：\n")
                    .arg(r.shortFiles.size())
            + someLines(r.shortFiles);
    if (!r.pointsWithoutRecord.empty())
        text += QString::fromUtf8("\n没有导入任何数据文件的测点：") + pointRuns(survey, r.pointsWithoutRecord);
    if (automatic) {
        std::map<int, int> counts;
        for (const int c : r.pointChannels) {
            if (c > 0)
                ++counts[c];
        }
        QStringList parts;
        for (const auto &[channel, points] : counts)
            parts << QString::fromUtf8("通道%1 %2个测点").arg(channel).arg(points);
        if (!parts.isEmpty())
            text += QString::fromUtf8("\n按剪切波信噪比自动选择的通道：") + parts.join(QString::fromUtf8("，"));
    }
    return text;
}

// The largest swing of `d` after the lead-in over its RMS in the lead-in
// (both about the lead-in's mean). The lead-in ends a quarter before the
// first sample that reaches half the largest swing (the wave's first rise
// comes before that), and holds at least kShearLeadIn samples: noise of low
// frequency needs a long stretch for its level to show. Its RMS is taken as
// at least half a count, the resolution of a half difference, so that a
// channel whose lead-in is digitally silent does not win on a single count.
double leadInRatio(const std::vector<double> &d)
{
    const int n = int(d.size());
    const auto meanOf = [&d](int to) {
        double sum = 0.0;
        for (int i = 0; i < to; ++i)
            sum += d[std::size_t(i)];
        return to > 0 ? sum / to : 0.0;
    };
    int lead = std::min(kShearLeadIn, n / 2);
    if (lead < 2)
        return 0.0;
    double mean = meanOf(lead);
    double swing = 0.0;
    for (int i = 0; i < n; ++i)
        swing = std::max(swing, std::abs(d[std::size_t(i)] - mean));
    int crossing = 0;
    while (crossing < n && std::abs(d[std::size_t(crossing)] - mean) < 0.5 * swing)
        ++crossing;
    lead = std::clamp(crossing * 3 / 4, lead, n / 2);
    mean = meanOf(lead);
    double power = 0.0;
    for (int i = 0; i < lead; ++i)
        power += (d[std::size_t(i)] - mean) * (d[std::size_t(i)] - mean);
    const double rms = std::max(0.5, std::sqrt(power / lead));
    double peak = 0.0;
    for (int i = lead; i < n; ++i)
        peak = std::max(peak, std::abs(d[std::size_t(i)] - mean));
    return peak / rms;
}

} // namespace

RecordFolderIndex::RecordFolderIndex(const QString &folder) : m_folder(QFile::encodeName(folder))
{
    list();
}

RecordFolderIndex::RecordFolderIndex(const QByteArray &nativeFolder) : m_folder(nativeFolder)
{
    list();
}

void RecordFolderIndex::list()
{
    const auto add = [this](const std::string &name) {
        const std::string key = keyOfNative(QByteArray::fromStdString(name));
        if (key.empty())
            return false;
        auto [it, inserted] = m_files.emplace(key, name);
        if (!inserted && name < it->second)
            it->second = name;
        return true;
    };
#ifdef Q_OS_UNIX
    // Listed by the names' bytes: QDir would drop names that are not valid in
    // the system's encoding.
    DIR *dir = ::opendir(m_folder.isEmpty() ? "." : m_folder.constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (keyOfNative(QByteArray::fromStdString(name)).empty())
            continue;
        // Regular files only: a pipe or device with a record's name would
        // block or feed the import endlessly.
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode))
            continue;
        add(name);
    }
    ::closedir(dir);
#else
    const QStringList names = QDir(QFile::decodeName(m_folder)).entryList(QDir::Files | QDir::Hidden, QDir::NoSort);
    for (const QString &name : names)
        add(QFile::encodeName(name).toStdString());
#endif
}

RecordFile RecordFolderIndex::find(int metres, char blow) const
{
    const auto it = m_files.find(std::to_string(metres) + lowerAscii(blow));
    if (it == m_files.end())
        return {};
    const QByteArray name = QByteArray::fromStdString(it->second);
    QByteArray path = m_folder;
    if (!path.isEmpty() && !path.endsWith('/'))
        path += '/';
    return {path + name, shownFileName(name)};
}

int RecordFolderIndex::deepestMetres(int limit) const
{
    int deepest = 0;
    for (const auto &entry : m_files) {
        // Keys are the depth digits and the blow letter; only the digits
        // `find` asks for (no leading zeros) count.
        const std::string digits = entry.first.substr(0, entry.first.size() - 1);
        if (digits.empty() || digits.size() > 9 || (digits.size() > 1 && digits[0] == '0'))
            continue;
        const int metres = std::stoi(digits);
        if (metres <= limit && metres > deepest)
            deepest = metres;
    }
    return deepest;
}

int StrongestShearChannel(const FieldRecord *positive, const FieldRecord *negative)
{
    int channels = kRecordChannels;
    if (!positive && !negative)
        return 1;
    for (const FieldRecord *r : {positive, negative}) {
        if (r)
            channels = std::min(channels, r->channelsRead);
    }
    int best = 1;
    double bestRatio = -1.0;
    std::vector<double> d(static_cast<std::size_t>(kTraceLength));
    for (int c = 0; c < channels; ++c) {
        for (int i = 0; i < kTraceLength; ++i) {
            const double a = positive ? positive->channels[std::size_t(c)][std::size_t(i)] : 0.0;
            const double b = negative ? negative->channels[std::size_t(c)][std::size_t(i)] : 0.0;
            d[std::size_t(i)] = positive && negative ? 0.5 * (a - b) : a + b;
        }
        const double ratio = leadInRatio(d);
        if (ratio > bestRatio) {
            bestRatio = ratio;
            best = c + 1;
        }
    }
    return best;
}

FolderImportResult ImportFolder(SurveyData &survey, FieldRecord &record, const QString &folder, int channel,
                                common::Messenger &messenger, const FolderImportProgress &progress)
{
    return ImportFolder(survey, record, RecordFolderIndex(folder), channel, messenger, progress);
}

FolderImportResult ImportFolder(SurveyData &survey, FieldRecord &record, const RecordFolderIndex &index, int channel,
                                common::Messenger &messenger, const FolderImportProgress &progress)
{
    // The files of every point first, so that the progress knows the total.
    struct PointFiles {
        int point = 0; // 1-based
        RecordFile positive;
        RecordFile negative;
    };
    std::vector<PointFiles> plan;
    FolderImportResult result;
    for (std::size_t i = 0; i < survey.points.size(); ++i) {
        const float depth = survey.points[i].depth;
        // Depths that no file name can carry match nothing.
        if (!(std::fabs(depth) < 2147483648.0f))
            continue;
        const int metres = int(depth);
        PointFiles files{int(i) + 1, index.find(metres, 'A'), index.find(metres, 'B')};
        const int count = int(!files.positive.nativePath.isEmpty()) + int(!files.negative.nativePath.isEmpty());
        if (count == 0)
            continue;
        result.filesFound += count;
        plan.push_back(std::move(files));
    }

    std::vector<bool> reached(survey.points.size(), false);
    result.pointChannels.assign(survey.points.size(), 0);
    // Two buffers, so that a point's records are both read before either is
    // copied into it.
    auto positive = std::make_unique<FieldRecord>();
    auto negative = std::make_unique<FieldRecord>();
    // The last record copied into a point; it ends in the import buffer, as
    // after a single import. Buffers are swapped, not copied.
    std::unique_ptr<FieldRecord> last;
    int done = 0;
    for (const PointFiles &files : plan) {
        bool taken[2] = {false, false};
        for (int blow = 0; blow < 2 && !result.cancelled; ++blow) {
            const RecordFile &file = blow == 0 ? files.positive : files.negative;
            if (file.nativePath.isEmpty())
                continue;
            if (progress && !progress(done, result.filesFound)) {
                result.cancelled = true;
                break;
            }
            FieldRecord &buffer = blow == 0 ? *positive : *negative;
            QString error;
            if (LoadFieldRecord(file.nativePath, file.shownName, buffer, &error)) {
                taken[blow] = true;
                if (buffer.shortFile)
                    result.shortFiles << file.shownName;
            } else {
                result.unreadable << error;
            }
            ++done;
        }
        if (result.cancelled)
            break; // the records read for this point are dropped with it
        const int pointChannel = channel != kAutomaticChannel
            ? channel
            : StrongestShearChannel(taken[0] ? positive.get() : nullptr, taken[1] ? negative.get() : nullptr);
        if (taken[0] || taken[1])
            result.pointChannels[std::size_t(files.point - 1)] = pointChannel;
        for (int blow = 0; blow < 2; ++blow) {
            if (!taken[blow])
                continue;
            std::unique_ptr<FieldRecord> &slot = blow == 0 ? positive : negative;
            FieldRecord &buffer = *slot;
            ++result.filesTaken;
            result.currentPoint = files.point;
            result.selectedChannel = pointChannel;
            buffer.selectedChannel = pointChannel;
            if (blow == 0)
                SetPositiveTrace(survey, buffer, files.point, pointChannel);
            else
                SetNegativeTrace(survey, buffer, files.point, pointChannel);
            reached[std::size_t(files.point - 1)] = true;
            if (!last)
                last = std::make_unique<FieldRecord>();
            std::swap(last, slot);
        }
    }
    if (last)
        record = *last;
    if (progress && !result.cancelled)
        progress(result.filesFound, result.filesFound);

    if (!result.cancelled && result.filesTaken > 0) {
        for (std::size_t i = 0; i < reached.size(); ++i) {
            if (!reached[i])
                result.pointsWithoutRecord.push_back(int(i) + 1);
        }
    }
    const bool complete = result.unreadable.isEmpty() && result.shortFiles.isEmpty()
        && result.pointsWithoutRecord.empty() && result.filesTaken > 0 && !result.cancelled;
    messenger.show(resultMessage(survey, result, channel == kAutomaticChannel),
                   complete ? common::MessageKind::Information : common::MessageKind::Warning);
    return result;
}

} // namespace talvex
