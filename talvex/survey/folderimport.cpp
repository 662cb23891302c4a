#include "talvex/survey/folderimport.h"

#include "common/messenger.h"
#include "talvex/survey/fieldrecord.h"
#include "talvex/survey/surveydata.h"

#include <QDir>
#include <QFile>
#include <cmath>

namespace talvex {

namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// The key of a record file name ("ZK1&12A.cwd" -> "12a"), or empty when the
// name does not end in "&", a whole number and "A.cwd" or "B.cwd".
std::string keyOf(const std::string &name)
{
    static const char suffix[] = ".cwd";
    if (name.size() < 7)
        return {};
    for (std::size_t i = 0; i < 4; ++i) {
        if (lowerAscii(name[name.size() - 4 + i]) != suffix[i])
            return {};
    }
    const char blow = lowerAscii(name[name.size() - 5]);
    if (blow != 'a' && blow != 'b')
        return {};
    const std::size_t end = name.size() - 5; // one past the digits
    std::size_t start = end;
    while (start > 0 && name[start - 1] >= '0' && name[start - 1] <= '9')
        --start;
    if (start == end)
        return {};
    // A minus sign belongs to the number ("&-1A.cwd" is the pattern for -1 m).
    if (start > 0 && name[start - 1] == '-')
        --start;
    if (start == 0 || name[start - 1] != '&')
        return {};
    return name.substr(start, end - start) + blow;
}

} // namespace

RecordFolderIndex::RecordFolderIndex(const QString &folder) : m_folder(folder)
{
    // Regular files only: a pipe or device with a record's name would block
    // or feed the import endlessly.
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::NoSort);
    for (const QString &name : names) {
        const std::string encoded = QFile::encodeName(name).toStdString();
        const std::string key = keyOf(encoded);
        if (key.empty())
            continue;
        auto [it, inserted] = m_files.emplace(key, encoded);
        if (!inserted && encoded < it->second)
            it->second = encoded;
    }
}

QString RecordFolderIndex::find(int metres, char blow) const
{
    const auto it = m_files.find(std::to_string(metres) + lowerAscii(blow));
    if (it == m_files.end())
        return {};
    return QDir(m_folder).filePath(QFile::decodeName(QByteArray::fromStdString(it->second)));
}

FolderImportResult ImportFolder(SurveyData &survey, FieldRecord &record, const QString &folder, int channel,
                                common::Messenger &messenger)
{
    return ImportFolder(survey, record, RecordFolderIndex(folder), channel, messenger);
}

FolderImportResult ImportFolder(SurveyData &survey, FieldRecord &record, const RecordFolderIndex &index,
                                int channel, common::Messenger &messenger)
{
    FolderImportResult result;
    for (std::size_t i = 0; i < survey.points.size(); ++i) {
        const float depth = survey.points[i].depth;
        // Depths that no file name can carry match nothing.
        if (!(std::fabs(depth) < 2147483648.0f))
            continue;
        const int metres = int(depth);
        for (const char blow : {'A', 'B'}) {
            const QString path = index.find(metres, blow);
            if (path.isEmpty())
                continue;
            if (!ReadFieldRecord(path, record, messenger))
                continue;
            ++result.filesTaken;
            result.currentPoint = int(i) + 1;
            result.selectedChannel = channel;
            record.selectedChannel = channel;
            if (blow == 'A')
                SetPositiveTrace(survey, record, result.currentPoint, channel);
            else
                SetNegativeTrace(survey, record, result.currentPoint, channel);
        }
    }
    if (result.filesTaken > 0)
        messenger.show(QString::fromUtf8("共成功导入数据文件%1个").arg(result.filesTaken));
    else
        messenger.show(QString::fromUtf8("未找到相应文件！\n请确认该目录下的文件或查看文件命名规范！"));
    return result;
}

} // namespace talvex
