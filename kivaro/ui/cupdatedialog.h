#pragma once
// The upgrade page "升级仪器内程序": loads and checks an .update file, shows
// its header and sends the image to the instrument when the instrument's
// program is older. The exchange itself is UpdateSession.

#include "kivaro/core/updatefile.h"
#include "kivaro/core/updatesession.h"
#include "kivaro/serial/linkdriver.h"

#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace kivaro {

class CUpdateDialog : public QWidget {
    Q_OBJECT
public:
    CUpdateDialog(int portIndex, CMSComm::DeviceResolver resolver, common::Messenger &messenger,
                  QWidget *parent = nullptr);

    // Replaces the file dialog (tests); returns the chosen path or an empty text.
    void setFileChooser(std::function<QString()> chooser) { m_chooseFile = std::move(chooser); }

    void chooseFile();
    // Loads and checks `path` and shows its header.
    void loadFile(const QString &path);
    void startUpgrade();

    UpdateSession &session() { return m_session; }
    QPushButton *startButton() const { return m_start; }
    QPushButton *browseButton() const { return m_browse; }
    QComboBox *portList() const { return m_port; }
    QComboBox *baudList() const { return m_baud; }
    QLineEdit *versionField() const { return m_version; }

private:
    void refreshProgress();
    void refreshControls();

    LinkDriver m_driver;
    UpdateSession m_session;
    common::Messenger &m_messenger;
    UpdateFile m_file;
    std::function<QString()> m_chooseFile;

    QComboBox *m_port = nullptr;
    QComboBox *m_baud = nullptr;
    QLineEdit *m_path = nullptr;
    QLineEdit *m_size = nullptr;
    QLineEdit *m_version = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_checksum = nullptr;
    QLabel *m_status = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_browse = nullptr;
    QPushButton *m_start = nullptr;
};

} // namespace kivaro
