// The microtremor program's document and the view state that its commands
// share: the record, its spectra, the cursors, the print information, the
// filter choice, the saved flag and the counters of proposed file names.
// The window and sedra-cli run the same operations; messages go through a
// Messenger.
#pragma once

#include "sedra/core/filtersettings.h"
#include "sedra/core/printinfo.h"
#include "sedra/core/sedrarecord.h"
#include "sedra/core/sedrasettings.h"
#include "sedra/core/predominantperiod.h"

#include <QObject>
#include <QStringList>
#include <array>

namespace common {
class Messenger;
}

namespace sedra {

inline constexpr int kBands = 6;

// A band's cursor, kept in points of the band's trace (fractional), so the
// screen, the printed page and the snapshots place it alike.
struct BandCursor {
    bool active = false;
    double point = 0.0;
};

class SedraDocument : public QObject {
    Q_OBJECT
public:
    explicit SedraDocument(QObject *parent = nullptr);

    const SedraRecord &record() const { return m_record; }
    const SpectrumState &spectra() const { return m_spectra; }
    PrintInfo &printInfo() { return m_print; }
    const PrintInfo &printInfo() const { return m_print; }
    FilterSettings &filterSettings() { return m_filter; }

    // 1 = nothing unsaved.
    bool isSaved() const { return m_saved; }
    void setSaved(bool saved) { m_saved = saved; }

    // An acquisition has ended: `raw` holds the card's 14-bit codes, sample
    // i of channel ch at position i of raw[ch]. The header is filled from
    // the parameters and `finishedAt`, the record conditioned, its spectra
    // computed, the cursors cleared and the record marked unsaved.
    void takeAcquisition(const std::array<RecordChannel, kRecordChannels> &raw, const SedraParameters &parameters,
                         const QDateTime &finishedAt);

    // The sampling parameter dialog took a new site name: it goes into the
    // record on show (so a record acquired first and named afterwards is
    // saved with the name) and into the print information.
    void setSiteName(const QString &siteName);

    // Opens a .cwd file. On failure the message is shown, the record on
    // show is kept and false returned. A record read only in part (more
    // than 4096 samples or four channels, a file that ends early) is opened
    // with a warning that says what was left out.
    bool load(const QString &path, common::Messenger &messenger);
    // Document store ("保存(&S)"): site name and date from the print
    // information, the word at 148 as float.
    bool store(const QString &path, common::Messenger &messenger);

    // Save acquisition ("保存本次采集数据"). The folder ".\<site>" below
    // `baseFolder`, created when needed, and the proposed name
    // "<point>&<counter>.cwd"; empty with the message shown when the site
    // name is empty or cannot name a folder.
    QString acquisitionFolder(const QString &baseFolder, const SedraParameters &parameters,
                              common::Messenger &messenger);
    QString proposedAcquisitionName(const SedraParameters &parameters) const;
    // Whether the record holds samples to save: not when nothing was
    // acquired or the acquisition was cancelled.
    bool hasAcquiredData() const { return m_record.hasSamples() && m_record.channels.channelCount > 0; }
    // The refusal shown when there is nothing to save.
    static QString noAcquiredDataMessage();
    // Writes the record to `path` (spare 0.0), says "保存本次数据成功！" or
    // "保存文件失败!", counts the save and marks the record saved. Without
    // acquired data it shows noAcquiredDataMessage() and writes nothing.
    bool saveAcquisition(const QString &path, common::Messenger &messenger);
    int acquisitionSaveCount() const { return m_saveCounter; }

    // Text export to `path` (the name is used as given).
    bool exportText(const QString &path, common::Messenger &messenger);

    // Applies the pending filter: channels 1 to 3 from the unfiltered data,
    // the ticked ones filtered, spectra again, smoothing. False when none
    // was pending.
    bool applyPendingFilter();

    // Snapshots: proposed name "sedraimg(<counter>).bmp", the four file
    // names for a chosen name, and the count after a successful write.
    QString proposedSnapshotName() const;
    static QStringList snapshotFileNames(const QString &chosen);
    void countSnapshot() { ++m_snapshotCounter; }

    // Cursors of the six bands; band 2k shows channel k + 1's waveform,
    // band 2k + 1 its spectrum.
    const std::array<BandCursor, kBands> &cursors() const { return m_cursors; }
    int currentBand() const { return m_currentBand; }
    // A click at point `point` of band `band`: only when the record has samples.
    bool setCursor(int band, double point);
    // Arrow keys: the current cursor by `delta` points (one pixel's worth),
    // kept within [first, last].
    bool moveCursor(double delta, double first, double last);
    void clearCursors();

    // Text of the details box "详细信息".
    QString detailsText() const;

signals:
    // The record, its spectra or the cursors changed: the view repaints.
    void changed();

private:
    void takeLoadedRecord(const SedraRecord &record);

    SedraRecord m_record;
    SpectrumState m_spectra;
    PrintInfo m_print;
    FilterSettings m_filter;
    std::array<BandCursor, kBands> m_cursors{};
    int m_currentBand = 0;
    bool m_saved = true;
    int m_saveCounter = 0;
    int m_snapshotCounter = 0;
    QString m_lastFolder;
};

// The predominant period analysis of a record for reports: per channel
// 1 to 3 of those present, the peak frequency, the frequency step and the
// period text.
struct ChannelAnalysis {
    int channel = 0; // 1..3
    float peakFrequency = 0.0f;
    float frequencyStep = 0.0f;
    QString period; // seconds, "%.2f", or "--"
};
QList<ChannelAnalysis> analyse(const SedraDocument &document);

} // namespace sedra
