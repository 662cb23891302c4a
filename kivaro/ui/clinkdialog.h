#pragma once
// KIVARO's main window: the download and upgrade pages on two tabs, and an
// About entry in its menu. Reads the three settings when it opens and hands
// them to the pages; writes the download page's port, baud rate and save
// folder back when it closes.

#include "kivaro/core/kivarosettings.h"

#include "common/messenger.h"

#include <QDialog>

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

private:
    void showAbout();

    KivaroSettings &m_settings;
    LinkSettings m_values;
    QTabWidget *m_sheet = nullptr;
    CSendDialog *m_send = nullptr;
    CUpdateDialog *m_update = nullptr;
    bool m_saved = false;
};

} // namespace kivaro
