#pragma once
// The instrument's side of the two link exchanges, fed the bytes that the PC
// sends and answering with the replies that the instrument would send. It
// keeps no clock: the line around it (main.cpp) decides when replies go out
// and can make them late, split, garbled or missing.
//
// Download mode (the instrument's transfer key):
//   '?' number (9-byte field)   '!' project count (int16)   '#' names (8-byte fields)
//   name (8 bytes) '('  file count (int16)   '<' nothing
//   '@' next file's name (12-byte field)   '$' its size (int32)
//   '*' first block of up to 1024 bytes   ',' next block while the file is not complete
// A ',' after a file's last block (a file of 1024 × k bytes) gets no reply.
// Project requests and single-byte commands share the line: where a project
// request may come, a lone command byte is taken as a command once the line
// has been quiet (quiet()).
//
// Upgrade mode (the instrument's upgrade key):
//   '?' version in hundredths (int16); 'n' ends; 'y' answered with 'y';
//   8 bytes size + checksum answered with 'g'; then blocks of
//   min(1024, remaining) bytes, each answered with 'g' while more than 1024
//   bytes remained before it. The received image is kept.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace instrumentsim {

struct SimFile {
    QByteArray name; // GBK, at most 12 bytes
    QByteArray contents;
};

struct SimProject {
    QByteArray name; // GBK, at most 8 bytes
    QList<SimFile> files;
};

class SimInstrument {
public:
    enum class Mode { Download, Upgrade };

    explicit SimInstrument(Mode mode) : m_mode(mode) {}

    void setNumber(const QByteArray &number) { m_number = number; }
    void setProjects(const QList<SimProject> &projects) { m_projects = projects; }
    void setVersion(qint16 hundredths) { m_version = hundredths; }

    // One project per sub-folder of `folder` and its files as they are, both
    // in name order. Names must fit the instrument's fields (8 and 12 bytes
    // of GBK); otherwise returns nothing and says why in `error`.
    static std::optional<QList<SimProject>> loadProjects(const QString &folder, QString &error);

    // Feeds bytes from the PC; returns the replies to send, in order.
    QList<QByteArray> feed(const QByteArray &bytes);
    // The line has been quiet; settles a lone command byte.
    QList<QByteArray> quiet();
    bool hasPending() const { return !m_buffer.isEmpty(); }

    // The image of a completed upload, once.
    std::optional<QByteArray> takeUpload();
    // What happened since the last call, for the log.
    QStringList takeLog();

private:
    void process(bool quiet);
    void command(char c);
    void projectRequest(const QByteArray &name);
    void sendBlock();
    void processUpgrade();

    Mode m_mode;
    QByteArray m_number = "SIM-0001";
    QList<SimProject> m_projects;
    qint16 m_version = 100;

    QByteArray m_buffer;
    QList<QByteArray> m_out;
    QStringList m_log;

    // Download.
    bool m_namePossible = false;
    int m_project = -1;
    int m_fileIndex = 0; // files served so far in the current project
    qsizetype m_offset = 0;
    bool m_fileOpen = false;

    // Upgrade.
    enum class Upgrade { Idle, Decide, Announce, Receiving };
    Upgrade m_upgrade = Upgrade::Idle;
    qint32 m_size = 0;
    quint32 m_checksum = 0;
    qint32 m_blockStart = 0;
    QByteArray m_image;
    std::optional<QByteArray> m_upload;
};

} // namespace instrumentsim
