#pragma once
// Filling the points of a survey from a folder of field records. A record
// whose file name ends in "&", the depth in whole metres and "A.cwd" gives a
// point its positive trace, one ending in "B.cwd" its negative trace. Names
// ending in ".dat" or ".sg2" instead of ".cwd" are taken the same way; each
// file is read as SEG-2 or .CWD by its content (LoadFieldRecord).
//
// Records copied from the instrument's PC keep their GBK file names as raw
// bytes; the folder is listed by those bytes and files are opened by them,
// so a name that is not valid in the system's encoding is still found.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace common {
class Messenger;
}

namespace talvex {

class SurveyData;
struct FieldRecord;

// One record file of a folder: the name's bytes as they are on disk and the
// name as it is shown (decoded as UTF-8 when it is valid UTF-8, else as GBK).
struct RecordFile {
    QByteArray nativePath; // folder bytes + '/' + name bytes, for opening
    QString shownName; // the file name alone, for messages
};

// The record files of one folder, indexed by the depth text and blow of
// their names. Listing the folder once serves every point.
class RecordFolderIndex {
public:
    explicit RecordFolderIndex(const QString &folder);
    // The folder given by its bytes as the system names it (for example a
    // command-line argument that is not valid UTF-8).
    explicit RecordFolderIndex(const QByteArray &nativeFolder);

    // The file for depth `metres` and blow 'A' or 'B', matched without regard
    // to letter case; when several names match (say "ZK1&3A.cwd" and
    // "ZK1&3A.sg2"), the lowest in byte order.
    // Empty (nativePath empty) when there is none.
    RecordFile find(int metres, char blow) const;
    int size() const { return int(m_files.size()); }
    // The deepest whole-metre depth `find` has a record for, up to `limit`;
    // 0 when there is none.
    int deepestMetres(int limit) const;

private:
    void list();

    QByteArray m_folder;
    std::map<std::string, std::string> m_files; // key "<digits>a" / "<digits>b" -> file name bytes
};

// Told the number of files handled so far and the number to read in all,
// before each file and once at the end (done == total). Returning false
// stops the import before the next file.
using FolderImportProgress = std::function<bool(int done, int total)>;

// The channel value that asks the import to choose each point's channel
// itself (StrongestShearChannel) instead of taking one for every point.
inline constexpr int kAutomaticChannel = 0;

struct FolderImportResult {
    int filesTaken = 0; // records read and copied into points
    int filesFound = 0; // matching files the import tried to read
    int currentPoint = 0; // the point made current last (1-based), 0 when none
    int selectedChannel = 0; // the channel of the record copied last
    // Per point, in list order: the channel (1-based) its traces were taken
    // from, 0 for a point no record reached.
    std::vector<int> pointChannels;
    bool cancelled = false; // the progress callback stopped the import
    QStringList unreadable; // "name：reason" of matching files that could not be read
    QStringList shortFiles; // names of records that end before all their samples
    std::vector<int> pointsWithoutRecord; // 1-based points no record reached (not set when cancelled)
};

// The channel (1-based) whose S-wave stands out most: for each channel both
// records hold, the half difference of the two blows, (positive - negative)
// / 2, which keeps the S-wave (it turns with the blow) and cancels what both
// blows share (the P-wave, steady noise); its largest swing after the quiet
// lead-in over its RMS in the lead-in (the samples before the wave first
// reaches half that swing, less a quarter of them, and at least
// kShearLeadIn). With only one of the records, that
// record alone is measured. Ties go to the lower channel; 1 when neither
// record holds a channel.
inline constexpr int kShearLeadIn = 64;
int StrongestShearChannel(const FieldRecord *positive, const FieldRecord *negative);

// Imports channel `channel` (1...3) of the matching records of `folder` into
// every point of the survey, in list order, using `record` as the import
// buffer (with kAutomaticChannel, each point's own StrongestShearChannel of
// its two records), and shows one result message: the number of files taken, the files
// that were found but could not be read (with the reason), short records and
// the points that got no record at all. A record that cannot be read (missing,
// unreadable, or with a header no instrument writes) is neither counted nor
// copied, so the point keeps the trace it had.
//
// A point's two records are read first and copied together, so an import
// cancelled through `progress` leaves every point either fully imported or as
// it was.
FolderImportResult ImportFolder(SurveyData &survey, FieldRecord &record, const QString &folder, int channel,
                                common::Messenger &messenger, const FolderImportProgress &progress = {});
// The same over a folder that was listed already.
FolderImportResult ImportFolder(SurveyData &survey, FieldRecord &record, const RecordFolderIndex &index, int channel,
                                common::Messenger &messenger, const FolderImportProgress &progress = {});

} // namespace talvex
