#pragma once
// The download page "仪器数据传输": connects to the instrument, lists its
// projects and copies the ticked ones into the save folder. The exchange
// itself is DownloadSession; this page shows its state and feeds it the
// operator's choices.

#include "kivaro/core/diskfoldersink.h"
#include "kivaro/core/downloadsession.h"
#include "kivaro/core/kivarosettings.h"
#include "kivaro/serial/linkdriver.h"

#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace kivaro {

class CSendDialog : public QWidget {
    Q_OBJECT
public:
    // How often at most the progress bars and status lines are redrawn during a transfer.
    static constexpr int kProgressRefreshMs = 50;

    CSendDialog(const LinkSettings &settings, CMSComm::DeviceResolver resolver, common::Messenger &messenger,
                QWidget *parent = nullptr);

    int portIndex() const;
    int baudIndex() const;
    QString savePath() const { return m_savePath; }

    // Replaces the folder browser (tests): it is given the folder to open at
    // and returns the chosen folder or an empty text.
    void setFolderChooser(std::function<QString(const QString &)> chooser) { m_chooseFolder = std::move(chooser); }
    // A chosen folder as it is kept: with a separator at its end.
    static QString withTrailingSeparator(const QString &folder);
    // Where the folder browser opens for save folder `savePath`: the folder
    // itself, or its nearest existing parent when it is not made yet.
    static QString browseStart(const QString &savePath);

    DownloadSession &session() { return m_session; }
    LinkDriver &driver() { return m_driver; }
    QPushButton *connectButton() const { return m_connect; }
    QPushButton *startButton() const { return m_start; }
    QListWidget *projectList() const { return m_projects; }
    QComboBox *portList() const { return m_port; }
    QComboBox *baudList() const { return m_baud; }
    QLineEdit *pathField() const { return m_pathField; }
    QProgressBar *progressBar(DownloadSession::Bar bar) const { return m_bars[int(bar)]; }
    QLabel *statusLabel(DownloadSession::Bar bar) const { return m_status[int(bar)]; }

    // Shows the session's bars and status lines now (also done by a timer
    // while they change, and when an exchange ends).
    void refreshProgress();

    void chooseFolder();
    void connectInstrument();
    void startTransfer();

private:
    void refreshButtons();
    void showProjects(const QStringList &names);

    LinkDriver m_driver;
    DiskFolderSink m_sink;
    DownloadSession m_session;
    common::Messenger &m_messenger;
    QString m_savePath;
    std::function<QString(const QString &)> m_chooseFolder;
    QTimer m_progressTimer;

    QLineEdit *m_number = nullptr;
    QComboBox *m_port = nullptr;
    QComboBox *m_baud = nullptr;
    QLineEdit *m_pathField = nullptr;
    QListWidget *m_projects = nullptr;
    std::array<QLabel *, 3> m_status{};
    std::array<QProgressBar *, 3> m_bars{};
    QPushButton *m_connect = nullptr;
    QPushButton *m_start = nullptr;
};

} // namespace kivaro
