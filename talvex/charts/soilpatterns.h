#pragma once
// The pictures of the column chart's soil and rock patterns and the filling
// of a column cell with one.
//
// Codes (DiChengOne::pattern): 0 none; 1 ... 82 the built-in pictures of the
// catalogue (talvex/analysis/soilpatterns.h), drawn by code; 241 ... 245 the
// user's bitmaps "自定义地质图例一.bmp" ... "自定义地质图例五.bmp" in the
// folder "自定义地质图例" beside the program; any other code draws nothing.
// Every picture is 150 x 100 pixels, monochrome (QImage::Format_Mono, index
// 0 white, index 1 black).

#include <QImage>
#include <QString>
#include <map>
#include <mutex>
#include <set>

class QPainter;

namespace common {
class Messenger;
}

namespace talvex::charts {

inline constexpr int kPatternWidth = 150;
inline constexpr int kPatternHeight = 100;

// The built-in picture of `code` (1 ... 82); a null image for other codes.
// Drawn once per code and process, then shared (QImage is implicitly shared).
QImage builtInSoilPattern(int code);

// "<folder>/自定义地质图例/自定义地质图例一.bmp" ... for codes 241 ... 245;
// an empty string for other codes.
QString userPatternPath(const QString &programFolder, int code);

// The user's picture of `code` (241 ... 245) from `programFolder`, converted
// to a 150 x 100 monochrome picture. A missing file shows
// "图片文件 <path> 不存在，请将此文件拷贝到指定的子目录或者重新执行一遍安装程序！",
// a file that cannot be read as an image "文件 <path> 读取失败"; both return a
// null image.
QImage LoadUserPattern(int code, const QString &programFolder, common::Messenger &messenger);

// The patterns a chart draws: built-in pictures and the user's files of one
// program folder. User files are read on first use and kept; a file that is
// missing or unreadable is reported once (not on every repaint, which would
// stack message boxes during painting) and draws an empty cell until reload().
// One set may be used from several threads at once (the batch draws holes
// in parallel, each over the program's set or its own): its cache is locked.
class SoilPatternSet {
public:
    // `messenger` may be null: failures are then silent (an empty cell).
    explicit SoilPatternSet(QString programFolder, common::Messenger *messenger = nullptr);

    // The picture of `code`; a null image for code 0, unknown codes and user
    // files that could not be loaded.
    QImage pattern(int code);

    // Forgets the user pictures and the failures already reported, so that
    // the files are read (and failures reported) again on next use; for
    // example when a survey is opened or the user has copied the files.
    void reload();

    void setMessenger(common::Messenger *messenger);
    const QString &programFolder() const { return m_folder; }

private:
    const QString m_folder;
    std::mutex m_mutex; // guards what follows
    common::Messenger *m_messenger = nullptr;
    std::map<int, QImage> m_user;
    std::set<int> m_failed;
};

// The process-wide set over the folder of the running program
// (QCoreApplication::applicationDirPath(), or the current folder before an
// application object exists), silent until a messenger is set.
SoilPatternSet &programSoilPatterns();

// The picture of `code` from programSoilPatterns().
QImage soilPattern(int code);

// How a column cell is filled: the output's tile size and cell offset.
enum class PatternOutput {
    Screen, // view units: cell x left + 1, tiles 98 x 67
    Bitmap, // pixels: cell x left + 1, tiles 58 x 40
    Print, // 0.01 mm: cell x left + 15, tiles 1470 x 1000
};

// Fills the column cell whose left edge is `left`, from y `top` down to
// `bottom` (top < bottom in the painter's current coordinates), with
// `pattern` stretched into tiles placed top to bottom; the last tile is cut
// to the remaining height and shows the matching upper part of the picture.
// A null pattern or an empty cell draws nothing.
void FillPattern(QPainter &painter, PatternOutput output, int left, int top, int bottom, const QImage &pattern);

} // namespace talvex::charts
