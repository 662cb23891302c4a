#pragma once
// Filling the points of a survey from a folder of field records. A record
// whose file name ends in "&", the depth in whole metres and "A.cwd" gives a
// point its positive trace, one ending in "B.cwd" its negative trace.

#include <QString>
#include <map>
#include <string>

namespace common {
class Messenger;
}

namespace talvex {

class SurveyData;
struct FieldRecord;

// The record files of one folder, indexed by the depth text and blow of
// their names. Listing the folder once serves every point.
class RecordFolderIndex {
public:
    explicit RecordFolderIndex(const QString &folder);

    // The file for depth `metres` and blow 'A' or 'B', matched without regard
    // to letter case; when several names match, the lowest in byte order.
    // Empty when there is none.
    QString find(int metres, char blow) const;
    int size() const { return int(m_files.size()); }

private:
    QString m_folder;
    std::map<std::string, std::string> m_files; // key "<digits>a" / "<digits>b" -> encoded file name
};

struct FolderImportResult {
    int filesTaken = 0;
    int currentPoint = 0;   // the point made current last (1-based), 0 when none
    int selectedChannel = 0;
};

// Imports channel `channel` (1...3) of the matching records of `folder` into
// every point of the survey, in list order, using `record` as the import
// buffer, and shows the result message. A record that cannot be read is
// reported and neither counted nor copied, so the point keeps the trace it had.
FolderImportResult ImportFolder(SurveyData &survey, FieldRecord &record, const QString &folder, int channel,
                                common::Messenger &messenger);
// The same over a folder that was listed already.
FolderImportResult ImportFolder(SurveyData &survey, FieldRecord &record, const RecordFolderIndex &index,
                                int channel, common::Messenger &messenger);

} // namespace talvex
