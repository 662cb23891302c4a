#include "tools/instrument-sim/siminstrument.h"

#include "common/gbk.h"

#include <QDir>
#include <QFile>

namespace instrumentsim {

namespace {

constexpr int kBlock = 1024;

QByteArray field(const QByteArray &text, int size)
{
    QByteArray f = text.left(size);
    f.append(QByteArray(size - f.size(), '\0'));
    return f;
}

QByteArray le(qint64 value, int bytes)
{
    QByteArray b;
    for (int i = 0; i < bytes; ++i)
        b.append(char((quint64(value) >> (8 * i)) & 0xff));
    return b;
}

qint64 readLe(const QByteArray &b, int offset, int bytes)
{
    quint64 v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= quint64(quint8(b.at(offset + i))) << (8 * i);
    return qint64(v);
}

} // namespace

std::optional<QList<SimProject>> SimInstrument::loadProjects(const QString &folder, QString &error)
{
    const QDir root(folder);
    if (!root.exists()) {
        error = QStringLiteral("no folder %1").arg(folder);
        return std::nullopt;
    }
    QList<SimProject> projects;
    for (const QString &projectName : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        SimProject project;
        const auto encoded = common::encodeGbk(projectName);
        if (!encoded || encoded->size() > 8) {
            error = QStringLiteral("project name %1 does not fit 8 bytes of GBK").arg(projectName);
            return std::nullopt;
        }
        project.name = *encoded;
        const QDir dir(root.filePath(projectName));
        for (const QString &fileName : dir.entryList(QDir::Files, QDir::Name)) {
            const auto name = common::encodeGbk(fileName);
            if (!name || name->size() > 12) {
                error = QStringLiteral("file name %1 does not fit 12 bytes of GBK").arg(fileName);
                return std::nullopt;
            }
            QFile file(dir.filePath(fileName));
            if (!file.open(QIODevice::ReadOnly)) {
                error = QStringLiteral("cannot read %1").arg(file.fileName());
                return std::nullopt;
            }
            project.files.append(SimFile{*name, file.readAll()});
        }
        projects.append(project);
    }
    return projects;
}

QList<QByteArray> SimInstrument::feed(const QByteArray &bytes)
{
    m_buffer += bytes;
    if (m_mode == Mode::Upgrade)
        processUpgrade();
    else
        process(false);
    QList<QByteArray> out;
    out.swap(m_out);
    return out;
}

QList<QByteArray> SimInstrument::quiet()
{
    if (m_mode == Mode::Download)
        process(true);
    QList<QByteArray> out;
    out.swap(m_out);
    return out;
}

std::optional<QByteArray> SimInstrument::takeUpload()
{
    auto upload = m_upload;
    m_upload.reset();
    return upload;
}

QStringList SimInstrument::takeLog()
{
    QStringList log;
    log.swap(m_log);
    return log;
}

void SimInstrument::process(bool quiet)
{
    while (!m_buffer.isEmpty()) {
        if (m_namePossible) {
            if (m_buffer.size() >= 9 && m_buffer.at(8) == '(') {
                const QByteArray name = m_buffer.left(8);
                m_buffer.remove(0, 9);
                projectRequest(name);
                continue;
            }
            if (m_buffer.size() < 9 && !quiet)
                return; // a project request may still be arriving
        }
        const char c = m_buffer.at(0);
        m_buffer.remove(0, 1);
        command(c);
        quiet = false;
    }
}

void SimInstrument::command(char c)
{
    switch (c) {
    case '?':
        m_namePossible = false;
        m_project = -1;
        m_fileOpen = false;
        m_log << QStringLiteral("? number");
        m_out << field(m_number, 9);
        return;
    case '!':
        m_log << QStringLiteral("! %1 projects").arg(m_projects.size());
        m_out << le(m_projects.size(), 2);
        return;
    case '#': {
        QByteArray names;
        for (const SimProject &p : m_projects)
            names += field(p.name, 8);
        m_log << QStringLiteral("# names");
        if (!names.isEmpty())
            m_out << names;
        m_namePossible = true;
        return;
    }
    case '<': m_log << QStringLiteral("<"); return;
    case '@': {
        if (m_project < 0 || m_fileIndex >= m_projects.at(m_project).files.size()) {
            m_log << QStringLiteral("@ ignored: no file left");
            return;
        }
        const SimFile &f = m_projects.at(m_project).files.at(m_fileIndex);
        ++m_fileIndex;
        m_fileOpen = true;
        m_offset = 0;
        m_log << QStringLiteral("@ %1").arg(common::decodeGbk(f.name));
        m_out << field(f.name, 12);
        return;
    }
    case '$':
        if (!m_fileOpen)
            return;
        m_out << le(m_projects.at(m_project).files.at(m_fileIndex - 1).contents.size(), 4);
        return;
    case '*':
        if (!m_fileOpen)
            return;
        m_offset = 0;
        sendBlock();
        return;
    case ',':
        if (!m_fileOpen) {
            m_log << QStringLiteral(", ignored: the file is complete");
            return;
        }
        sendBlock();
        return;
    default: m_log << QStringLiteral("ignored byte 0x%1").arg(quint8(c), 2, 16, QLatin1Char('0')); return;
    }
}

void SimInstrument::projectRequest(const QByteArray &name)
{
    m_project = -1;
    for (int i = 0; i < m_projects.size(); ++i) {
        if (field(m_projects.at(i).name, 8) == name)
            m_project = i;
    }
    m_fileIndex = 0;
    m_fileOpen = false;
    const qsizetype count = m_project < 0 ? 0 : m_projects.at(m_project).files.size();
    m_log << QStringLiteral("( %1: %2 files").arg(common::decodeGbk(name.left(name.indexOf('\0')))).arg(count);
    m_out << le(count, 2);
    m_namePossible = count == 0;
}

void SimInstrument::sendBlock()
{
    const QByteArray &contents = m_projects.at(m_project).files.at(m_fileIndex - 1).contents;
    const QByteArray block = contents.mid(m_offset, kBlock);
    m_offset += block.size();
    if (!block.isEmpty())
        m_out << block;
    if (m_offset >= contents.size()) {
        m_fileOpen = false;
        m_namePossible = m_fileIndex >= m_projects.at(m_project).files.size();
    }
}

void SimInstrument::processUpgrade()
{
    while (!m_buffer.isEmpty()) {
        switch (m_upgrade) {
        case Upgrade::Idle:
        case Upgrade::Decide: {
            const char c = m_buffer.at(0);
            m_buffer.remove(0, 1);
            if (c == '?') {
                m_log << QStringLiteral("? version %1").arg(m_version);
                m_out << le(m_version, 2);
                m_upgrade = Upgrade::Decide;
            } else if (m_upgrade == Upgrade::Decide && c == 'n') {
                m_log << QStringLiteral("n: no upgrade");
                m_upgrade = Upgrade::Idle;
            } else if (m_upgrade == Upgrade::Decide && c == 'y') {
                m_log << QStringLiteral("y: upgrade accepted");
                m_out << QByteArray(1, 'y');
                m_upgrade = Upgrade::Announce;
            } else {
                m_log << QStringLiteral("ignored byte 0x%1").arg(quint8(c), 2, 16, QLatin1Char('0'));
            }
            break;
        }
        case Upgrade::Announce:
            if (m_buffer.size() < 8)
                return;
            m_size = qint32(readLe(m_buffer, 0, 4));
            m_checksum = quint32(readLe(m_buffer, 4, 4));
            m_buffer.remove(0, 8);
            m_image.clear();
            m_blockStart = 0;
            m_log << QStringLiteral("image of %1 bytes announced").arg(m_size);
            m_out << QByteArray(1, 'g');
            m_upgrade = Upgrade::Receiving;
            break;
        case Upgrade::Receiving: {
            const qint32 remaining = m_size - m_blockStart;
            const qint32 length = std::min(kBlock, std::max(remaining, 0));
            if (length > 0) {
                const qsizetype take = std::min<qsizetype>(length - (m_image.size() - m_blockStart), m_buffer.size());
                m_image += m_buffer.left(take);
                m_buffer.remove(0, take);
                if (m_image.size() - m_blockStart < length)
                    return;
            }
            m_blockStart += length;
            if (remaining > kBlock) {
                m_out << QByteArray(1, 'g');
                break;
            }
            quint32 sum = 0;
            for (const char c : m_image)
                sum += quint8(c);
            m_log << QStringLiteral("image of %1 bytes received, checksum %2")
                         .arg(m_image.size())
                         .arg(sum == m_checksum ? QStringLiteral("correct") : QStringLiteral("WRONG"));
            m_upload = m_image;
            m_upgrade = Upgrade::Idle;
            break;
        }
        }
    }
    // An empty image is complete as soon as it is announced.
    if (m_upgrade == Upgrade::Receiving && m_size <= 0) {
        m_log << QStringLiteral("empty image received");
        m_upload = QByteArray();
        m_upgrade = Upgrade::Idle;
    }
}

} // namespace instrumentsim
