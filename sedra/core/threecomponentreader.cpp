#include "sedra/core/threecomponentreader.h"

#include "records/mseedrecord.h"
#include "records/sacrecord.h"
#include "records/seg2record.h"
#include "sedra/core/sedrarecord.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimeZone>
#include <algorithm>
#include <cmath>
#include <span>

namespace sedra {

namespace {

// Larger files are no microtremor recording (an hour of three components at
// 1000 Hz in 64-bit text is well below this).
constexpr qint64 kMaxFileBytes = qint64(1) << 30;

// One component as a file gives it, before the three are put together.
struct Piece {
    QString file; // shown name
    QString label; // "HHZ", "第2道", "第3列": which part of the file
    std::optional<Component> component; // where the file says it
    QString orientationProblem; // the file names an orientation that is not N, E or Z
    bool negate = false; // the sensor points south, west or down
    double interval = 0.0; // s
    std::optional<qint64> startMicros;
    std::vector<double> samples;
    QString network, station, location;
};

QString shown(const Piece &p)
{
    return p.label.isEmpty() ? p.file : QStringLiteral("%1（%2）").arg(p.file, p.label);
}

QString fileReason(const QString &file, const QString &why)
{
    return QString::fromUtf8("文件 %1 不能使用：%2").arg(file, why);
}

std::optional<qint64> micros(const std::optional<QDateTime> &t)
{
    if (!t || !t->isValid())
        return std::nullopt;
    return t->toMSecsSinceEpoch() * 1000;
}

// The component a code names by its last letter; "1", "2" and the like
// name an orientation the code alone does not tell.
std::optional<Component> componentOfCode(const QString &code, bool *unknown)
{
    *unknown = false;
    if (code.isEmpty())
        return std::nullopt;
    switch (code.back().toUpper().unicode()) {
    case 'N': return Component::North;
    case 'E': return Component::East;
    case 'Z': return Component::Vertical;
    default: *unknown = true; return std::nullopt;
    }
}

QString readSac(const QString &file, std::span<const std::uint8_t> bytes, std::vector<Piece> &pieces)
{
    talvex::SacTrace trace;
    if (QString why = talvex::parseSacTrace(bytes, trace); !why.isEmpty())
        return fileReason(file, why);
    Piece p;
    p.file = file;
    p.interval = trace.delta;
    p.startMicros = micros(trace.start);
    p.network = trace.network;
    p.station = trace.station;
    p.location = trace.location;
    if (trace.incidence && trace.azimuth) {
        // Angles where set: incidence 0 is up, 90 horizontal; azimuth
        // clockwise from north.
        const double inc = *trace.incidence;
        const double az = std::fmod(std::fmod(*trace.azimuth, 360.0) + 360.0, 360.0);
        const auto near = [](double a, double b) { return std::fabs(a - b) < 0.5; };
        if (near(inc, 0.0) || near(inc, 180.0)) {
            p.component = Component::Vertical;
            p.negate = near(inc, 180.0);
        } else if (near(inc, 90.0) && (near(az, 0.0) || near(az, 360.0) || near(az, 180.0))) {
            p.component = Component::North;
            p.negate = near(az, 180.0);
        } else if (near(inc, 90.0) && (near(az, 90.0) || near(az, 270.0))) {
            p.component = Component::East;
            p.negate = near(az, 270.0);
        } else {
            p.orientationProblem = QString::fromUtf8("分量方向未知（CMPAZ %1°，CMPINC %2°，不是北、东或竖直）")
                                       .arg(*trace.azimuth)
                                       .arg(*trace.incidence);
        }
    } else if (!trace.component.isEmpty()) {
        bool unknown = false;
        p.component = componentOfCode(trace.component, &unknown);
        if (unknown)
            p.orientationProblem
                = QString::fromUtf8("分量方向未知（KCMPNM 为“%1”，没有 CMPAZ/CMPINC）").arg(trace.component);
    }
    p.label = trace.component;
    p.samples = std::move(trace.samples);
    pieces.push_back(std::move(p));
    return {};
}

QString readMseed(const QString &file, std::span<const std::uint8_t> bytes, std::vector<Piece> &pieces)
{
    std::vector<talvex::MseedTrace> traces;
    if (QString why = talvex::parseMseed(bytes, traces); !why.isEmpty())
        return fileReason(file, why);
    for (talvex::MseedTrace &t : traces) {
        Piece p;
        p.file = file;
        p.label = t.id();
        p.interval = 1.0 / t.sampleRate;
        // Rates such as 100 Hz give an interval a whole number of
        // microseconds; keep it exact so that channels compare equal.
        const double us = std::round(p.interval * 1e6);
        if (us >= 1.0 && std::fabs(us - p.interval * 1e6) < 1e-6)
            p.interval = us * 1e-6;
        p.startMicros = t.startMicros;
        p.network = t.network;
        p.station = t.station;
        p.location = t.location;
        bool unknown = false;
        p.component = componentOfCode(t.channel, &unknown);
        if (unknown)
            p.orientationProblem
                = QString::fromUtf8("通道代码“%1”没有说明分量方向（应以 N、E 或 Z 结尾）").arg(t.channel);
        p.samples = std::move(t.samples);
        pieces.push_back(std::move(p));
    }
    return {};
}

QString channelsSetting(const std::array<int, 3> &channels)
{
    return QStringLiteral("%1/%2/%3").arg(channels[0]).arg(channels[1]).arg(channels[2]);
}

QString checkChannelSetting(const std::array<int, 3> &channels)
{
    for (std::size_t i = 0; i < 3; ++i) {
        if (channels[i] < 1)
            return QString::fromUtf8("通道设置 %1 无效").arg(channelsSetting(channels));
        for (std::size_t j = 0; j < i; ++j)
            if (channels[i] == channels[j])
                return QString::fromUtf8("通道设置 %1 中有重复的通道").arg(channelsSetting(channels));
    }
    return {};
}

QString readCwd(const QString &file, std::span<const std::uint8_t> bytes, const ThreeComponentReadOptions &options,
                std::vector<Piece> &pieces)
{
    SedraRecord record;
    QStringList notes;
    if (const auto why = decodeSedraRecord(bytes, record, &notes))
        return fileReason(file, *why);
    if (!notes.isEmpty())
        return fileReason(file, QString::fromUtf8("记录不完整：%1").arg(notes.join(QString::fromUtf8("；"))));
    const RecordChannels &c = record.channels;
    if (c.sampleCount <= 0)
        return fileReason(file, QString::fromUtf8("记录中没有采样"));
    if (record.header.interval == 0)
        return fileReason(file, QString::fromUtf8("采样间隔为 0"));
    const int highest = *std::max_element(options.channels.begin(), options.channels.end());
    if (highest > c.channelCount)
        return fileReason(file,
                          QString::fromUtf8("记录只有 %1 道，设置的北/东/竖直通道为 %2")
                              .arg(c.channelCount)
                              .arg(channelsSetting(options.channels)));
    for (int k = 0; k < 3; ++k) {
        const int ch = options.channels[std::size_t(k)] - 1;
        Piece p;
        p.file = file;
        p.label = QString::fromUtf8("第%1道").arg(ch + 1);
        p.component = Component(k);
        p.interval = double(record.header.interval) * 1e-6;
        p.startMicros = micros(record.recordedAt());
        p.station = record.testPoint();
        const auto &samples = c.unfiltered[std::size_t(ch)];
        p.samples.assign(samples.begin(), samples.begin() + c.sampleCount);
        pieces.push_back(std::move(p));
    }
    return {};
}

QString readSeg2(const QString &file, std::span<const std::uint8_t> bytes, const ThreeComponentReadOptions &options,
                 std::vector<Piece> &pieces)
{
    std::vector<talvex::Seg2Trace> traces;
    std::optional<QDateTime> start;
    if (QString why = talvex::parseSeg2Traces(bytes, traces, &start); !why.isEmpty())
        return fileReason(file, why);
    const int highest = *std::max_element(options.channels.begin(), options.channels.end());
    if (highest > int(traces.size()))
        return fileReason(file,
                          QString::fromUtf8("文件只有 %1 道，设置的北/东/竖直通道为 %2")
                              .arg(traces.size())
                              .arg(channelsSetting(options.channels)));
    for (int k = 0; k < 3; ++k) {
        const int t = options.channels[std::size_t(k)] - 1;
        talvex::Seg2Trace &trace = traces[std::size_t(t)];
        Piece p;
        p.file = file;
        p.label = QString::fromUtf8("第%1道").arg(t + 1);
        p.component = Component(k);
        p.interval = trace.interval;
        if (const auto s = micros(start))
            p.startMicros = *s + qint64(std::llround(trace.delay * 1e6));
        p.samples = std::move(trace.samples);
        pieces.push_back(std::move(p));
    }
    return {};
}

QString readText(const QString &file, std::span<const std::uint8_t> bytes, const ThreeComponentReadOptions &options,
                 std::vector<Piece> &pieces)
{
    QString all = QString::fromUtf8(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
    if (all.startsWith(QChar(0xFEFF))) // a byte order mark some editors write
        all.remove(0, 1);
    static const QRegularExpression dtComment(QStringLiteral("\\bdt\\s*[=:]\\s*([-+0-9.eE]+)"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
    std::optional<double> commentDt;
    std::array<std::vector<double>, 3> columns;
    int lineNumber = 0;
    for (QStringView line : QStringView(all).split(QLatin1Char('\n'))) {
        ++lineNumber;
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1Char('#'))) {
            const auto m = dtComment.match(line);
            if (m.hasMatch() && !commentDt) {
                bool ok = false;
                const double dt = m.captured(1).toDouble(&ok);
                if (!ok || !(dt > 0.0) || !std::isfinite(dt))
                    return fileReason(
                        file, QString::fromUtf8("第 %1 行注释中的采样间隔“%2”无效").arg(lineNumber).arg(m.captured(1)));
                commentDt = dt;
            }
            continue;
        }
        const QStringList fields = line.toString().split(separators, Qt::SkipEmptyParts);
        if (fields.size() != 3)
            return fileReason(
                file,
                QString::fromUtf8("第 %1 行有 %2 个数，应为三列（北 东 竖直）").arg(lineNumber).arg(fields.size()));
        for (int k = 0; k < 3; ++k) {
            bool ok = false;
            const double v = fields[k].toDouble(&ok);
            if (!ok || !std::isfinite(v))
                return fileReason(
                    file, QString::fromUtf8("第 %1 行第 %2 列“%3”不是数").arg(lineNumber).arg(k + 1).arg(fields[k]));
            columns[std::size_t(k)].push_back(v);
        }
    }
    if (columns[0].empty())
        return fileReason(file, QString::fromUtf8("文件中没有数据行"));
    const std::optional<double> dt = options.sampleInterval ? options.sampleInterval : commentDt;
    if (!dt)
        return fileReason(file, QString::fromUtf8("不知道采样间隔：请用 --dt 给出，或在注释行中写“# dt = 0.01”"));
    if (!(*dt > 0.0) || !std::isfinite(*dt))
        return fileReason(file, QString::fromUtf8("采样间隔 %1 s 无效").arg(*dt));
    for (int k = 0; k < 3; ++k) {
        Piece p;
        p.file = file;
        p.label = QString::fromUtf8("第%1列").arg(k + 1);
        p.component = Component(k);
        p.interval = *dt;
        p.samples = std::move(columns[std::size_t(k)]);
        pieces.push_back(std::move(p));
    }
    return {};
}

// Text: no NUL byte and valid UTF-8 in the first few kilobytes.
bool looksLikeText(std::span<const std::uint8_t> bytes)
{
    const std::size_t n = std::min<std::size_t>(bytes.size(), 4096);
    if (n == 0)
        return false;
    if (std::find(bytes.begin(), bytes.begin() + std::ptrdiff_t(n), std::uint8_t(0))
        != bytes.begin() + std::ptrdiff_t(n))
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t b = bytes[i];
        if (b < 0x20 && b != '\n' && b != '\r' && b != '\t')
            return false;
    }
    return true;
}

// An alphanumeric SAC file starts with a line of five numbers (the first
// five header floats); a three-column text file with a comment or three.
bool looksLikeSacText(std::span<const std::uint8_t> bytes)
{
    const std::size_t n = std::min<std::size_t>(bytes.size(), 256);
    const QByteArray head(reinterpret_cast<const char *>(bytes.data()), qsizetype(n));
    const QList<QByteArray> first = head.left(head.indexOf('\n')).simplified().split(' ');
    if (first.size() != 5)
        return false;
    for (const QByteArray &field : first) {
        bool ok = false;
        field.toDouble(&ok);
        if (!ok)
            return false;
    }
    return true;
}

QString readFile(const QString &path, const ThreeComponentReadOptions &options, std::vector<Piece> &pieces)
{
    const QString file = QFileInfo(path).fileName();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString::fromUtf8("不能打开文件 %1：%2").arg(path, f.errorString());
    if (f.size() > kMaxFileBytes)
        return fileReason(file, QString::fromUtf8("文件太大（%1 字节）").arg(f.size()));
    const QByteArray data = f.readAll();
    if (data.isEmpty())
        return fileReason(file, QString::fromUtf8("文件是空的"));
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t *>(data.constData()),
                                              std::size_t(data.size()));
    if (talvex::isSeg2Record(bytes))
        return readSeg2(file, bytes, options, pieces);
    if (talvex::isBinarySac(bytes))
        return readSac(file, bytes, pieces);
    if (talvex::isMseed(bytes))
        return readMseed(file, bytes, pieces);
    if (bytes.size() >= 3 && bytes[0] == 'v' && bytes[1] == '2' && bytes[2] == 0)
        return readCwd(file, bytes, options, pieces);
    if (looksLikeText(bytes))
        return looksLikeSacText(bytes) ? readSac(file, bytes, pieces) : readText(file, bytes, options, pieces);
    // The older .cwd layout has no tag: taken by its name only.
    if (path.endsWith(QLatin1String(".cwd"), Qt::CaseInsensitive))
        return readCwd(file, bytes, options, pieces);
    return fileReason(file, QString::fromUtf8("格式无法识别（不是 miniSEED、SAC、SEG-2、.cwd 或三列文本）"));
}

QString assemble(std::vector<Piece> &pieces, ThreeComponentRecord &record)
{
    for (const Piece &p : pieces)
        if (!p.orientationProblem.isEmpty())
            return fileReason(shown(p), p.orientationProblem);
    std::array<int, 3> owner{-1, -1, -1};
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (!pieces[i].component)
            continue;
        int &o = owner[std::size_t(*pieces[i].component)];
        if (o >= 0)
            return QString::fromUtf8("%1 和 %2 都是%3分量")
                .arg(shown(pieces[std::size_t(o)]), shown(pieces[i]), componentName(*pieces[i].component));
        o = int(i);
    }
    // Pieces that do not say their component take the free ones in order.
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i].component)
            continue;
        const auto free = std::find(owner.begin(), owner.end(), -1);
        if (free == owner.end())
            break;
        *free = int(i);
        pieces[i].component = Component(free - owner.begin());
    }
    if (pieces.size() > 3) {
        QStringList names;
        for (const Piece &p : pieces)
            names << shown(p);
        return QString::fromUtf8("共有 %1 道（%2），三分量记录需要恰好三道：北、东、竖直")
            .arg(pieces.size())
            .arg(names.join(QString::fromUtf8("、")));
    }
    QStringList missing;
    for (int k = 0; k < 3; ++k)
        if (owner[std::size_t(k)] < 0)
            missing << componentName(Component(k));
    if (!missing.isEmpty())
        return QString::fromUtf8("缺少%1分量（三分量记录需要北、东、竖直三道）")
            .arg(missing.join(QString::fromUtf8("、")));

    const Piece &n = pieces[std::size_t(owner[0])];
    // Start times are compared with the first component that has one.
    const Piece *timed = nullptr;
    for (int k = 0; k < 3 && !timed; ++k)
        if (pieces[std::size_t(owner[std::size_t(k)])].startMicros)
            timed = &pieces[std::size_t(owner[std::size_t(k)])];
    const auto timeText = [](qint64 micros) {
        return QDateTime::fromMSecsSinceEpoch(micros / 1000, QTimeZone::utc())
            .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    };
    for (int k = 1; k < 3; ++k) {
        const Piece &p = pieces[std::size_t(owner[std::size_t(k)])];
        if (std::fabs(p.interval - n.interval) > n.interval * 1e-6)
            return QString::fromUtf8("采样率不同：%1 为 %2 Hz，%3 为 %4 Hz")
                .arg(shown(n))
                .arg(1.0 / n.interval, 0, 'g', 8)
                .arg(shown(p))
                .arg(1.0 / p.interval, 0, 'g', 8);
        if (p.samples.size() != n.samples.size())
            return QString::fromUtf8("长度不同：%1 有 %2 个采样，%3 有 %4 个采样")
                .arg(shown(n))
                .arg(n.samples.size())
                .arg(shown(p))
                .arg(p.samples.size());
    }
    // Components of different stations are no three-component recording.
    for (int k = 1; k < 3; ++k) {
        const Piece &p = pieces[std::size_t(owner[std::size_t(k)])];
        for (int j = 0; j < k; ++j) {
            const Piece &q = pieces[std::size_t(owner[std::size_t(j)])];
            const auto differ
                = [](const QString &a, const QString &b) { return !a.isEmpty() && !b.isEmpty() && a != b; };
            if (differ(p.station, q.station) || differ(p.network, q.network))
                return QString::fromUtf8("台站不同：%1 是 %2，%3 是 %4")
                    .arg(shown(q), QStringList{q.network, q.station}.join(QLatin1Char('.')), shown(p),
                         QStringList{p.network, p.station}.join(QLatin1Char('.')));
        }
    }
    for (int k = 0; k < 3 && timed; ++k) {
        const Piece &p = pieces[std::size_t(owner[std::size_t(k)])];
        if (p.startMicros && double(std::llabs(*p.startMicros - *timed->startMicros)) >= n.interval * 1e6 / 2.0)
            return QString::fromUtf8("起始时间不同：%1 从 %2 开始，%3 从 %4 开始")
                .arg(shown(*timed), timeText(*timed->startMicros), shown(p), timeText(*p.startMicros));
    }
    if (n.samples.empty())
        return QString::fromUtf8("记录中没有采样");

    record = ThreeComponentRecord{};
    record.sampleInterval = n.interval;
    QStringList files;
    for (int k = 0; k < 3; ++k) {
        Piece &p = pieces[std::size_t(owner[std::size_t(k)])];
        if (p.negate)
            for (double &v : p.samples)
                v = -v;
        record.components[std::size_t(k)] = std::move(p.samples);
        if (!record.start && p.startMicros)
            record.start = QDateTime::fromMSecsSinceEpoch(*p.startMicros / 1000, QTimeZone::utc());
        if (record.network.isEmpty())
            record.network = p.network;
        if (record.station.isEmpty())
            record.station = p.station;
        if (record.location.isEmpty())
            record.location = p.location;
        if (!files.contains(p.file))
            files << p.file;
    }
    record.source = files.join(QStringLiteral(" + "));
    return {};
}

} // namespace

