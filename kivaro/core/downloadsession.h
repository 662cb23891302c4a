#pragma once
// The download exchange with the instrument, free of widgets: it is fed the
// bytes that arrive and the expiries of the response timer, and it writes
// commands, keeps the three progress bars and status lines, the enabled
// state of the page's two buttons, and shows its messages through a
// Messenger.
//
// The PC is the master. Every command is answered with a reply of a length
// known in advance; the reply is acted on only when the receive buffer holds
// exactly that many bytes:
//   '?'                 -> instrument number, 9-byte GBK text field
//   '!'                 -> number of projects, signed 16-bit LE
//   '#'                 -> project names, 8-byte GBK text fields
//   name (8 bytes) '('  -> number of files of that project, signed 16-bit LE
//   '<'                 -> no reply (the file count has arrived)
//   '@'                 -> file name, 12-byte GBK text field
//   '$'                 -> file size in bytes, signed 32-bit LE
//   '*'                 -> the file in blocks of 1024 bytes, the last shorter
//   ','                 -> the next block, after each complete 1024-byte block
//                          of a file that is not yet complete
//
// Timing: every command that awaits a reply starts the response timer
// (2000 ms); the first bytes of the reply stop it. While a reply is still
// short the timer is started again after each piece, so it measures the
// silence since the last byte; a reply that has run longer than awaited
// starts it once more and later bytes do not put it off. So a reply that
// stops short or runs long ends in the same time-out as silence instead of
// leaving the exchange waiting for ever, while a long list of names at a low
// baud rate still arrives in full.
//
// A file whose size is a whole multiple of 1024 is complete with its last
// block: no ',' follows that block, and the next command is the next file's
// '@' (or the next project's request). The simulated instrument sends nothing
// for a ',' that arrives after a file's last block, so both rules agree.
//
// Names from the instrument are untrusted: a project whose name could not be
// a folder name is skipped with a message before anything is asked of the
// instrument; a file whose name could not be a file name is received (the
// instrument expects that) but not written, with a message.

#include "kivaro/core/foldersink.h"
#include "kivaro/core/linkhost.h"
#include "kivaro/core/progressbarstate.h"

#include "common/messenger.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>

namespace kivaro {

class DownloadSession : public QObject {
    Q_OBJECT
public:
    enum class State {
        Idle, // port closed (or about to be), nothing outstanding
        WaitNumber, // connection phase
        WaitProjectCount,
        WaitProjectNames,
        Listed, // the list has arrived; port open, the instrument waits
        WaitFileCount, // transfer phase
        WaitFileName,
        WaitFileSize,
        WaitFileData,
        Working, // transfer phase between two replies, nothing outstanding
    };
    enum class Bar { Projects = 0, Files = 1, CurrentFile = 2 };
    enum class Outcome {
        Listed, // connection phase complete, the list is shown
        NoProjects, // the instrument holds no project; port closed
        Finished, // every chosen project transferred; port closed
        TimedOut, // no (complete) reply in time; port closed
        SerialFailed, // the serial layer refused a write; port closed
        FolderFailed, // a project folder could not be created; port closed
    };

    static constexpr int kResponseMs = 2000;
    static constexpr int kBlockSize = 1024;
    static constexpr int kNumberField = 9;
    static constexpr int kProjectField = 8;
    static constexpr int kFileNameField = 12;

    DownloadSession(LinkHost &host, FolderSink &sink, common::Messenger &messenger, QObject *parent = nullptr);

    // The response time-out; kResponseMs unless a test or kivaro-cli shortens it.
    void setResponseInterval(int milliseconds) { m_interval = milliseconds; }

    // Runs the connection phase on a port that has just been opened: empties
    // the project list, resets the bars and status lines and asks for the
    // instrument number.
    void startConnect();
    // Runs the transfer phase over the projects at `selected` (indexes into
    // projectNames(), in list order) on an open port. Project folders are
    // made below `savePath`; an empty save path means the current folder.
    // The end message names the folder.
    void startTransfer(const QList<int> &selected, const QString &savePath);

    void receive(const QByteArray &bytes);
    void timeout();

    State state() const { return m_state; }
    bool awaitingReply() const;
    QString instrumentNumber() const { return m_number; }
    QStringList projectNames() const { return m_projectNames; }
    bool connectEnabled() const { return m_connectEnabled; }
    bool startEnabled() const { return m_startEnabled; }
    const ProgressBarState &bar(Bar bar) const { return m_bars[int(bar)]; }
    QString statusLine(Bar bar) const { return m_status[int(bar)]; }
    // Files not saved and projects skipped in the last transfer.
    int problemCount() const { return m_problems; }

    // The folder of project `name` below `savePath`, ending with a separator.
    static QString projectFolder(const QString &savePath, const QString &name);
    // The save folder as the end message names it: absolute, ending with a separator.
    static QString savedFolder(const QString &savePath);

signals:
    void instrumentNumberChanged(const QString &number);
    void projectsChanged(const QStringList &names);
    void buttonsChanged();
    void progressChanged();
    void finished(kivaro::DownloadSession::Outcome outcome);

private:
    void act();
    void actOnFileData();
    qint64 awaitedLength() const;
    void guardReply();
    bool send(const QByteArray &command);
    bool sendWithoutTimer(const QByteArray &command);
    void stopGuard();
    void nextProject();
    void nextFile();
    void saveCurrentFile();
    void endExchange(Outcome outcome, bool connectEnabled, bool startEnabled);
    void setButtons(bool connectEnabled, bool startEnabled);
    void setStatus(Bar bar, const QString &text);
    void resetProgress();

    LinkHost &m_host;
    FolderSink &m_sink;
    common::Messenger &m_messenger;
    int m_interval = kResponseMs;

    State m_state = State::Idle;
    bool m_inTransfer = false;
    bool m_timerArmed = false; // started by a command, stopped by the first bytes
    bool m_guardArmed = false; // started by a piece that left the reply incomplete or too long
    QByteArray m_rx;

    QString m_number;
    qint16 m_projectCount = 0;
    QStringList m_projectNames;
    QList<QByteArray> m_projectBytes;
    bool m_connectEnabled = true;
    bool m_startEnabled = false;

    QList<int> m_selected;
    QString m_savePath;
    int m_projectIndex = 0; // 1-based, into m_selected
    QString m_projectName;
    QString m_projectFolder;
    qint16 m_fileCount = 0;
    int m_fileIndex = 0; // 1-based
    QString m_fileName;
    bool m_fileNameSafe = true;
    qint32 m_fileSize = 0;
    int m_blocksAcknowledged = 0;
    int m_problems = 0;

    std::array<ProgressBarState, 3> m_bars;
    std::array<QString, 3> m_status;
};

} // namespace kivaro
