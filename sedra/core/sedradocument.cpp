#include "sedra/core/sedradocument.h"

#include "common/fileio.h"
#include "common/fixedtext.h"
#include "common/gbk.h"
#include "common/messenger.h"
#include "sedra/core/pendingfilter.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace sedra {

namespace {

// Largest part of a file a record can use: the header and 4096 samples of
// up to 64 interleaved channels (only the first four are kept).
constexpr std::uint64_t kMaxRecordRead = 256 + 4096ull * 64 * 2;

QByteArray gbkOrStripped(const QString &text)
{
    if (const auto bytes = common::encodeGbk(text))
        return *bytes;
    QString kept;
    for (const QChar c : text)
        if (common::encodeGbk(QString(c)))
            kept += c;
    return common::encodeGbk(kept).value_or(QByteArray());
}

template <std::size_t N>
void storeText(std::array<char, N> &field, const QString &text)
{
    // At most N - 1 bytes, so the field always ends in a zero.
    const QByteArray bytes = gbkOrStripped(cutToGbkBytes(text, int(N) - 1));
    common::storeFixedText(field, std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

// A site name names a folder below the current one: it may not leave it or
// name a drive, and holds no control characters.
bool isSafeFolderName(const QString &name)
{
    if (name.trimmed().isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') || c.unicode() < 0x20)
            return false;
    }
    return !name.contains(QLatin1String(".."));
}

} // namespace

SedraDocument::SedraDocument(QObject *parent) : QObject(parent) {}

void SedraDocument::takeAcquisition(const std::array<RecordChannel, kRecordChannels> &raw, const SedraParameters &p,
                                    const QDateTime &finishedAt)
{
    const int channels = std::clamp(p.channel, 1, kRecordChannels);
    const int samples = std::clamp(p.samplenth, 0, kRecordSamples);
    RecordChannels &rc = m_record.channels;
    // Samples beyond N keep what the record held.
    for (int ch = 0; ch < channels; ++ch)
        std::copy_n(raw[std::size_t(ch)].begin(), samples, rc.working[std::size_t(ch)].begin());
    rc.channelCount = channels;
    rc.sampleCount = samples;
    rc.sampleInterval = p.sampinterval;
    ConditionAcquisition(rc, m_spectra);

    talvex::FieldRecordHeader h;
    storeText(h.siteName, p.projectName);
    storeText(h.holeName, p.testSit);
    h.channelCount = std::int16_t(channels);
    const QDate d = finishedAt.date();
    const QTime t = finishedAt.time();
    h.year = std::int16_t(d.year());
    h.month = std::int16_t(d.month());
    h.day = std::int16_t(d.day());
    h.hour = std::int16_t(t.hour());
    h.minute = std::int16_t(t.minute());
    h.second = std::int16_t(t.second());
    h.interval = p.sampinterval;
    h.sampleCount = std::uint16_t(samples);
    h.delay = p.delayTime;
    h.gain = std::uint16_t(p.opamtime);
    h.triggerLevel = 0;
    m_record.header = h;
    m_record.spareWord = std::int16_t(p.keyboard);

    m_print.siteName = p.projectName;
    m_print.testDate = finishedAt;
    clearCursors();
    m_saved = false;
    emit changed();
}

void SedraDocument::setSiteName(const QString &siteName)
{
    storeText(m_record.header.siteName, siteName);
    m_print.siteName = siteName;
    emit changed();
}

bool SedraDocument::load(const QString &path, common::Messenger &messenger)
{
    std::vector<std::uint8_t> bytes;
    const common::FileError read = common::readWholeFile(path, bytes, kMaxRecordRead);
    if (!read.ok) {
        messenger.show(QStringLiteral("不能打开文件 %1\n%2").arg(QDir::toNativeSeparators(path), read.message),
                       common::MessageKind::Error);
        return false;
    }
    SedraRecord loaded;
    QStringList notes;
    if (const auto error = decodeSedraRecord(bytes, loaded, &notes, std::uint64_t(QFileInfo(path).size()))) {
        messenger.show(QStringLiteral("不能打开文件 %1\n%2").arg(QDir::toNativeSeparators(path), *error),
                       common::MessageKind::Error);
        return false;
    }
    takeLoadedRecord(loaded);
    if (!notes.isEmpty())
        messenger.show(QStringLiteral("文件 %1 只读入了一部分：\n%2")
                           .arg(QDir::toNativeSeparators(path), notes.join(QLatin1Char('\n'))),
                       common::MessageKind::Warning);
    return true;
}

void SedraDocument::takeLoadedRecord(const SedraRecord &loaded)
{
    m_record = loaded;
    m_print.siteName = m_record.siteName();
    // A record whose date is no valid moment keeps the test date shown.
    if (const auto at = m_record.recordedAt())
        m_print.testDate = *at;
    ComputeSpectra(m_record.channels, m_spectra);
    clearCursors();
    m_saved = true;
    emit changed();
}

bool SedraDocument::store(const QString &path, common::Messenger &messenger)
{
    if (!common::encodeGbk(m_print.siteName)) {
        messenger.show(QStringLiteral("工地名称中有不能保存的字符：%1").arg(common::unencodableGbk(m_print.siteName)),
                       common::MessageKind::Error);
        return false;
    }
    SedraRecord out = m_record;
    storeText(out.header.siteName, m_print.siteName);
    const QDate d = m_print.testDate.date();
    out.header.year = std::int16_t(d.year());
    out.header.month = std::int16_t(d.month());
    out.header.day = std::int16_t(d.day());
    const common::FileError written = common::writeFileAtomically(path, encodeSedraRecord(out, float(out.spareWord)));
    if (!written.ok) {
        messenger.show(QStringLiteral("保存文件失败!"), common::MessageKind::Error);
        return false;
    }
    m_record.header = out.header;
    return true;
}

QString SedraDocument::acquisitionFolder(const QString &baseFolder, const SedraParameters &p,
                                         common::Messenger &messenger)
{
    if (p.projectName.isEmpty()) {
        messenger.show(QStringLiteral("请在配置参数选项中输入工地名称 ！"), common::MessageKind::Warning);
        return {};
    }
    if (!isSafeFolderName(p.projectName)) {
        messenger.show(QStringLiteral("工地名称“%1”不能用作文件夹名，请在配置参数选项中修改！").arg(p.projectName),
                       common::MessageKind::Warning);
        return {};
    }
    QString folder = QDir(baseFolder).absoluteFilePath(p.projectName);
    if (folder != m_lastFolder) {
        if (!QDir().mkpath(folder)) {
            messenger.show(QStringLiteral("不能创建文件夹 %1").arg(QDir::toNativeSeparators(folder)),
                           common::MessageKind::Error);
            return {};
        }
        m_lastFolder = folder;
    }
    return folder;
}

QString SedraDocument::proposedAcquisitionName(const SedraParameters &p) const
{
    return QStringLiteral("%1&%2.cwd").arg(p.testSit).arg(m_saveCounter);
}

QString SedraDocument::noAcquiredDataMessage()
{
    return QStringLiteral("当前没有采集数据，不能保存！请先采集数据。");
}

bool SedraDocument::saveAcquisition(const QString &path, common::Messenger &messenger)
{
    if (!hasAcquiredData()) {
        messenger.show(noAcquiredDataMessage(), common::MessageKind::Warning);
        return false;
    }
    const common::FileError written = common::writeFileAtomically(path, encodeSedraRecord(m_record, 0.0f));
    if (!written.ok) {
        messenger.show(QStringLiteral("保存文件失败!"), common::MessageKind::Error);
        return false;
    }
    messenger.show(QStringLiteral("保存本次数据成功！"));
    ++m_saveCounter;
    m_saved = true;
    return true;
}

bool SedraDocument::exportText(const QString &path, common::Messenger &messenger)
{
    const common::FileError written = common::writeFileAtomically(path, sedraRecordText(m_record));
    if (!written.ok) {
        messenger.show(QStringLiteral("保存文件失败!"), common::MessageKind::Error);
        return false;
    }
    return true;
}

bool SedraDocument::applyPendingFilter()
{
    if (!ApplyPendingFilter(m_record.channels, m_filter))
        return false;
    ComputeSpectraAfterFilter(m_record.channels, m_spectra);
    emit changed();
    return true;
}

QString SedraDocument::proposedSnapshotName() const
{
    return QStringLiteral("sedraimg(%1).bmp").arg(m_snapshotCounter);
}

QStringList SedraDocument::snapshotFileNames(const QString &chosen)
{
    QStringList names{chosen};
    for (int k = 1; k <= 3; ++k)
        names << QStringLiteral("%1_%2.bmp").arg(chosen).arg(k);
    return names;
}

bool SedraDocument::setCursor(int band, double point)
{
    if (band < 0 || band >= kBands || !m_record.hasSamples())
        return false;
    m_cursors[std::size_t(band)] = {true, point};
    m_currentBand = band;
    emit changed();
    return true;
}

bool SedraDocument::moveCursor(double delta, double first, double last)
{
    BandCursor &c = m_cursors[std::size_t(m_currentBand)];
    if (!c.active)
        return false;
    const double point = std::clamp(c.point + delta, first, last);
    if (point == c.point)
        return false;
    c.point = point;
    emit changed();
    return true;
}

void SedraDocument::clearCursors()
{
    m_cursors.fill(BandCursor{});
}

QString SedraDocument::detailsText() const
{
    const auto &h = m_record.header;
    const QString label
        = QString::fromLatin1(h.tag.data(), int(std::find(h.tag.begin(), h.tag.end(), '\0') - h.tag.begin()));
    return QStringLiteral("数据标示：\t%1\r").arg(label) + QStringLiteral("工地名称： \t%1\r").arg(m_record.siteName())
        + QStringLiteral("测试点： \t%1\r").arg(m_record.testPoint())
        + QStringLiteral("日期：\t\t%1/%2/%3 \r时间： \t\t%4:%5:%6\r")
              .arg(h.year)
              .arg(h.month)
              .arg(h.day)
              .arg(h.hour)
              .arg(h.minute)
              .arg(h.second)
        + QStringLiteral("采样间隔： \t%1\r").arg(h.interval) + QStringLiteral("采样长度： \t%1\r").arg(h.sampleCount)
        + QStringLiteral("延迟时间： \t%1ms\r").arg(h.delay) + QStringLiteral("放大倍数： \t%1\r").arg(h.gain)
        + QStringLiteral("触发电平： \t%1\r").arg(h.triggerLevel);
}

QList<ChannelAnalysis> analyse(const SedraDocument &document)
{
    QList<ChannelAnalysis> out;
    const int channels = std::min(document.record().channels.channelCount, kSpectrumChannels);
    for (int k = 0; k < channels; ++k) {
        const float fm = document.spectra().peakFrequency[std::size_t(k)];
        out.push_back({k + 1, fm, document.spectra().frequencyStep[std::size_t(k)], periodText(fm)});
    }
    return out;
}

} // namespace sedra
