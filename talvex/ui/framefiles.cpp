// The analysis window's documents: New, Open, Save and Save as with the
// question whether to save a modified survey first, and the imports of a
// record, a folder of records and a layer list.

#include "common/messenger.h"
#include "records/fieldrecord.h"
#include "talvex/document/surveydocument.h"
#include "talvex/survey/folderimport.h"
#include "talvex/ui/cmainframe.h"
#include "talvex/ui/dialogs/ceditchanshudialog.h"
#include "talvex/ui/dialogs/cselectchanneldlg.h"
#include "talvex/ui/dialogs/filedialogs.h"
#include "talvex/ui/dialogs/folderimportprogressdialog.h"
#include "talvex/ui/recentfilelist.h"
#include "talvex/ui/view/ctalvexview.h"

#include <QFile>
#include <QFileInfo>

namespace talvex {

namespace {

const char *const kNewDocumentName = "Tlv";

} // namespace

bool CMainFrame::maybeSave()
{
    if (!m_document.isModified())
        return true;
    // The name the title shows: "无标题" for a survey without a file.
    switch (m_saveQuestion(m_document.displayName())) {
    case QMessageBox::Yes: return save();
    case QMessageBox::No: return true;
    default: return false;
    }
}

bool CMainFrame::save()
{
    if (m_document.filePath().isEmpty())
        return saveAs();
    return m_document.save(m_document.filePath(), *m_messenger);
}

bool CMainFrame::saveAs()
{
    const QString offered
        = m_document.filePath().isEmpty() ? QString::fromUtf8(kNewDocumentName) : m_document.filePath();
    QString path = chooseFile(FileDialogKind::SaveSurveyAs, offered);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".qsw");
    if (!m_document.save(path, *m_messenger))
        return false;
    rememberFile(path);
    return true;
}

bool CMainFrame::openDocument(const QString &path)
{
    if (!maybeSave())
        return false;
    if (!m_document.load(path, *m_messenger)) {
        forgetFile(path);
        return false;
    }
    rememberFile(path);
    return true;
}

void CMainFrame::openWithDialog()
{
    if (!maybeSave())
        return;
    const QString path = chooseFile(FileDialogKind::OpenSurvey, QString());
    if (path.isEmpty())
        return;
    // The question was answered already; a second one would ask again.
    if (!m_document.load(path, *m_messenger)) {
        forgetFile(path);
        return;
    }
    rememberFile(path);
}

void CMainFrame::newSurvey()
{
    // Unsaved work is offered for saving before the hole dialog replaces it.
    if (!maybeSave())
        return;
    CEditChanShuDialog dialog(m_document, CEditChanShuDialog::Purpose::NewSurvey, *m_messenger, this);
    dialog.exec();
}

QString CMainFrame::chooseFile(FileDialogKind kind, const QString &offered)
{
    return m_fileChooser ? m_fileChooser(kind, offered) : QString();
}

void CMainFrame::importRecord()
{
    const QString path = chooseFile(FileDialogKind::ImportRecord, QString());
    if (path.isEmpty())
        return;
    // The buffer is cleared even when the file cannot be read: the view shows
    // what is in it.
    ReadFieldRecord(path, m_document.record(), *m_messenger);
    m_document.view().selectedChannel = 1;
    m_document.notifyRecordChanged();
    m_view->showRawRecord();
}

void CMainFrame::importFolder()
{
    CSelectChannelDlg channelDialog(this);
    if (channelDialog.exec() != QDialog::Accepted)
        return;
    const int channel = channelDialog.channel();
    const QString folder = askRecordFolder(this);
    if (folder.isEmpty())
        return;
    const RecordFolderIndex index(QFile::encodeName(folder));
    FolderImportProgressDialog progress(this);
    const FolderImportResult result
        = ImportFolder(m_document.survey(), m_document.record(), index, channel, *m_messenger, progress.callback());
    ViewState &view = m_document.view();
    if (result.currentPoint > 0) {
        view.currentPoint = result.currentPoint;
        view.selectedChannel = result.selectedChannel;
    }
    m_document.notifyRecordChanged();
    // Reading a record shows it: the import ends on the last record it read,
    // in the raw-record mode, as the single-record import does.
    if (result.currentPoint > 0)
        m_view->showRawRecord();
    else
        m_document.notifyViewChanged();
}

void CMainFrame::importLayers()
{
    const QString path = chooseFile(FileDialogKind::ImportLayers, QString());
    if (!path.isEmpty())
        m_document.importLayers(path, *m_messenger);
}

} // namespace talvex
