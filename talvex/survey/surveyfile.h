#pragma once
// The survey document file (.QSW): a 512-byte header followed by the
// survey-log layers, the velocity layers and the measuring points, each
// record whole, little-endian, text in GBK.

#include "common/fileio.h"
#include "talvex/survey/surveydata.h"

#include <QString>
#include <cstdint>
#include <span>
#include <vector>

namespace common {
class Messenger;
}

namespace talvex {

inline constexpr float kDocumentVersion = 13.01f;
inline constexpr std::size_t kDocumentHeaderSize = 512;
inline constexpr std::size_t kDocumentShortHeaderSize = 220; // a file without records ends here
inline constexpr std::size_t kLayerRecordSize = 180;
inline constexpr std::size_t kOldLayerRecordSize = 100; // version 12.03 and older
inline constexpr std::size_t kPointRecordSize = 4136;

extern const char *const kBadFormatMessage; // "错误的数据格式!!"

struct VersionCheck {
    bool readable = false;
    float version = 0.0f;
};

// Checks the version tag at the start of a document ("Tlv13.01"). `tag` holds
// the bytes read from the file; the tag text ends at the first zero byte.
// Shows the format or the higher-version message when the file cannot be read.
VersionCheck CheckVersion(std::span<const std::uint8_t> tag, common::Messenger &messenger);

// The file's bytes for the survey (the survey itself is not changed).
std::vector<std::uint8_t> encodeSurvey(const SurveyData &survey);

// Parses a whole document. On success replaces header and the three lists of
// `survey` (the modified flag and the settings that are not stored stay) and
// returns true. On failure shows the message and leaves `survey` unchanged: a
// refused tag shows its version message, a file shorter than its header or its
// record counts shows the format message, and so does a negative count or a
// depth, interval, delay or velocity that is not a finite number (with a line
// naming the field). A point's cross-hole distance outside 0...100 m (NaN
// included) is replaced by the source distance.
bool decodeSurvey(std::span<const std::uint8_t> bytes, SurveyData &survey, common::Messenger &messenger);

// Writes the survey to `path`, replacing an existing file only when the new
// one is complete. Clears the modified flag on success (setModified, which
// tells the survey's listener).
common::FileError StoreSurvey(SurveyData &survey, const QString &path);

// The lock file that programs changing the survey at `path` hold while they
// read, change and write it: "<absolute path>.lock" beside it.
QString SurveyLockFileName(const QString &path);

// Reads `path` into the survey. A file that cannot be opened shows
// "不能打开文件 " with the path.
bool LoadSurvey(SurveyData &survey, const QString &path, common::Messenger &messenger);

// Replaces both layer lists of `survey` from the document at `path`, leaving
// its header and points. Returns false (with a message for a refused or
// damaged file, silently when it cannot be opened) when nothing was taken.
// The caller recomputes the layer velocities afterwards.
bool ImportLayers(SurveyData &survey, const QString &path, common::Messenger &messenger);

} // namespace talvex
