#pragma once
// KIVARO's main window: the download and upgrade pages on two tabs, and the
// manual (帮助主题 F1 as HTML, 用户手册 as PDF) and About in its menu. Reads the three settings when it opens and hands
// them to the pages; writes the download page's port, baud rate and save
// folder back when it closes.

#include "kivaro/core/kivarosettings.h"

#include "common/manualfiles.h"
#include "common/messenger.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QUrl>
#include <functional>

class QAction;
class QTabWidget;

namespace kivaro {

class CSendDialog;
class CUpdateDialog;

class CLinkDialog : public QDialog {
    Q_OBJECT
public:
    CLinkDialog(KivaroSettings &settings, common::Messenger &messenger, QWidget *parent = nullptr);

    CSendDialog *sendPage() const { return m_send; }
    CUpdateDialog *updatePage() const { return m_update; }
    QTabWidget *sheet() const { return m_sheet; }

    void done(int result) override;

    // The menu's 帮助主题 and 用户手册.
    QAction *helpTopicsAction() const { return m_helpTopics; }
    QAction *userManualAction() const { return m_userManual; }
    // What opens the manual (the desktop's viewer; tests record the path),
    // and the folder it is looked for from (the program's, common/manualfiles.h).
    using DocumentOpener = std::function<bool(const QString &path)>;
    void setDocumentOpener(DocumentOpener opener) { m_documentOpener = std::move(opener); }
    void setProgramFolder(const QString &folder) { m_programFolder = folder; }

private:
    void openManual(common::ManualForm form, common::Messenger &messenger);
    void showAbout();

    KivaroSettings &m_settings;
    LinkSettings m_values;
    QTabWidget *m_sheet = nullptr;
    CSendDialog *m_send = nullptr;
    CUpdateDialog *m_update = nullptr;
    bool m_saved = false;
    QAction *m_helpTopics = nullptr;
    QAction *m_userManual = nullptr;
    DocumentOpener m_documentOpener
        = [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    QString m_programFolder = QCoreApplication::applicationDirPath();
};

} // namespace kivaro
