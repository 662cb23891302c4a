#include "kivaro/core/downloadsession.h"

#include "kivaro/core/linkmessages.h"
#include "kivaro/core/safename.h"

#include "common/binaryio.h"
#include "common/fixedtext.h"
#include "common/gbk.h"

#include <QDir>

namespace kivaro {

namespace {

QString fieldText(const QByteArray &bytes, qsizetype offset, qsizetype size)
{
    return common::decodeGbk(
        common::readFixedText(std::span<const char>(bytes.constData() + offset, std::size_t(size))));
}

const std::uint8_t *raw(const QByteArray &bytes)
{
    return reinterpret_cast<const std::uint8_t *>(bytes.constData());
}

} // namespace

DownloadSession::DownloadSession(LinkHost &host, FolderSink &sink, common::Messenger &messenger, QObject *parent)
    : QObject(parent), m_host(host), m_sink(sink), m_messenger(messenger)
{
    resetProgress();
}

void DownloadSession::resetProgress()
{
    m_bars.fill(ProgressBarState());
    m_status[int(Bar::Projects)] = QStringLiteral("工程数量: 0/0");
    m_status[int(Bar::Files)] = QStringLiteral("文件数量: 0/0");
    m_status[int(Bar::CurrentFile)] = QStringLiteral("当前文件: 0/0");
}

bool DownloadSession::awaitingReply() const
{
    switch (m_state) {
    case State::WaitNumber:
    case State::WaitProjectCount:
    case State::WaitProjectNames:
    case State::WaitFileCount:
    case State::WaitFileName:
    case State::WaitFileSize:
    case State::WaitFileData: return true;
    case State::Idle:
    case State::Listed:
    case State::Working: return false;
    }
    return false;
}

QString DownloadSession::projectFolder(const QString &savePath, const QString &name)
{
    QString folder = savePath;
    if (!folder.isEmpty() && !folder.endsWith(u'/') && !folder.endsWith(u'\\'))
        folder += QDir::separator();
    return folder + name + QDir::separator();
}

QString DownloadSession::savedFolder(const QString &savePath)
{
    // An empty save path is the current folder, which the user may not know.
    QString folder = QDir::toNativeSeparators(QDir(savePath.isEmpty() ? QStringLiteral(".") : savePath).absolutePath());
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return folder;
}

void DownloadSession::startConnect()
{
    m_inTransfer = false;
    m_number.clear();
    m_projectCount = 0;
    m_projectNames.clear();
    m_projectBytes.clear();
    // A new connection starts from empty bars, not from the last transfer's.
    resetProgress();
    emit progressChanged();
    emit projectsChanged(m_projectNames);
    setButtons(m_connectEnabled, false);
    m_state = State::WaitNumber;
    send(QByteArray(1, '?'));
}

void DownloadSession::startTransfer(const QList<int> &selected, const QString &savePath)
{
    m_selected.clear();
    for (int index : selected) {
        if (index >= 0 && index < m_projectNames.size())
            m_selected.append(index);
    }
    if (m_selected.isEmpty()) {
        m_messenger.show(messages::noProjectChosen(), common::MessageKind::Warning);
        return;
    }
    m_inTransfer = true;
    m_problems = 0;
    m_savePath = savePath;
    setButtons(false, false);
    resetProgress();
    m_bars[int(Bar::Projects)].setRange(0, int(m_selected.size()));
    emit progressChanged();
    m_projectIndex = 0;
    nextProject();
}

void DownloadSession::receive(const QByteArray &bytes)
{
    if (!awaitingReply() || bytes.isEmpty())
        return; // nothing was asked for (stray bytes are dropped), or nothing came
    m_rx += bytes;
    if (m_timerArmed) {
        m_host.stopTimer();
        m_timerArmed = false;
    }
    act();
    guardReply();
}

qint64 DownloadSession::awaitedLength() const
{
    switch (m_state) {
    case State::WaitNumber: return kNumberField;
    case State::WaitProjectCount:
    case State::WaitFileCount: return 2;
    case State::WaitProjectNames: return qint64(kProjectField) * m_projectCount;
    case State::WaitFileName: return kFileNameField;
    case State::WaitFileSize: return 4;
    case State::WaitFileData:
        return std::max<qint64>(0, std::min<qint64>(m_fileSize, qint64(m_blocksAcknowledged + 1) * kBlockSize));
    case State::Idle:
    case State::Listed:
    case State::Working: return 0;
    }
    return 0;
}

void DownloadSession::guardReply()
{
    if (!awaitingReply() || m_timerArmed || m_rx.isEmpty())
        return;
    if (m_rx.size() < awaitedLength()) {
        // Still arriving: the timer measures the silence since the last piece.
        m_host.startTimer(m_interval);
        m_guardArmed = true;
    } else if (!m_guardArmed) {
        // Longer than awaited: it can no longer match; more bytes do not
        // put the time-out off.
        m_host.startTimer(m_interval);
        m_guardArmed = true;
    }
}

void DownloadSession::timeout()
{
    if (!m_timerArmed && !m_guardArmed)
        return; // a stale expiry after the reply was complete
    endExchange(Outcome::TimedOut, true, m_inTransfer);
    m_messenger.show(messages::noResponse(), common::MessageKind::Error);
}

void DownloadSession::act()
{
    const qsizetype n = m_rx.size();
    switch (m_state) {
    case State::WaitNumber:
        if (n != kNumberField)
            return;
        stopGuard();
        m_number = fieldText(m_rx, 0, kNumberField);
        emit instrumentNumberChanged(m_number);
        m_state = State::WaitProjectCount;
        send(QByteArray(1, '!'));
        return;
    case State::WaitProjectCount:
        if (n != 2)
            return;
        stopGuard();
        m_projectCount = qint16(common::loadU16(raw(m_rx)));
        m_state = State::WaitProjectNames;
        if (!send(QByteArray(1, '#')))
            return;
        if (m_projectCount <= 0) {
            // No names will follow: report an empty instrument rather than
            // waiting for a time-out that would blame the cable.
            endExchange(Outcome::NoProjects, true, false);
            m_messenger.show(messages::noProjectsOnInstrument(), common::MessageKind::Information);
        }
        return;
    case State::WaitProjectNames:
        if (n != qsizetype(kProjectField) * m_projectCount)
            return;
        stopGuard();
        for (int i = 0; i < m_projectCount; ++i) {
            const QByteArray field = m_rx.mid(qsizetype(i) * kProjectField, kProjectField);
            const QByteArray bytes(
                common::readFixedText(std::span<const char>(field.constData(), kProjectField)).c_str());
            m_projectBytes.append(bytes);
            m_projectNames.append(common::decodeGbk(bytes));
        }
        m_state = State::Listed;
        emit projectsChanged(m_projectNames);
        setButtons(false, true);
        emit finished(Outcome::Listed);
        return;
    case State::WaitFileCount: {
        if (n != 2)
            return;
        stopGuard();
        m_fileCount = qint16(common::loadU16(raw(m_rx)));
        m_bars[int(Bar::Files)].setRange(0, m_fileCount);
        emit progressChanged();
        m_state = State::Working;
        if (!sendWithoutTimer(QByteArray(1, '<')))
            return;
        nextFile();
        return;
    }
    case State::WaitFileName:
        if (n != kFileNameField)
            return;
        stopGuard();
        m_fileName = fieldText(m_rx, 0, kFileNameField);
        m_fileNameSafe = isSafeEntryName(m_fileName);
        m_state = State::WaitFileSize;
        send(QByteArray(1, '$'));
        return;
    case State::WaitFileSize:
        if (n != 4)
            return;
        stopGuard();
        m_fileSize = qint32(common::loadU32(raw(m_rx)));
        m_bars[int(Bar::CurrentFile)].setRange(0, m_fileSize / kBlockSize + 1);
        emit progressChanged();
        m_blocksAcknowledged = 0;
        m_state = State::WaitFileData;
        if (!send(QByteArray(1, '*')))
            return;
        if (m_fileSize == 0)
            actOnFileData(); // an empty file is complete without a byte
        return;
    case State::WaitFileData: actOnFileData(); return;
    case State::Idle:
    case State::Listed:
    case State::Working: return;
    }
}

void DownloadSession::actOnFileData()
{
    const qsizetype n = m_rx.size();
    const auto showProgress = [this, n] {
        m_bars[int(Bar::CurrentFile)].step();
        setStatus(Bar::CurrentFile,
                  QStringLiteral("当前文件: %1 k/%2 k").arg(n / kBlockSize).arg(m_fileSize / kBlockSize));
    };
    if (n == m_fileSize) {
        stopGuard();
        showProgress();
        m_state = State::Working;
        saveCurrentFile();
        nextFile();
        return;
    }
    if (n > 0 && n < m_fileSize && n % kBlockSize == 0 && n / kBlockSize > m_blocksAcknowledged) {
        stopGuard();
        m_blocksAcknowledged = int(n / kBlockSize);
        showProgress();
        // The buffer keeps the file's bytes; only the command is replaced.
        if (!m_host.write(QByteArray(1, ','))) {
            endExchange(Outcome::SerialFailed, true, m_inTransfer);
            return;
        }
        m_host.startTimer(m_interval);
        m_timerArmed = true;
        m_guardArmed = false;
    }
}

void DownloadSession::saveCurrentFile()
{
    if (!m_fileNameSafe) {
        ++m_problems;
        m_messenger.show(messages::unsafeFileName(m_projectName, m_fileName), common::MessageKind::Warning);
        return;
    }
    const QString path = m_projectFolder + m_fileName;
    if (!m_sink.writeFile(path, m_rx)) {
        ++m_problems;
        m_messenger.show(messages::cannotCreateFile(path), common::MessageKind::Error);
    }
}

void DownloadSession::nextFile()
{
    ++m_fileIndex;
    if (m_fileIndex > m_fileCount) {
        nextProject();
        return;
    }
    m_bars[int(Bar::Files)].step();
    setStatus(Bar::Files, QStringLiteral("文件数量: %1/%2").arg(m_fileIndex).arg(m_fileCount));
    m_state = State::WaitFileName;
    send(QByteArray(1, '@'));
}

void DownloadSession::nextProject()
{
    m_state = State::Working;
    while (true) {
        ++m_projectIndex;
        if (m_projectIndex > m_selected.size()) {
            endExchange(Outcome::Finished, true, false);
            m_messenger.show(messages::transferFinishedIn(savedFolder(m_savePath)), common::MessageKind::Information);
            return;
        }
        m_bars[int(Bar::Projects)].step();
        setStatus(Bar::Projects, QStringLiteral("工程数量: %1/%2").arg(m_projectIndex).arg(m_selected.size()));
        const int index = m_selected.at(m_projectIndex - 1);
        m_projectName = m_projectNames.at(index);
        if (isSafeEntryName(m_projectName))
            break;
        ++m_problems;
        m_messenger.show(messages::unsafeProjectName(m_projectName), common::MessageKind::Warning);
    }

    m_projectFolder = projectFolder(m_savePath, m_projectName);
    if (!m_sink.makeFolder(m_projectFolder)) {
        // Give the operator a way back: the port is closed and both buttons
        // work again, so another save folder can be chosen and the transfer
        // started afresh.
        endExchange(Outcome::FolderFailed, true, true);
        m_messenger.show(messages::cannotCreateFolder(m_projectFolder), common::MessageKind::Error);
        return;
    }
    m_fileIndex = 0;
    m_fileCount = 0;
    m_state = State::WaitFileCount;
    QByteArray request = m_projectBytes.at(m_selected.at(m_projectIndex - 1)).left(kProjectField);
    request.append(QByteArray(kProjectField - request.size(), '\0'));
    request.append('(');
    send(request);
}

bool DownloadSession::send(const QByteArray &command)
{
    m_rx.clear();
    if (!m_host.write(command)) {
        endExchange(Outcome::SerialFailed, true, m_inTransfer);
        return false;
    }
    m_host.startTimer(m_interval);
    m_timerArmed = true;
    m_guardArmed = false;
    return true;
}

bool DownloadSession::sendWithoutTimer(const QByteArray &command)
{
    m_rx.clear();
    if (!m_host.write(command)) {
        endExchange(Outcome::SerialFailed, true, m_inTransfer);
        return false;
    }
    return true;
}

void DownloadSession::stopGuard()
{
    if (m_guardArmed) {
        m_host.stopTimer();
        m_guardArmed = false;
    }
}

void DownloadSession::endExchange(Outcome outcome, bool connectEnabled, bool startEnabled)
{
    if (m_timerArmed || m_guardArmed)
        m_host.stopTimer();
    m_timerArmed = false;
    m_guardArmed = false;
    m_state = State::Idle;
    m_host.closePort();
    m_inTransfer = false;
    setButtons(connectEnabled, startEnabled);
    emit finished(outcome);
}

void DownloadSession::setButtons(bool connectEnabled, bool startEnabled)
{
    m_connectEnabled = connectEnabled;
    m_startEnabled = startEnabled;
    emit buttonsChanged();
}

void DownloadSession::setStatus(Bar bar, const QString &text)
{
    m_status[int(bar)] = text;
    emit progressChanged();
}

} // namespace kivaro