QString componentName(Component component)
{
    switch (component) {
    case Component::North: return QString::fromUtf8("北");
    case Component::East: return QString::fromUtf8("东");
    case Component::Vertical: return QString::fromUtf8("竖直");
    }
    return {};
}

ThreeComponentReadResult readThreeComponent(const QStringList &paths, const ThreeComponentReadOptions &options)
{
    ThreeComponentReadResult result;
    if (paths.isEmpty()) {
        result.error = QString::fromUtf8("没有给出文件");
        return result;
    }
    if (QString why = checkChannelSetting(options.channels); !why.isEmpty()) {
        result.error = why;
        return result;
    }
    QStringList seen;
    for (const QString &path : paths) {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        if (!canonical.isEmpty() && seen.contains(canonical)) {
            result.error = QString::fromUtf8("文件 %1 给出了两次").arg(QFileInfo(path).fileName());
            return result;
        }
        seen << canonical;
    }
    std::vector<Piece> pieces;
    for (const QString &path : paths) {
        if (QString why = readFile(path, options, pieces); !why.isEmpty()) {
            result.error = why;
            return result;
        }
    }
    result.error = assemble(pieces, result.record);
    if (!result.ok())
        result.record = ThreeComponentRecord{};
    return result;
}

} // namespace sedra
